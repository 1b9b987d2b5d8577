// Entry point, window classes, start-up and teardown, the message loop.
#include <windows.h>

#include "app/layout.h"
#include "app/shell.h"
#include "common/globals.h"
#include "common/messages.h"
#include "setup/loader.h"

namespace {

// Registers both classes; nonzero when the backdrop's class was registered.
BOOL RegisterClasses(HINSTANCE instance) {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);

    WNDCLASSA main = {};
    main.style = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS;
    main.lpfnWndProc = MainDialogProc;
    main.cbWndExtra = DLGWINDOWEXTRA;  // the class of a dialog template needs it
    main.hInstance = instance;
    main.hIcon = icon;
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    main.lpszClassName = kMainClass;
    // Not tested: a failure shows as a dialog that can't be created.
    RegisterClassA(&main);

    WNDCLASSA backdrop = {};
    backdrop.style = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNWINDOW;
    backdrop.lpfnWndProc = BackdropProc;
    backdrop.hInstance = instance;
    backdrop.hIcon = icon;
    backdrop.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    backdrop.hbrBackground = nullptr;  // the procedure paints it all
    backdrop.lpszClassName = kBackdropClass;
    return RegisterClassA(&backdrop) != 0;
}

// Destroys both windows and deletes both bitmaps, when the loop has ended
// or start-up failed.
void DestroyAllWindows() {
    // Cleared as they go, so a second call (both windows close) is harmless.
    if (Backdrop) {
        HWND window = Backdrop;
        Backdrop = nullptr;
        DestroyWindow(window);
    }
    if (MainDialog) {
        HWND window = MainDialog;
        MainDialog = nullptr;
        DestroyWindow(window);
    }
    if (TileBitmap) {
        DeleteObject(TileBitmap);
        TileBitmap = nullptr;
    }
    if (LogoBitmap) {
        DeleteObject(LogoBitmap);
        LogoBitmap = nullptr;
    }
}

// Loads the description and brings up the windows; 1 when they are up.
BOOL InitInstance(HINSTANCE instance, HINSTANCE previous) {
    // Only 16-bit Windows hands over a previous instance.
    if (previous != nullptr) {
        if (HWND other = FindWindowA(kMainClass, Caption)) {
            BringWindowToTop(GetLastActivePopup(other));
            return FALSE;
        }
    }

    const int code = LoadSetupInfo();
    if (code != 0) {
        ShowError(nullptr, code);
        return FALSE;
    }

    RECT screen;
    GetClientRect(GetDesktopWindow(), &screen);

    Backdrop = CreateWindowExA(0, kBackdropClass, "", WS_POPUP | WS_VISIBLE | WS_DISABLED,
                               screen.left, screen.top, screen.right, screen.bottom, nullptr,
                               nullptr, instance, nullptr);
    if (Backdrop == nullptr) {
        DestroyAllWindows();
        return FALSE;
    }

    MainDialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr, 0);
    if (MainDialog == nullptr) {
        DestroyAllWindows();
        return FALSE;
    }
    PrepareMainDialog(MainDialog);

    RECT client;
    GetClientRect(MainDialog, &client);
    const POINT at = CentredOrigin(screen, client.right - client.left, client.bottom - client.top);
    SetWindowPos(MainDialog, nullptr, at.x, at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(MainDialog);
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
    AppInstance = instance;
    LoadCaption();

    if (!IsVersionSupported(GetVersion())) {
        ShowError(nullptr, IDS_NEED_WIN31);
        return 0;
    }
    if (previous == nullptr && !RegisterClasses(instance)) return 0;
    if (!InitInstance(instance, previous)) return 0;

    HACCEL accelerators = LoadAcceleratorsA(instance, kMainClass);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // MainDialog is cleared once the windows go; the loop then only
        // drains what is left until the quit message.
        if (MainDialog && TranslateAcceleratorA(MainDialog, accelerators, &msg)) continue;
        if (MainDialog && IsDialogMessageA(MainDialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Exit, or either window closed: the windows go here, not in their
    // own procedures.
    DestroyAllWindows();
    return static_cast<int>(msg.wParam);
}
