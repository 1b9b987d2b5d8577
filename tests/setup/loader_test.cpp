// The loader over real description files and the platform's profile reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"
#include "support/description.h"

namespace {

class Loader : public ::testing::Test {
protected:
    void SetUp() override { PoisonCatalogue(); }

    int Load(const std::string& utf8) {
        CopyText(SetupInfo.SetupFilePath, files_.Write(utf8).c_str());
        return ReadSetupDescription();
    }
    std::string Piece(int i) const { return SetupInfo.Pieces.File[i]; }
    std::string Disk(int i) const { return SetupInfo.Pieces.Disk[i]; }

    DescriptionFiles files_;
};

// n fonts, each with one piece and one face name.
std::string Fonts(int n) {
    std::vector<Item> fonts;
    for (int i = 1; i <= n; ++i) {
        const std::string f = "F" + std::to_string(i);
        fonts.push_back(Item(f).Piece(f + ".TTE", "Disk 1").Key("FontName", "Base").Face("Face"));
    }
    return Section(Kind::Fonts, fonts);
}

// Items of one kind, named word1, word2..., each with the given number of
// pieces.
std::string Items(Kind kind, const std::string& word, int n, int pieces) {
    std::vector<Item> items;
    for (int i = 1; i <= n; ++i) {
        Item item(word + std::to_string(i));
        for (int k = 1; k <= pieces; ++k)
            item.Piece(item.Name() + "." + std::to_string(k), "Disk " + std::to_string(k));
        items.push_back(item);
    }
    return Section(kind, items);
}
std::string Misc(int n, int pieces = 1) { return Items(Kind::Misc, "Item", n, pieces); }
std::string Tbls(int n, int pieces = 1) { return Items(Kind::Tables, "Tbl", n, pieces); }

TEST_F(Loader, WorkedExampleFieldByField) {
    memset(&SetupInfo, 0, sizeof SetupInfo);
    ASSERT_EQ(InitSetupDirs("A:\\SETUP.EXE"), 0);
    EXPECT_STREQ(SetupInfo.ModuleDir, "A:");
    EXPECT_STREQ(SetupInfo.SetupFilePath, "A:\\QUILL95.INI");
    EXPECT_STREQ(SetupInfo.SourceDir, "A:");
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_STREQ(SetupInfo.WindowsDir, windows);
    EXPECT_STREQ(SetupInfo.SystemDir, system);
    EXPECT_EQ(std::string(SetupInfo.FontsDir), std::string(windows) + "\\FONTS");
    EXPECT_STREQ(SetupInfo.TargetDir, windows);
    EXPECT_STREQ(SetupInfo.LinkDir, "");

    // As on a system whose Windows directory is C:\WINDOWS.
    PoisonCatalogue();
    ASSERT_EQ(Load(WorkedExample()), 0);

    ASSERT_EQ(SetupInfo.MiscCount, 1);
    const MiscItem& viewer = SetupInfo.MiscItems[0];
    EXPECT_STREQ(viewer.Group, "Font Kit");
    EXPECT_STREQ(viewer.Name, "Viewer");
    EXPECT_STREQ(viewer.DstDir, "C:\\FONTKIT");
    EXPECT_EQ(viewer.Files, 1);
    EXPECT_EQ(viewer.FirstPiece, 0);
    EXPECT_EQ(viewer.Compressed, 1);

    ASSERT_EQ(SetupInfo.FontCount, 2);
    const struct {
        const char* name;
        int files, firstPiece, size, aFiles, firstAFontName;
    } fonts[] = {{"Sample Kai", 2, 1, 960, 2, 0}, {"Sample Song", 1, 3, 870, 1, 2}};
    for (int i = 0; i < 2; ++i) {
        const FontItem& f = SetupInfo.FontItems[i];
        EXPECT_STREQ(f.Name, fonts[i].name);
        EXPECT_EQ(f.Files, fonts[i].files) << f.Name;
        EXPECT_EQ(f.FirstPiece, fonts[i].firstPiece) << f.Name;
        EXPECT_EQ(f.Size, fonts[i].size) << f.Name;
        EXPECT_STREQ(f.FontName, "Sample Base (TrueType)");
        EXPECT_EQ(f.AFiles, fonts[i].aFiles) << f.Name;
        EXPECT_EQ(f.FirstAFontName, fonts[i].firstAFontName) << f.Name;
    }

    ASSERT_EQ(SetupInfo.TableCount, 1);
    const TableItem& phonetic = SetupInfo.TableItems[0];
    EXPECT_STREQ(phonetic.Name, "Phonetic");
    EXPECT_STREQ(phonetic.DstDir, "C:\\WINDOWS");
    EXPECT_EQ(phonetic.Files, 1);
    EXPECT_EQ(phonetic.FirstPiece, 4);
    EXPECT_EQ(phonetic.Compressed, 1);
    EXPECT_STREQ(phonetic.UserKey, "Software\\FontKit\\Phonetic");
    EXPECT_EQ(phonetic.Mode, 0x1Fu);
    EXPECT_EQ(phonetic.HasMode, 1);
    EXPECT_EQ(phonetic.Layout, 0u);
    EXPECT_EQ(phonetic.HasLayout, 0);

    const char* pieces[][2] = {{"VIEWER.EXE", "Disk 1"}, {"SKAI.TTE", "Disk 1"},
                               {"SKAI.P2", "Disk 2"},    {"SSONG.TTE", "Disk 2"},
                               {"PHONETIC.TBL", "Disk 2"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Piece(i), pieces[i][0]) << i;
        EXPECT_EQ(Disk(i), pieces[i][1]) << i;
    }
    EXPECT_TRUE(IsPoison(SetupInfo.Pieces.File[5], kPathLen)) << "written past the last piece";
    EXPECT_STREQ(SetupInfo.AFontNameTable[0], "Sample Base");
    EXPECT_STREQ(SetupInfo.AFontNameTable[1], "Sample Base Bold");
    EXPECT_STREQ(SetupInfo.AFontNameTable[2], "Sample Song Face");
    EXPECT_TRUE(IsPoison(SetupInfo.AFontNameTable[3], kPathLen));
}

TEST_F(Loader, ProgramDirectory) {
    ASSERT_EQ(InitSetupDirs("C:\\MEDIA\\DISK1\\SETUP.EXE"), 0);
    EXPECT_STREQ(SetupInfo.ModuleDir, "C:\\MEDIA\\DISK1");
    EXPECT_STREQ(SetupInfo.SetupFilePath, "C:\\MEDIA\\DISK1\\QUILL95.INI");
    // The trail byte of 許 is no directory separator.
    ASSERT_EQ(InitSetupDirs(Ansi("C:\\字型\\許\\SETUP.EXE").c_str()), 0);
    EXPECT_EQ(std::string(SetupInfo.ModuleDir), Ansi("C:\\字型\\許"));
    EXPECT_EQ(std::string(SetupInfo.SetupFilePath), Ansi("C:\\字型\\許\\QUILL95.INI"));
    ASSERT_EQ(InitSetupDirs("SETUP.EXE"), 0);
    EXPECT_STREQ(SetupInfo.ModuleDir, "");
    EXPECT_STREQ(SetupInfo.SetupFilePath, "QUILL95.INI");
}

TEST_F(Loader, MissingDescription) {
    CopyText(SetupInfo.SetupFilePath, files_.Dir().Join("QUILL95.INI").c_str());
    EXPECT_EQ(ReadSetupDescription(), IDS_NO_SETUP_FILE);
    // A directory of that name is no description either.
    ASSERT_TRUE(CreateDirectoryA(SetupInfo.SetupFilePath, nullptr));
    EXPECT_EQ(ReadSetupDescription(), IDS_NO_SETUP_FILE);
    RemoveDirectoryA(SetupInfo.SetupFilePath);
    // One in a directory deeper than the open-file record holds is found.
    std::string deep = files_.Dir().Path() + "\\";
    deep += std::string(140 - deep.size(), 'M');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    CopyText(SetupInfo.SetupFilePath, WriteBytes(deep + "\\QUILL95.INI", Ansi(Dos(Fonts(1)).c_str())).c_str());
    EXPECT_EQ(ReadSetupDescription(), 0);
    EXPECT_EQ(SetupInfo.FontCount, 1);
    DeleteFileA(SetupInfo.SetupFilePath);
    RemoveDirectoryA(deep.c_str());
    // Beside this test program there is none either.
    EXPECT_EQ(LoadSetupInfo(), IDS_NO_SETUP_FILE);
    EXPECT_EQ(std::string(SetupInfo.SetupFilePath).substr(strlen(SetupInfo.ModuleDir)),
              "\\QUILL95.INI");
}

TEST_F(Loader, ItemAndTableCountLimits) {
    EXPECT_EQ(Load(Misc(40) + Tbls(40) + Fonts(1)), 0);
    EXPECT_EQ(SetupInfo.MiscCount, 40);
    EXPECT_EQ(SetupInfo.TableCount, 40);
    EXPECT_STREQ(SetupInfo.TableItems[39].Name, "Tbl40");
    EXPECT_EQ(SetupInfo.TableItems[39].FirstPiece, 80);

    PoisonCatalogue();
    EXPECT_EQ(Load(Misc(41) + Fonts(1)), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.MiscItems[0].Name, kNameLen)) << "read an item past the limit";

    PoisonCatalogue();
    EXPECT_EQ(Load(Tbls(41) + Fonts(1)), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.TableItems[0].Name, kNameLen));

    EXPECT_EQ(Load(Fonts(1)), 0);
    EXPECT_EQ(SetupInfo.MiscCount, 0);
    EXPECT_EQ(SetupInfo.TableCount, 0);
}

TEST_F(Loader, FontCountLimits) {
    ASSERT_EQ(Load(Fonts(120)), 0);
    EXPECT_EQ(SetupInfo.FontCount, 120);
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(std::string(SetupInfo.FontItems[i].Name), "F" + std::to_string(i + 1));
        EXPECT_EQ(SetupInfo.FontItems[i].FirstPiece, i);
        EXPECT_EQ(SetupInfo.FontItems[i].FirstAFontName, i);
    }
    PoisonCatalogue();
    EXPECT_EQ(Load(Fonts(121)), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.FontItems[0].Name, kNameLen));
    EXPECT_EQ(Load("[Fonts]\nFonts=0\n"), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load(Misc(1)), IDS_BAD_SETUP_FILE);  // no [Fonts] at all
}

TEST_F(Loader, ExactlyAllPiecesAndNoMore) {
    // 119 pieces of one accessory file and the font's one: 120.
    ASSERT_EQ(Load(Misc(1, 119) + Fonts(1)), 0);
    EXPECT_EQ(SetupInfo.FontItems[0].FirstPiece, 119);
    EXPECT_EQ(Piece(119), "F1.TTE");

    // A table whose two pieces would make 121 fails before either is read.
    PoisonCatalogue();
    EXPECT_EQ(Load(Misc(1, 118) + Fonts(1) + Tbls(1, 2)), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.Pieces.File[119], kPathLen));
    EXPECT_TRUE(IsPoison(&SetupInfo.TableItems[0].FirstPiece, sizeof(int32_t)));

    // Two fonts: the second's piece would be the 121st.
    PoisonCatalogue();
    EXPECT_EQ(Load(Misc(1, 119) + Fonts(2)), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.AFontNameTable[1], kPathLen));
}

TEST_F(Loader, ExactlyAllFaceNamesAndNoMore) {
    std::string one = "[Fonts]\nFonts=2\nFont1=A\nFont2=B\n[Font Files]\n"
                      "A Files=1\nA File1=A.TTE\nA Disk1=D\nA FontName=Base\nB Files=1\n"
                      "B File1=B.TTE\nB Disk1=D\nB FontName=Base\nB AFiles=2\n"
                      "B AFontName1=B1\nB AFontName2=B2\n";
    std::string faces;
    for (int k = 1; k <= 118; ++k) faces += "A AFontName" + std::to_string(k) + "=A" + std::to_string(k) + "\n";
    ASSERT_EQ(Load(one + "A AFiles=118\n" + faces), 0);
    EXPECT_EQ(SetupInfo.FontItems[1].FirstAFontName, 118);
    EXPECT_STREQ(SetupInfo.AFontNameTable[119], "B2");

    PoisonCatalogue();
    faces += "A AFontName119=A119\n";
    EXPECT_EQ(Load(one + "A AFiles=119\n" + faces), IDS_BAD_SETUP_FILE);
    EXPECT_TRUE(IsPoison(SetupInfo.AFontNameTable[119], kPathLen));
    EXPECT_TRUE(IsPoison(SetupInfo.Pieces.File[1], kPathLen)) << "B's pieces were read";
}

TEST_F(Loader, RequiredTextsMustNotBeEmpty) {
    const std::string base = WorkedExample();
    auto without = [&](const std::string& line, const std::string& replacement) {
        std::string s = base;
        size_t at = s.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        return s.replace(at, line.size(), replacement);
    };
    EXPECT_EQ(Load(base), 0);
    for (const char* line : {"Item1=Viewer", "Viewer File1=VIEWER.EXE", "Viewer Disk1=Disk 1",
                             "Font2=Sample Song", "Sample Kai FontName=Sample Base (TrueType)",
                             "Sample Kai AFontName2=Sample Base Bold", "Sample Song Disk1=Disk 2",
                             "Tbl1=Phonetic", "Phonetic File1=PHONETIC.TBL",
                             "Phonetic Disk1=Disk 2"}) {
        std::string key = std::string(line).substr(0, std::string(line).find('=') + 1);
        EXPECT_EQ(Load(without(line, key)), IDS_BAD_SETUP_FILE) << "empty: " << key;
        EXPECT_EQ(Load(without(line, "")), IDS_BAD_SETUP_FILE) << "missing: " << key;
    }
    for (const char* line : {"Viewer Files=1", "Sample Kai AFiles=2", "Phonetic Files=1"})
        EXPECT_EQ(Load(without(line, "")), IDS_BAD_SETUP_FILE) << "missing: " << line;
}

TEST_F(Loader, LongNameIsCutAndItsKeysUseTheCutName) {
    const std::string name(80, 'N');
    const std::string cut = name.substr(0, 71);
    auto font = [&](const std::string& keyName) {
        Item item(name, keyName);
        item.Piece("N.TTE", "D").Key("FontName", "Base").Face(std::string(300, 'F'));
        return Section(Kind::Fonts, {item});
    };
    ASSERT_EQ(Load(font(cut)), 0);
    EXPECT_EQ(std::string(SetupInfo.FontItems[0].Name), cut);
    EXPECT_EQ(std::string(SetupInfo.AFontNameTable[0]), std::string(259, 'F'));
    EXPECT_EQ(Load(font(name)), IDS_BAD_SETUP_FILE);
}

TEST_F(Loader, DefaultsAndEmptyValues) {
    std::string s = WorkedExample();
    s.replace(s.find("Viewer DstDir=C:\\FONTKIT"), 24, "Viewer DstDir=");
    s.replace(s.find("Viewer Group=Font Kit"), 21, "");
    s.replace(s.find("Sample Song Size=870"), 20, "");
    ASSERT_EQ(Load(s), 0);
    EXPECT_STREQ(SetupInfo.MiscItems[0].DstDir, "C:\\WINDOWS") << "present and empty is missing";
    EXPECT_STREQ(SetupInfo.MiscItems[0].Group, "");
    EXPECT_EQ(SetupInfo.FontItems[1].Size, 0);
    EXPECT_STREQ(SetupInfo.TableItems[0].DstDir, "C:\\WINDOWS") << "missing is WindowsDir";
    EXPECT_STREQ(SetupInfo.TableItems[0].UserKey, "Software\\FontKit\\Phonetic");
}

// Nothing is ever built relative to the current directory (the medium):
// a relative DstDir is taken from the Windows directory.
TEST_F(Loader, RelativeDstDirIsTakenFromTheWindowsDirectory) {
    const struct {
        const char* dstDir;
        const char* full;
    } cases[] = {
        {"FONTKIT", "C:\\WINDOWS\\FONTKIT"},   {"KIT\\SUB\\", "C:\\WINDOWS\\KIT\\SUB\\"},
        {".", "C:\\WINDOWS\\."},                {"\\KIT", "C:\\KIT"},
        {"D:KIT", "D:\\KIT"},                     {"D:", "D:\\"},
        {"D:\\KIT", "D:\\KIT"},                   {"\\\\server\\share", "\\\\server\\share"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Load(Fonts(1) + Misc(1) + "Item1 DstDir=" + c.dstDir + "\n"), 0);
        EXPECT_STREQ(SetupInfo.MiscItems[0].DstDir, c.full) << c.dstDir;
    }
    // One that would not fit whole stays relative, and its item is refused.
    const std::string deep(255, 'D');
    ASSERT_EQ(Load(Fonts(1) + Tbls(1) + "Tbl1 DstDir=" + deep + "\n"), 0);
    EXPECT_EQ(std::string(SetupInfo.TableItems[0].DstDir), deep);
}

// A text cut to fit never ends in half a Big5 character; a Group or
// UserKey that had to be cut says so, and its item will not use it.
TEST_F(Loader, CutTextsEndInWholeCharactersAndGroupAndKeyAreMarked) {
    const std::string exact(71, 'G');
    const std::string big5 = std::string(70, 'K') + "\xE5\xAD\x97";  // 字: A6 72
    ASSERT_EQ(Load(Fonts(1) + Misc(1) + "Item1 Group=" + exact + "\n" + Tbls(1) + "Tbl1 UserKey=" +
                   big5 + "\n"),
              0);
    EXPECT_EQ(std::string(SetupInfo.MiscItems[0].Group), exact);
    EXPECT_EQ(SetupInfo.MiscItems[0].GroupCut, 0) << "71 bytes fit";
    EXPECT_EQ(std::string(SetupInfo.TableItems[0].UserKey), std::string(70, 'K'));
    EXPECT_EQ(SetupInfo.TableItems[0].UserKeyCut, 1);
    ASSERT_EQ(Load(Fonts(1) + Misc(1) + "Item1 Group=" + exact + "G\n" + Tbls(1) + "Tbl1 UserKey=K\n"),
              0);
    EXPECT_EQ(std::string(SetupInfo.MiscItems[0].Group), exact);
    EXPECT_EQ(SetupInfo.MiscItems[0].GroupCut, 1);
    EXPECT_EQ(SetupInfo.TableItems[0].UserKeyCut, 0);
    // Any cut text: a face name of 258 bytes and a Big5 character.
    std::string s = Fonts(1);
    s.replace(s.find("AFontName1=Face"), 15, "AFontName1=" + std::string(258, 'F') + "\xE5\xAD\x97");
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(std::string(SetupInfo.AFontNameTable[0]), std::string(258, 'F'));
}

TEST_F(Loader, HexadecimalModeAndLayout) {
    struct Case {
        const char* lines;
        uint32_t mode;
        int hasMode;
        uint32_t layout;
        int hasLayout;
    } cases[] = {
        {"T Mode=1F\n", 0x1F, 1, 0, 0},
        {"T Mode=0x1f\nT Layout=0X0A\n", 0x1F, 1, 0xA, 1},
        {"T Mode=0x12345678\n", 0x123456, 1, 0, 0},
        {"T Mode=FFFFFFFF\nT Layout=7fffffff\n", 0xFFFFFFFF, 1, 0x7FFFFFFF, 1},
        {"T Mode=zz\nT Layout=\n", 0, 1, 0, 0},
        {"T Mode=0\n", 0, 1, 0, 0},
        {"T Mode=12g4\n", 0x12, 1, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PoisonCatalogue();
        ASSERT_EQ(Load(Fonts(1) + "[Tbls]\nTbls=1\nTbl1=T\n[Tbls Files]\nT Files=1\nT File1=T.TBL\n"
                                  "T Disk1=D\n" + c.lines),
                  0);
        const TableItem& t = SetupInfo.TableItems[0];
        EXPECT_EQ(t.Mode, c.mode) << c.lines;
        EXPECT_EQ(t.HasMode, c.hasMode) << c.lines;
        EXPECT_EQ(t.Layout, c.layout) << c.lines;
        EXPECT_EQ(t.HasLayout, c.hasLayout) << c.lines;
        EXPECT_STREQ(t.UserKey, "");
        EXPECT_EQ(t.Compressed, 0);
    }
}

TEST_F(Loader, NamesMatchWithoutRegardToCase) {
    ASSERT_EQ(Load("[FONTS]\nFONTS=1\nfont1=Sample Kai\n[font files]\nSAMPLE KAI FILES=1\n"
                   "sample kai file1=SKAI.TTE\nSample KAI Disk1=Disk 1\nsample kai fontname=Base\n"
                   "SAMPLE KAI AFILES=1\nsample kai afontname1=Face\n"),
              0);
    EXPECT_STREQ(SetupInfo.FontItems[0].Name, "Sample Kai");
    EXPECT_STREQ(SetupInfo.Pieces.File[0], "SKAI.TTE");
}

TEST_F(Loader, SameNameTwiceTakesTwoRuns) {
    ASSERT_EQ(Load(Fonts(1) + "[Misc]\nItems=2\nItem1=V\nItem2=V\n[Misc Files]\nV Files=2\n"
                              "V File1=V.EXE\nV Disk1=D1\nV File2=V.P2\nV Disk2=D2\n"),
              0);
    EXPECT_EQ(SetupInfo.MiscItems[0].FirstPiece, 0);
    EXPECT_EQ(SetupInfo.MiscItems[1].FirstPiece, 2);
    EXPECT_EQ(Piece(2), "V.EXE");
    EXPECT_EQ(Piece(3), "V.P2");
    EXPECT_EQ(SetupInfo.FontItems[0].FirstPiece, 4);
}

TEST_F(Loader, NegativeAndHugeCountsAreWrongData) {
    const std::string kai = "[Fonts]\nFonts=1\nFont1=K\n[Font Files]\nK FontName=B\n"
                            "K File1=K.TTE\nK Disk1=D\nK AFontName1=F\n";
    EXPECT_EQ(Load(kai + "K Files=1\nK AFiles=1\n"), 0);
    EXPECT_EQ(Load(kai + "K Files=-1\nK AFiles=1\n"), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load(kai + "K Files=1\nK AFiles=-1\n"), IDS_BAD_SETUP_FILE);
    // A sum that would wrap past 32 bits must not pass the limit test.
    EXPECT_EQ(Load(kai + "K Files=2147483647\nK AFiles=1\n"), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load(kai + "K Files=1\nK AFiles=2147483647\n"), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load(Misc(1) + "[Fonts]\nFonts=-1\n"), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load("[Misc]\nItems=-1\n" + Fonts(1)), IDS_BAD_SETUP_FILE);
    EXPECT_EQ(Load("[Tbls]\nTbls=-2\n" + Fonts(1)), IDS_BAD_SETUP_FILE);
    // A negative size would only shrink the space the check asks for.
    ASSERT_EQ(Load(kai + "K Files=1\nK AFiles=1\nK Size=-500\n"), 0);
    EXPECT_EQ(SetupInfo.FontItems[0].Size, 0);
}

TEST_F(Loader, Big5NamesAndDirectories) {
    ASSERT_EQ(Load("[Fonts]\nFonts=1\nFont1=標楷體\n[Font Files]\n標楷體 Files=1\n"
                   "標楷體 File1=許功.TTE\n標楷體 Disk1=第一片\n標楷體 FontName=細明體 (TrueType)\n"
                   "標楷體 AFiles=1\n標楷體 AFontName1=細明體\n"
                   "[Misc]\nItems=1\nItem1=檢視\n[Misc Files]\n檢視 Files=1\n檢視 File1=V.EXE\n"
                   "檢視 Disk1=D\n檢視 DstDir=C:\\字型\\許\n檢視 Group=字型工具\n"),
              0);
    EXPECT_EQ(std::string(SetupInfo.FontItems[0].Name), Ansi("標楷體"));
    EXPECT_EQ(std::string(SetupInfo.FontItems[0].FontName), Ansi("細明體 (TrueType)"));
    EXPECT_EQ(Piece(1), Ansi("許功.TTE"));
    EXPECT_EQ(Disk(1), Ansi("第一片"));
    EXPECT_EQ(std::string(SetupInfo.MiscItems[0].DstDir), Ansi("C:\\字型\\許"));
    EXPECT_EQ(std::string(SetupInfo.MiscItems[0].Group), Ansi("字型工具"));
}

}  // namespace
