// The real SETUP.EXE, started beside a description of the test's making and
// worked through its windows as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/e2e.h"

using namespace qdriver;

namespace {

// The program shows one message box, with no window of its own behind it,
// and ends with 0 once it is answered.
void ExpectLoneMessageThenExit(Process& setup, const char* utf8Text) {
    setup.WaitMessageBox();
    for (const WindowInfo& w : setup.Windows())
        EXPECT_TRUE(w.cls != "qsetup" && w.cls != "qsetup-Bk") << Describe(w);
    ExpectBox(setup, utf8Text);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

// The colour of the program's tile bitmap at (x, y).
COLORREF TilePixel(int x, int y) {
    HMODULE exe = LoadLibraryExA(SetupExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP tile = LoadBitmapA(exe, MAKEINTRESOURCEA(IDB_TILE));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, tile);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(tile);
    FreeLibrary(exe);
    return c;
}

TEST(Shell, WindowsBackdropListAboutAndEscape) {
    Medium medium(WorkedExample());
    Process setup = medium.Start();
    HWND dialog = WaitMainDialog(setup);

    HWND backdrop = setup.Find("qsetup-Bk", "");
    ASSERT_NE(backdrop, nullptr) << setup.DescribeWindows();
    RECT r;
    GetWindowRect(backdrop, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(IsWindowEnabled(backdrop)) << "the backdrop takes no input";

    EXPECT_EQ(GetClassLongA(dialog, GCL_STYLE), static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS));
    EXPECT_EQ(GetClassLongA(dialog, GCL_CBWNDEXTRA), static_cast<DWORD>(DLGWINDOWEXTRA));
    EXPECT_EQ(GetClassLongA(backdrop, GCL_STYLE),
              static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNWINDOW));
    EXPECT_EQ(GetClassLongA(backdrop, GCL_CBWNDEXTRA), 0u);

    // Centred by its client size.
    RECT client, window;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);

    // Tiles on a grid anchored at the top-left corner of the screen.
    HDC screen = GetDC(nullptr);
    const POINT points[] = {{5, 5}, {170, 300}, {1000, 700}, {319, 481}};
    for (const POINT& p : points) {
        setup.WaitUntil([&] { return GetPixel(screen, p.x, p.y) == TilePixel(p.x % 160, p.y % 160); },
                        "tile pixel at " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    ReleaseDC(nullptr, screen);

    // Another program's window lies between the dialog and the backdrop;
    // when the program is activated again the backdrop goes directly behind
    // the dialog. (Wine itself raises the activated window only, so the
    // activation message is sent as the platform sends it on a switch.)
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetWindowPos(other, dialog, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    setup.WaitUntil([&] { return GetWindow(dialog, GW_HWNDNEXT) == other; },
                    "the other window directly behind the dialog");
    PostMessageA(dialog, WM_ACTIVATEAPP, TRUE, 0);
    setup.WaitUntil([&] { return GetWindow(dialog, GW_HWNDNEXT) == backdrop; },
                    "backdrop directly behind the dialog");
    DestroyWindow(other);

    HWND list = Control(dialog, IDC_FONT_LIST);
    EXPECT_EQ(ListLines(list), (std::vector<std::string>{"Sample Kai", "Sample Song"}));
    HWND status = Control(dialog, IDC_STATUS);
    EXPECT_EQ(Utf8(Text(status)), "請選擇安裝之項目。");

    // A selection change puts the prompt back; any number may be selected.
    SetText(status, "something else");
    SelectListItem(list, 1);
    setup.WaitUntil([&] { return Text(status) == Ansi("請選擇安裝之項目。"); }, "status prompt");
    SelectListItem(list, 0);
    EXPECT_EQ(ListSelection(list), (std::vector<int>{0, 1}));

    // About by its button, then by F1 while the focus is in the list.
    const std::string aboutTitle = Ansi("關於Quill字型Win95'安裝程式");
    Click(dialog, IDC_ABOUT);
    HWND about = setup.WaitWindow("#32770", aboutTitle.c_str());
    EXPECT_EQ(Text(about, IDC_ABOUT_DATE), "Sep 10 1997");
    EXPECT_EQ(Utf8(Text(about, IDOK)), "確定");
    Click(about, IDOK);
    setup.WaitGone(about);

    SetFocus(list);
    PressKey(list, VK_F1);
    about = setup.WaitWindow("#32770", aboutTitle.c_str());
    PressKey(about, VK_ESCAPE);
    setup.WaitGone(about);
    // Escape in the main dialog ends the program.
    PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

TEST(Shell, HundredAndTwentyFontsWithChineseNamesInOrder) {
    std::vector<std::string> names;
    std::vector<Item> fonts;
    for (int i = 1; i <= 120; ++i) {
        names.push_back((i % 2 ? "標楷體 " : "細明體 ") + std::to_string(i));
        fonts.push_back(Item(names.back()).Piece("F.TTE", "D").Key("FontName", "B").Face("F"));
    }
    Medium medium(Section(Kind::Fonts, fonts));
    Process setup = medium.Start();
    HWND dialog = WaitMainDialog(setup);
    std::vector<std::string> lines = ListLines(Control(dialog, IDC_FONT_LIST));
    ASSERT_EQ(lines.size(), 120u);
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Utf8(lines[i]), names[i]) << i;
    // Alt+F4 ends the program too.
    PressKey(dialog, VK_F4, true);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

TEST(Shell, DescriptionMissingOrWrong) {
    Medium medium;
    {
        Process setup = medium.Start();
        ExpectLoneMessageThenExit(setup, "找不到起始設定檔案 !");
    }
    medium.Describe("[Fonts]\nFonts=0\n");
    Process setup = medium.Start();
    ExpectLoneMessageThenExit(setup, "起始設定檔案中之資料不對 !");
}

// Wine reports Windows 3.0 to a program of this name only.
class OldWindows {
public:
    OldWindows() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr);
        RegSetValueExA(key_, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win30"), 6);
    }
    ~OldWindows() {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    }

private:
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\OLDWIN.EXE";
    HKEY key_ = nullptr;
};

TEST(Shell, RefusesWindowsOlderThan310) {
    OldWindows old;
    Medium medium(WorkedExample(), "OLDWIN.EXE");
    Process setup = medium.Start();
    ExpectLoneMessageThenExit(setup, "本程式必須在 Windows 3.1 下執行 !");
}

}  // namespace
