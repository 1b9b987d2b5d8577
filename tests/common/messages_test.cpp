// The string table, the warning box, the status line and the cursor, on the
// real platform under code page 950.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <string>

#include "common/globals.h"
#include "common/messages.h"
#include "expected_strings.h"
#include "support/testutil.h"
#include "support/winui.h"

namespace {

// Reads the message boxes this thread opens, one per Next(), and presses OK.
struct BoxCatcher {
    DialogScript script;
    int boxes = 0;
    std::string caption, text;
    bool hadIcon = false;
    HWND otherWindow = nullptr;  // must be disabled while the box is up
    bool otherDisabled = false;

    BoxCatcher& Next() {
        script.Then([this](HWND box) {
            caption = DialogScript::Caption(box);
            text = DialogScript::BoxText(box);
            hadIcon = false;
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (SendMessageA(c, STM_GETICON, 0, 0) != 0) hadIcon = true;
            if (otherWindow) otherDisabled = !IsWindowEnabled(otherWindow);
            ++boxes;
            DialogScript::Press(box, IDOK);
        });
        return *this;
    }
};

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        LoadCaption();
    }
};

// The string table holds these texts and no others, each exactly as the
// user must read it: a conversion added or lost shows here, and the tests
// of each message show its callers feed it.
TEST_F(Messages, TheStringTableHoldsExactlyTheseTexts) {
    std::map<int, const char*> expected;
    for (const ExpectedString& e : kExpectedStrings) expected[e.id] = e.utf8;
    for (int id = 0; id < 65536; ++id) {
        const bool found = LoadMessage(id) > 0;
        const auto e = expected.find(id);
        if (found || e != expected.end()) {
            EXPECT_EQ(found ? std::string(LoadedText) : "<none>", e != expected.end() ? Ansi(e->second) : "<none>")
                << "string " << id << ": " << Utf8(LoadedText);
        }
    }
}

TEST_F(Messages, CaptionFromTableOrFallback) {
    EXPECT_EQ(std::string(Caption), Ansi("Quill字型Win 95'安裝程式"));
    // A module without a string table.
    AppInstance = GetModuleHandleA("kernel32.dll");
    ASSERT_EQ(LoadStringA(AppInstance, IDS_CAPTION, LoadedText, kMessageLen), 0);
    LoadCaption();
    EXPECT_STREQ(Caption, "Quillworks TT Font Installer");
    BoxCatcher box;
    box.Next();
    ShowError(nullptr, IDS_NO_SETUP_FILE);
    EXPECT_EQ(box.caption, "Quillworks TT Font Installer");
}

TEST_F(Messages, ShowErrorFormatsUnderTheCaptionAndIsTaskModal) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 100, 100, nullptr, nullptr, AppInstance, nullptr);
    BoxCatcher box;
    box.otherWindow = other;
    box.Next();
    ShowError(nullptr, IDS_CANT_CREATE_FILE, "C:\\FONTS\\SKAI.TTE");
    EXPECT_EQ(box.boxes, 1);
    EXPECT_EQ(box.caption, Ansi("Quill字型Win 95'安裝程式"));
    EXPECT_EQ(box.text, Ansi("無法建立檔案 C:\\FONTS\\SKAI.TTE !"));
    EXPECT_TRUE(box.hadIcon);
    EXPECT_TRUE(box.otherDisabled) << "the box must disable the program's windows";
    EXPECT_TRUE(IsWindowEnabled(other));
    DestroyWindow(other);

    // No placeholders: values are ignored.
    box.Next();
    ShowError(nullptr, IDS_NO_SETUP_FILE, "ignored");
    EXPECT_EQ(box.text, Ansi("找不到起始設定檔案 !"));
    // An identifier is taken by its low 16 bits.
    box.Next();
    ShowError(nullptr, 0x10000 + IDS_BAD_SETUP_FILE);
    EXPECT_EQ(box.text, Ansi("起始設定檔案中之資料不對 !"));
    // No such entry: still a message, not an empty box.
    box.Next();
    ShowError(nullptr, 77);
    EXPECT_EQ(box.text, "Error 77");
    EXPECT_EQ(box.boxes, 4);
}

TEST_F(Messages, LongValuesAreCutInsideTheBuffers) {
    const std::string caption = Caption;
    std::string longPath = "C:\\" + std::string(400, 'P');
    BoxCatcher box;
    box.Next();
    ShowError(nullptr, IDS_CANT_CREATE_FILE, longPath.c_str());
    EXPECT_EQ(strlen(MessageText), static_cast<size_t>(kMessageLen - 1));
    EXPECT_EQ(box.text, std::string(MessageText));
    EXPECT_EQ(box.text.substr(0, 16), Ansi("無法建立檔案 C:\\"));
    // Neighbouring buffers are untouched.
    EXPECT_EQ(std::string(Caption), caption);
    EXPECT_EQ(std::string(LoadedText), Ansi("無法建立檔案 %s !"));

    // A cut through a double-byte character leaves no half of it.
    std::string big5;
    for (int i = 0; i < 200; ++i) big5 += Ansi("許");
    StatusRecorder status;
    SetStatus(IDS_COPYING, big5.c_str());
    std::string shown = status.Current();
    EXPECT_LE(shown.size(), static_cast<size_t>(kMessageLen - 1));
    const std::string prefix = Ansi("複製檔案 ");
    ASSERT_EQ(shown.substr(0, prefix.size()), prefix);
    EXPECT_EQ((shown.size() - prefix.size()) % 2, 0u) << "half a character at the end";
}

TEST_F(Messages, StatusLine) {
    StatusRecorder status;
    SetStatus(IDS_SELECT_ITEMS, "");
    EXPECT_EQ(status.Current(), Ansi("請選擇安裝之項目。"));
    SetStatus(IDS_PROCESSING_FONT, "SKAI.TTE");
    EXPECT_EQ(status.Current(), Ansi("字型檔處理中..."));
    SetStatus(IDS_COPYING, "SKAI.P2");
    EXPECT_EQ(status.Current(), Ansi("複製檔案 SKAI.P2 ..."));
    SetStatus(IDS_ADDING_FONT, Ansi("標楷體").c_str());
    EXPECT_EQ(status.Current(), Ansi("增加 標楷體 字型到系統中..."));
    ClearStatus();
    EXPECT_EQ(status.Current(), "");
}

TEST_F(Messages, BusyCursorHasNoNestingCount) {
    StatusRecorder status;
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetBusy(1);
    EXPECT_EQ(GetCursor(), wait);
    SetBusy(1);
    SetBusy(0);
    EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
