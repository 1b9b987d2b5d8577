// The real program at the limits of its inputs: the longest texts of a
// description, a destination typed at 259 characters, the longest source
// directory typed into the disk prompt, a current directory near the limit.
// It inherits this test's heap checking, and Wine writes its warnings to the
// same Unix error stream, which scripts/heap-check reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/e2e.h"

using namespace qdriver;

namespace {

std::string Name(char c, size_t n) { return std::string(n, c); }
std::string FontName(int i) { return std::to_string(i) + Name('F', 80); }

// A directory path of exactly length characters, made inside dir.
std::string DeepDir(const std::string& dir, size_t length) {
    std::string path = dir + "\\";
    path += Name('L', length - path.size());
    return path;
}

class Limits : public SetupRun {
protected:
    void SetUp() override {
        SetupRun::SetUp();
        disk1.Write("README.TXT", "read me");
    }

    // One accessory file (and, with longest, one whose directory and file
    // name are longer than their buffers), then fonts: 40 of them, every
    // name, label and face name longer than its buffer; each font's piece
    // is on disk 2.
    void WriteDescription(bool longest = false) {
        std::vector<Item> misc = {Item("Readme").Piece("README.TXT", "Disk 1").Key("DstDir", kit)}, items;
        if (longest) {
            const std::string dir = "C:\\" + Name('X', 300);
            misc.push_back(Item("Longest").Piece(Name('P', 300), Name('D', 60)).Key("DstDir", dir));
        }
        for (int i = 1; i <= 40; ++i) {
            const std::string n = std::to_string(i);
            Item font(FontName(i), FontName(i).substr(0, 71));  // keyed as the program cuts it
            font.Key("Size", 1).Piece("F" + n + ".TTE", Name('D', 60)).Key("FontName", kBaseFont);
            items.push_back(font.Face(Name('A', 300)).Face(Name('B', 300) + n));
            disk2.Write("F" + n + ".TTE", Pattern(3000, i));
        }
        disk1.Describe(Section(Kind::Misc, misc) + Section(Kind::Fonts, items));
    }
};

TEST_F(Limits, EveryTextAtItsLimitAndTheLongestTypedSourceDirectory) {
    WriteDescription(true);
    CreateDirectoryA(fonts.c_str(), nullptr);
    Process setup = disk1.Start();
    HWND dialog = WaitMainDialog(setup);
    const std::vector<std::string> lines = ListLines(Control(dialog, IDC_FONT_LIST));
    ASSERT_EQ(lines.size(), 40u);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(lines[static_cast<size_t>(i)], FontName(i + 1).substr(0, 71));

    StartInstall(setup, {39}, fonts);
    // A directory of 259 characters leaves no room for the file's name: the
    // item is refused before its disk is asked for, and the run goes on.
    const std::string longDir = "C:\\" + Name('X', 256);
    ExpectBox(setup, Utf8((Ansi("無法建立檔案 ") + longDir).substr(0, 255)), nullptr);
    setup.WaitOutput("Dest " + longDir + "\n");
    HWND prompt = WaitPrompt(setup);
    EXPECT_EQ(Text(prompt, IDC_PROMPT_TEXT), Ansi(("請放入 " + Name('D', 39) + " 或將含有 F40.TTE 之磁片放入...").c_str()));
    // 300 characters typed: 259 of them are kept and tried.
    const std::string typed = "C:\\" + Name('Y', 297);
    SetText(prompt, IDC_PROMPT_DIR, typed);
    Click(prompt, IDOK);
    HWND box = setup.WaitMessageBox();
    EXPECT_EQ(Text(box), "ReRe");
    const std::string said = MessageBoxText(box);
    EXPECT_LE(said.size(), 255u);
    EXPECT_EQ(said.rfind(Ansi("無法開啟檔案 ") + typed.substr(0, 30), 0), 0u) << said;
    Answer(box, IDOK);
    SetText(prompt, IDC_PROMPT_DIR, disk2.Path());
    Click(prompt, IDOK);
    ExpectBox(setup, kDone, nullptr);
    ExpectExit(setup);

    EXPECT_TRUE(ReadBytes(fonts + "\\F40.TTE") == Pattern(3000, 40));
    EXPECT_EQ(ReadBytes(kit + "\\README.TXT"), "read me");
    // Face names kept at 259 characters, the longest a value name may take here.
    EXPECT_EQ(ReadValue("EUDC\\950", Name('A', 259)).text, fonts + "\\F40.TTE");
    EXPECT_EQ(ReadValue("EUDC\\950", Name('B', 259)).text, fonts + "\\F40.TTE");
    EXPECT_EQ(ReadValue("EUDC\\950", Name('B', 300) + "1").text, "<no value>");
}

// A destination of 259 characters is accepted, but no file name fits after
// it: the font is refused whole, never cut into another file's name, and the
// run goes on.
TEST_F(Limits, DestinationTypedAtTheLimit) {
    WriteDescription();
    const std::string target = DeepDir(root.Path(), 259);
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    Process setup = disk1.Start();
    StartInstall(setup, {0}, target);
    // Refused before its disk is asked for.
    const std::string cantCreate = Ansi("無法建立檔案 ");
    HWND box = setup.WaitMessageBox();
    const std::string said = MessageBoxText(box);
    EXPECT_EQ(said.substr(0, cantCreate.size() + 30), cantCreate + target.substr(0, 30));
    EXPECT_LE(said.size(), 255u);
    Answer(box, IDOK);
    // No font was installed: no completion message.
    ExpectExit(setup);
    EXPECT_TRUE(ListDir(target).empty());
    EXPECT_EQ(ReadValue("EUDC\\950", Name('A', 259)).text, "<no key>");
}

// Started in a directory of 250 characters: a relative name that would
// reach past 259 is refused (not cut), one that fits is made there.
TEST_F(Limits, CurrentDirectoryNearTheLimit) {
    WriteDescription();
    const std::string current = DeepDir(root.Path(), 250);
    ASSERT_TRUE(CreateDirectoryA(current.c_str(), nullptr));
    Process setup = disk1.Start(current);
    HWND dialog = WaitMainDialog(setup);
    SelectListItem(Control(dialog, IDC_FONT_LIST), 0);
    Click(dialog, IDC_INSTALL);
    HWND ask = WaitDestination(setup);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);

    SetText(ask, IDC_TARGET_DIR, "FONTSFONTSFONTS");  // 266 characters in full
    Click(ask, IDOK);
    // No directory it could be: refused at once, without the question.
    ExpectBox(setup, "不合法之目錄 !", nullptr);
    EXPECT_EQ(Text(ask, IDC_TARGET_DIR), system);
    EXPECT_TRUE(ListDir(current).empty()) << "nothing made under a cut name";

    SetText(ask, IDC_TARGET_DIR, "F");
    Click(ask, IDOK);
    Answer(setup.WaitMessageBox(), IDOK);  // create it
    // current\F\F1.TTE is past the open-file record's 127 characters.
    ExpectBox(setup, Utf8((Ansi("無法建立檔案 ") + current + "\\F\\F1.TTE !").substr(0, 255)), nullptr);
    ExpectExit(setup);
    EXPECT_EQ(ListDir(current), std::vector<std::string>{"F"});
    EXPECT_TRUE(ListDir(current + "\\F").empty());
}

}  // namespace
