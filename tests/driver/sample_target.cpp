// Stand-in for the setup's windows while testing the driver:
//   sample_target window CODE   main window; exits with CODE when closed
//   sample_target idle          a window of another class, forever
//   sample_target quit CODE     prints a line and exits with CODE
// Texts are Big5 bytes, as the setup's are.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

enum { kList = 101, kStatus, kAsk, kName, kOff, kNameEdit = 200 };

const char* const kFonts[] = {
    "\xb2\xd3\xa9\xfa\xc5\xe9",          // 細明體
    "\xbc\xd0\xb7\xa2\xc5\xe9",          // 標楷體
    "\xb7\x73\xb2\xd3\xa9\xfa\xc5\xe9",  // 新細明體
    "\xa9\xfa\xc5\xe9",                  // 明體
    "\xb7\xa2\xae\xd1",                  // 楷書
    "\xb6\xc2\xc5\xe9",                  // 黑體
    "\xa5\xe9\xa7\xba",                  // 仿宋
    "\xc1\xf5\xae\xd1",                  // 隸書
    "\xb6\xea\xc5\xe9",                  // 圓體
    "Courier New",
};

int g_exitCode = 0;
HWND g_status;
char g_name[64];

void Status(const char* text) {
    SetWindowTextA(g_status, text);
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// A dialog template in memory, so the stand-in needs no resource file.
struct Template {
    std::vector<WORD> w;
    void Dword(DWORD d) { w.push_back(LOWORD(d)); w.push_back(HIWORD(d)); }
    void Str(const char* s) {
        while (*s) w.push_back(static_cast<unsigned char>(*s++));
        w.push_back(0);
    }
    void Dialog(const char* title, WORD items) {
        Dword(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
        Dword(0);
        w.insert(w.end(), {items, 20, 20, 180, 60, 0, 0});  // count, x, y, cx, cy, menu, class
        Str(title);
    }
    void Item(WORD atom, WORD id, DWORD style, short x, short y, short cx, const char* text) {
        if (w.size() % 2) w.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        w.insert(w.end(), {WORD(x), WORD(y), WORD(cx), 14, id, 0xFFFF, atom});
        Str(text);
        w.push_back(0);
    }
};

INT_PTR CALLBACK NameProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetDlgItemTextA(dlg, kNameEdit, "Ming");
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        GetDlgItemTextA(dlg, kNameEdit, g_name, sizeof g_name);
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

void AskName(HWND owner) {
    Template t;
    t.Dialog("Font name", 4);
    t.Item(0x82, 0xFFFF, SS_LEFT, 5, 8, 30, "Name:");
    t.Item(0x81, kNameEdit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 40, 6, 130, "");
    t.Item(0x80, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 35, 45, "OK");
    t.Item(0x80, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 125, 35, 45, "Cancel");
    char text[128];
    if (DialogBoxIndirectParamA(GetModuleHandleA(nullptr),
                                reinterpret_cast<DLGTEMPLATE*>(t.w.data()), owner, NameProc,
                                0) == IDOK)
        std::snprintf(text, sizeof text, "name: %s", g_name);
    else
        std::snprintf(text, sizeof text, "name cancelled: %s", g_name);
    Status(text);
}

void OnList(HWND list, int code) {
    char text[128] = "selected:";
    if (code == LBN_SELCHANGE) {
        int items[16];
        int n = static_cast<int>(SendMessageA(list, LB_GETSELITEMS, 16, (LPARAM)items));
        for (int i = 0; i < n; ++i)
            std::snprintf(text + strlen(text), sizeof text - strlen(text), " %d", items[i]);
    } else if (code == LBN_DBLCLK) {
        int caret = static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0));
        std::snprintf(text, sizeof text, "open: %d", caret);
    } else {
        return;
    }
    Status(text);
}

HWND Child(HWND parent, const char* cls, int id, DWORD style, int x, int y, int cx, int cy,
           const char* text) {
    return CreateWindowExA(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        HWND list = Child(w, "LISTBOX", kList,
                          WS_BORDER | WS_VSCROLL | LBS_MULTIPLESEL | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT,
                          10, 10, 200, 90, "");
        for (const char* font : kFonts) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)font);
        g_status = Child(w, "STATIC", kStatus, SS_LEFT, 10, 110, 360, 20, "");
        Child(w, "BUTTON", kAsk, BS_PUSHBUTTON, 220, 10, 100, 24, "Ask");
        Child(w, "BUTTON", kName, BS_PUSHBUTTON, 220, 40, 100, 24, "Name...");
        Child(w, "BUTTON", kOff, BS_PUSHBUTTON | WS_DISABLED, 220, 70, 100, 24, "Off");
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == kList) OnList(reinterpret_cast<HWND>(lp), HIWORD(wp));
        if (LOWORD(wp) == kName) AskName(w);
        if (LOWORD(wp) == kAsk) {
            // 確認 / 要安裝所選的字型嗎？
            int answer = MessageBoxA(w,
                                     "\xad\x6e\xa6\x77\xb8\xcb\xa9\xd2\xbf\xef\xaa\xba"
                                     "\xa6\x72\xab\xac\xb6\xdc\xa1\x48",
                                     "\xbd\x54\xbb\x7b", MB_YESNO | MB_ICONQUESTION);
            char text[32];
            std::snprintf(text, sizeof text, "answer: %d", answer);
            Status(text);
        }
        return 0;
    case WM_HELP:
        Status("help");
        return TRUE;
    case WM_DESTROY:
        std::printf("exit %d\n", g_exitCode);
        std::fflush(stdout);
        PostQuitMessage(g_exitCode);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int Run(const char* cls, const char* title) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW, 50, 50, 400, 180, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    Status("ready");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* mode = __argc > 1 ? __argv[1] : "";
    g_exitCode = __argc > 2 ? std::atoi(__argv[2]) : 0;
    if (!strcmp(mode, "window"))
        return Run("QDriverSample", "\xa6\x72\xab\xac\xa6\x77\xb8\xcb");  // 字型安裝
    if (!strcmp(mode, "idle")) return Run("QDriverIdle", "idle");
    std::printf("quitting with %d\n", g_exitCode);
    return g_exitCode;
}
