// EUDC fonts: the base-font check, the file, the links under EUDC\950, EUDC
// switched off and on around them, and the font-change broadcast.
#include "fixture.h"

#include <vector>

#include "common/proc.h"
#include "install/fonts.h"

// EnableEUDC as the tests see it: every call is recorded.
static std::vector<BOOL> eudcCalls;
static BOOL WINAPI TestEnableEUDC(BOOL on) {
    eudcCalls.push_back(on);
    return TRUE;
}

namespace {

// The values under EUDC\950, in the order the registry lists them (Wine's
// sorts them by name).
std::vector<std::pair<std::string, std::string>> Links() {
    std::vector<std::pair<std::string, std::string>> links;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "EUDC\\950", 0, KEY_READ, &key) != ERROR_SUCCESS) return links;
    for (DWORD i = 0;; ++i) {
        char name[512], data[512];
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type,
                          reinterpret_cast<BYTE*>(data), &dataLen) != ERROR_SUCCESS)
            break;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(dataLen, strlen(data) + 1) << "with its terminating NUL";
        links.emplace_back(name, data);
    }
    RegCloseKey(key);
    return links;
}

// Counts the font-change broadcasts a top-level window of ours receives.
struct FontChangeWatcher {
    static int count;
    HWND window;
    FontChangeWatcher() {
        count = 0;
        WNDCLASSA c = {};
        c.lpfnWndProc = Proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "FontChangeWatcher";
        RegisterClassA(&c);
        window = CreateWindowExA(0, c.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 c.hInstance, nullptr);
    }
    ~FontChangeWatcher() { DestroyWindow(window); }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_FONTCHANGE) ++count;
        return DefWindowProcA(w, m, wp, lp);
    }
};
int FontChangeWatcher::count = 0;

class Fonts : public Engine {
protected:
    void SetUp() override {
        Engine::SetUp();
        saved_ = RunTime();
        RunTime().EnableEudc = TestEnableEUDC;
        eudcCalls.clear();
        CopyText(SetupInfo.TargetDir, target.Path().c_str());
    }
    void TearDown() override {
        RunTime() = saved_;
        Engine::TearDown();
    }
    // A font of the catalogue with one piece on disk1 and the face names.
    int Font(const char* name, const char* file, std::vector<std::string> faces,
             const char* base = kBaseFont) {
        FontItem& f = SetupInfo.FontItems[fonts_];
        CopyText(f.Name, name);
        CopyText(f.FontName, base);
        f.Files = 1;
        f.FirstPiece = Piece(file, "Disk 1", &disk1, std::string("font ") + name);
        f.AFiles = static_cast<int>(faces.size());
        f.FirstAFontName = faces_;
        for (const std::string& face : faces) CopyText(SetupInfo.AFontNameTable[faces_++], face.c_str());
        return fonts_++;
    }

    BaseFont baseFont;
    TempDir target;
    FontChangeWatcher watcher;

    RunTimeCalls saved_;

private:
    int fonts_ = 0;
    int faces_ = 0;
};

using Links_t = std::vector<std::pair<std::string, std::string>>;

TEST_F(Fonts, InFontsDirectoryTheLinkIsTheBareFileName) {
    const int kai = Font("Sample Kai", "SKAI.TTE", {"Face A", "Face B", "Face C"});
    ASSERT_EQ(InstallFontItem(nullptr, kai), 1);
    EXPECT_EQ(ReadBytes(target.Join("SKAI.TTE")), "font Sample Kai");
    EXPECT_EQ(Links(), (Links_t{{"Face A", "SKAI.TTE"}, {"Face B", "SKAI.TTE"}, {"Face C", "SKAI.TTE"}}));
    EXPECT_EQ(eudcCalls, (std::vector<BOOL>{FALSE, TRUE}));
    EXPECT_EQ(FontChangeWatcher::count, 1);
    EXPECT_EQ(status.Current(), Ansi("增加 Sample Kai 字型到系統中..."));
    EXPECT_EQ(GetFileAttributesA(target.Join("SKAI.TTE").c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              0u);
}

// A window whose thread takes no messages: the broadcast must not wait on
// it for good, and the responsive windows are told all the same.
TEST_F(Fonts, HungWindowDoesNotHoldUpTheBroadcast) {
    struct Hung {
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE thread = nullptr;
        static DWORD WINAPI Run(void* p) {
            Hung* self = static_cast<Hung*>(p);
            HWND w = CreateWindowExA(0, "STATIC", "hung", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
            SetEvent(self->ready);
            WaitForSingleObject(self->release, kWait);
            DestroyWindow(w);
            return 0;
        }
        Hung() {
            thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
            WaitForSingleObject(ready, kWait);
        }
        ~Hung() {
            SetEvent(release);
            WaitForSingleObject(thread, kWait);
            CloseHandle(thread);
            CloseHandle(ready);
            CloseHandle(release);
        }
    } hung;
    const int kai = Font("Sample Kai", "SKAI.TTE", {"Face A"});
    ASSERT_EQ(InstallFontItem(nullptr, kai), 1);
    EXPECT_EQ(FontChangeWatcher::count, 1);
}

TEST_F(Fonts, ElsewhereTheLinkJoinsDirectoryAndNameWithOneBackslash) {
    const int kai = Font("Sample Kai", "SKAI.TTE", {"Face A"});
    CopyText(SetupInfo.LinkDir, SetupInfo.TargetDir);
    ASSERT_EQ(InstallFontItem(nullptr, kai), 1);
    EXPECT_EQ(Links(), (Links_t{{"Face A", target.Join("SKAI.TTE")}}));

    AppendText(SetupInfo.TargetDir, "\\");
    CopyText(SetupInfo.LinkDir, SetupInfo.TargetDir);
    ASSERT_EQ(InstallFontItem(nullptr, kai), 1);
    EXPECT_EQ(Links(), (Links_t{{"Face A", target.Join("SKAI.TTE")}})) << "replaced, one backslash";

    // A directory whose last character ends in the backslash byte.
    const std::string chinese = target.Join(Ansi("許"));
    CopyText(SetupInfo.TargetDir, chinese.c_str());
    CopyText(SetupInfo.LinkDir, chinese.c_str());
    ASSERT_EQ(InstallFontItem(nullptr, kai), 1);
    EXPECT_EQ(ReadBytes(chinese + "\\SKAI.TTE"), "font Sample Kai");
    EXPECT_EQ(Links(), (Links_t{{"Face A", chinese + "\\SKAI.TTE"}}));
}

TEST_F(Fonts, ExistingLinkIsReplacedAndOthersStay) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "EUDC\\950", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Other", 0, REG_SZ, reinterpret_cast<const BYTE*>("OTHER.TTE"), 10);
    RegSetValueExA(key, "Face A", 0, REG_SZ, reinterpret_cast<const BYTE*>("OLD.TTE"), 8);
    RegCloseKey(key);
    ASSERT_EQ(InstallFontItem(nullptr, Font("Kai", "NEW.TTE", {"Face A"})), 1);
    EXPECT_EQ(Links(), (Links_t{{"Face A", "NEW.TTE"}, {"Other", "OTHER.TTE"}}));
}

TEST_F(Fonts, MissingBaseFontStopsBeforeAnythingIsMade) {
    // A name with conversions in it must show as it is.
    const int kai = Font("100% Kai %s", "SKAI.TTE", {"Face A"}, "No Such Base (TrueType)");
    CopyText(SetupInfo.TargetDir, target.Join("NEW").c_str());
    script.Then([](HWND box) {
        EXPECT_EQ(DialogScript::Caption(box), Ansi("Quill字型Win 95'安裝程式"));
        EXPECT_EQ(Utf8(DialogScript::BoxText(box)),
                  "100% Kai %s 所對應的Wren字形沒有安裝，請先安裝Wren字形!");
        DialogScript::Press(box, IDOK);
    });
    EXPECT_EQ(InstallFontItem(nullptr, kai), 0);
    EXPECT_FALSE(Exists(target.Join("NEW")));
    EXPECT_TRUE(status.Texts.empty());
    EXPECT_TRUE(Links().empty());
    EXPECT_TRUE(eudcCalls.empty());
    EXPECT_EQ(FontChangeWatcher::count, 0);
}

TEST_F(Fonts, BaseFontWithLongDataIsPresent) {
    EXPECT_EQ(IsBaseFontMissing(kBaseFont), 0);
    baseFont.Register(std::string(300, 'x') + ".ttf");
    EXPECT_EQ(IsBaseFontMissing(kBaseFont), 0);
    EXPECT_EQ(IsBaseFontMissing("No Such Base"), 1);
}

// The binding says which look-up failed, and so does the message.
TEST_F(Fonts, WithoutEnableEudcTheFontIsStillInstalled) {
    const int kai = Font("Kai", "SKAI.TTE", {"Face A"});
    const struct {
        const char* module;
        const char* name;
        const char* failure;
    } cases[] = {{"GDI32.DLL", "NoSuchExport", "GetProcAddress Failed"},
                 {"NOSUCHGDI.DLL", "EnableEUDC", "LoadLibrary Failed"}};
    for (const auto& c : cases) {
        const char* failure = c.failure;
        RunTime().EnableEudc =
            BindProc<decltype(RunTime().EnableEudc)>(c.module, c.name, &RunTime().EnableEudcBinding);
        ASSERT_EQ(RunTime().EnableEudc, nullptr) << failure;
        for (int i = 0; i < 2; ++i)
            script.Then([=](HWND box) {
                EXPECT_EQ(DialogScript::BoxText(box), failure);
                DialogScript::Press(box, IDOK);
            });
        EXPECT_EQ(InstallFontItem(nullptr, kai), 1) << failure;
        EXPECT_EQ(Links(), (Links_t{{"Face A", "SKAI.TTE"}}));
    }
    EXPECT_EQ(script.Seen(), 4);
}

TEST_F(Fonts, RealEnableEudcIsFound) {
    RunTime() = saved_;
    ASSERT_NE(RunTime().EnableEudc, nullptr);
    EXPECT_EQ(RunTime().EnableEudcBinding, Binding::Found);
    ASSERT_EQ(InstallFontItem(nullptr, Font("Kai", "SKAI.TTE", {"Face A"})), 1);
    EXPECT_EQ(script.Seen(), 0);
}

TEST_F(Fonts, FailedAssemblyLeavesRegistryAndEudcAlone) {
    const int kai = Font("Kai", "SKAI.TTE", {"Face A"});
    DeleteFileA(disk1.Join("SKAI.TTE").c_str());
    script.Then([](HWND prompt) { DialogScript::Press(prompt, IDCANCEL); });
    EXPECT_EQ(InstallFontItem(nullptr, kai), 0);
    EXPECT_TRUE(Links().empty());
    EXPECT_TRUE(eudcCalls.empty());
    EXPECT_EQ(FontChangeWatcher::count, 0);
}

}  // namespace
