// Every input at its maximum: the longest texts, exactly 120 pieces and face
// names, the longest paths typed and joined. Nothing is written past a
// buffer (the program runs with Wine's heap checking and the stack
// protector), and what must be cut is cut at the buffer size less one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/messages.h"
#include "install/pieces.h"
#include "setup/catalogue.h"
#include "setup/loader.h"
#include "support/description.h"
#include "support/winui.h"

namespace {

std::string Name(char c, int n) { return std::string(static_cast<size_t>(n), c); }

// 40 accessory files and 40 tables of one piece, and 40 fonts of one piece
// and three face names: 120 pieces and 120 face names, every text longer
// than its buffer.
std::string MaximalDescription() {
    std::vector<Item> misc, tables, fonts;
    for (int i = 1; i <= 40; ++i) {
        const std::string n = std::to_string(i);
        const std::string m = Name('M', 80) + n, t = Name('T', 80) + n, f = Name('F', 80) + n;
        // Keys are formed from the names as cut to 71 characters.
        Item item(m, m.substr(0, 71)), table(t, t.substr(0, 71)), font(f, f.substr(0, 71));
        for (Item* k : {&item, &table, &font}) k->Piece(Name('P', 300), Name('D', 60));
        for (Item* k : {&item, &table}) k->Key("DstDir", "C:\\" + Name('X', 300));
        item.Key("Group", Name('G', 100));
        table.Key("UserKey", Name('K', 100)).Key("Mode", "0x123456789").Key("Layout", "FFFFFFFFFF");
        font.Key("FontName", Name('B', 100));
        for (int k = 0; k < 3; ++k) font.Face(Name('A', 300));
        misc.push_back(item);
        tables.push_back(table);
        fonts.push_back(font);
    }
    return Section(Kind::Misc, misc) + Section(Kind::Fonts, fonts) + Section(Kind::Tables, tables);
}

TEST(MaxInput, EveryTextAtItsLimitAndAllTablesFull) {
    TempDir dir;
    PoisonCatalogue();
    CopyText(SetupInfo.SetupFilePath, dir.Write("QUILL95.INI", MaximalDescription()).c_str());
    ASSERT_EQ(ReadSetupDescription(), 0);
    ASSERT_EQ(SetupInfo.MiscCount, 40);
    ASSERT_EQ(SetupInfo.FontCount, 40);
    ASSERT_EQ(SetupInfo.TableCount, 40);
    EXPECT_EQ(strlen(SetupInfo.MiscItems[39].Name), 71u);
    EXPECT_EQ(strlen(SetupInfo.MiscItems[39].Group), 71u);
    EXPECT_EQ(strlen(SetupInfo.MiscItems[39].DstDir), 259u);
    EXPECT_EQ(strlen(SetupInfo.FontItems[39].FontName), 71u);
    EXPECT_EQ(strlen(SetupInfo.TableItems[39].UserKey), 71u);
    EXPECT_EQ(SetupInfo.TableItems[39].Mode, 0x123456u) << "0x123456789 cut to eight characters";
    EXPECT_EQ(SetupInfo.TableItems[39].Layout, 0xFFFFFFFFu);
    EXPECT_EQ(SetupInfo.TableItems[39].FirstPiece, 119);
    EXPECT_EQ(SetupInfo.FontItems[39].FirstAFontName, 117);
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(strlen(SetupInfo.Pieces.File[i]), 259u) << i;
        EXPECT_EQ(strlen(SetupInfo.Pieces.Disk[i]), 39u) << i;
        EXPECT_EQ(strlen(SetupInfo.AFontNameTable[i]), 259u) << i;
    }
}

// The disk prompt with the longest label and file name, and the longest
// directory typed into it.
TEST(MaxInput, DiskPromptAtTheLimits) {
    AppInstance = GetModuleHandleA(nullptr);
    LoadCaption();
    memset(&SetupInfo, 0, sizeof SetupInfo);
    CopyText(SetupInfo.Pieces.File[0], Name('P', 259).c_str());
    CopyText(SetupInfo.Pieces.Disk[0], Name('D', 39).c_str());
    CopyText(SetupInfo.SourceDir, "C:\\nowhere");
    const std::string typed = "C:\\" + Name('Y', 300);
    DialogScript script;
    script
        .Then([&](HWND prompt) {
            EXPECT_EQ(DialogScript::Text(prompt, IDC_PROMPT_TEXT).size(), 255u);
            DialogScript::SetText(prompt, IDC_PROMPT_DIR, typed);
            DialogScript::Press(prompt, IDOK);
        })
        .Then([](HWND box) {
            EXPECT_EQ(DialogScript::Caption(box), "ReRe");
            EXPECT_LE(DialogScript::BoxText(box).size(), 255u);
            DialogScript::Press(box, IDOK);
        })
        .Then([](HWND prompt) { DialogScript::Press(prompt, IDCANCEL); });
    UseLzSource = 0;
    EXPECT_EQ(OpenSourcePiece(nullptr, 0), -1);
    EXPECT_EQ(strlen(SetupInfo.SourceDir), 259u) << "the typed text, cut";
    EXPECT_TRUE(script.Done());
}

}  // namespace
