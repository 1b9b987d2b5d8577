// The two window procedures, the About box, and their drawing.
#include <windows.h>

#include "app/layout.h"
#include "app/shell.h"
#include "common/globals.h"
#include "common/messages.h"
#include "install/run.h"
#include "res/texts.h"
#include "setup/catalogue.h"

HBITMAP TileBitmap = nullptr;
HBITMAP LogoBitmap = nullptr;

namespace {

constexpr int kLogoTop = 5;

// The catalogue's fonts into the font list, in catalogue order.
void FillFontList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_FONT_LIST);
    for (int i = 0; i < SetupInfo.FontCount; ++i) {
        const LRESULT r = SendMessageA(list, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(SetupInfo.FontItems[i].Name));
        if (r == LB_ERR || r == LB_ERRSPACE) ShowError(dialog, IDS_NO_MEMORY);
    }
}

// Copies the whole bitmap to (x, y) of dc.
void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    HGDIOBJ old = SelectObject(memory, bitmap);
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_ABOUT_DATE, kBuildDate);
            return TRUE;
        case WM_COMMAND:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

void PaintLogo(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    RECT client;
    GetClientRect(dialog, &client);
    BITMAP info;
    GetObjectA(LogoBitmap, sizeof info, &info);
    DrawBitmap(dc, CentredX(client, info.bmWidth), kLogoTop, LogoBitmap);
    EndPaint(dialog, &ps);
}

// Tiles the bitmap over what the clip box asks for, or light grey over the
// whole client area when there is no bitmap.
void PaintBackdrop(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    if (TileBitmap == nullptr) {
        HGDIOBJ old = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
        PatBlt(dc, client.left, client.top, client.right - client.left,
               client.bottom - client.top, PATCOPY);
        SelectObject(dc, old);
        return;
    }
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) clip = client;
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) return;
    BITMAP info;
    GetObjectA(TileBitmap, sizeof info, &info);
    HGDIOBJ old = SelectObject(memory, TileBitmap);
    ForEachTilePiece(clip, info.bmWidth, info.bmHeight, [&](const TilePiece& piece) {
        BitBlt(dc, piece.dest.left, piece.dest.top, piece.dest.right - piece.dest.left,
               piece.dest.bottom - piece.dest.top, memory, piece.source.x, piece.source.y,
               SRCCOPY);
    });
    SelectObject(memory, old);
    DeleteDC(memory);
}

// Closing either window ends the program, though not in the middle of a
// run; start-up takes the windows down once the loop has ended. True when
// message was one of these.
bool EndsProgram(UINT message) {
    if (message == WM_CLOSE) {
        if (!InstallRunning()) PostQuitMessage(0);
        return true;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return true;
    }
    return false;
}

void OnCommand(HWND dialog, int id, int notification) {
    // During a run a nested message loop (a Program Manager conversation's)
    // may still deliver a click, a double click or Exit: it is dropped.
    if (InstallRunning()) return;
    switch (id) {
        case IDC_INSTALL:
            InstallCommand(dialog);
            break;
        case IDC_FONT_LIST:
            if (notification == LBN_SELCHANGE) SetStatus(IDS_SELECT_ITEMS, "");
            if (notification == LBN_DBLCLK) InstallCommand(dialog);
            break;
        case IDC_EXIT:
            // Start-up takes the windows down once the loop has ended.
            PostQuitMessage(0);
            break;
        case IDC_ABOUT:
            DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
            break;
        default:
            break;
    }
}

}  // namespace

LRESULT CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            LogoBitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_LOGO));
            break;
        case WM_PAINT:
            if (LogoBitmap) PaintLogo(dialog);
            break;
        case WM_ACTIVATEAPP:
            // Back from another program: the backdrop goes directly behind us.
            if (wParam && Backdrop)
                SetWindowPos(Backdrop, dialog, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
            break;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            if (EndsProgram(message)) return 0;
            break;
    }
    return DefDlgProcA(dialog, message, wParam, lParam);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            TileBitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_TILE));
            return 0;
        case WM_ERASEBKGND:
            PaintBackdrop(window, reinterpret_cast<HDC>(wParam));
            return 1;
        default:
            if (EndsProgram(message)) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void PrepareMainDialog(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDC_FONT_LIST));
    FillFontList(dialog);
    SetStatus(IDS_SELECT_ITEMS, "");
}
