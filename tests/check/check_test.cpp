// The medium checker on the sample medium and on one broken copy of it per
// finding, run in this process through its entry; the real QCHECK.EXE and
// SETUP.EXE on the media where they must agree.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "check/check.h"
#include "driver/driver.h"
#include "support/e2e.h"

namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

const std::string kLong(80, 'N'), kCut(71, 'N');
const std::string kBad11 =
    ": SETUP.EXE shows message 11, \"起始設定檔案中之資料不對 !\", and ends";
const std::string kLz97 = "SETUP.EXE shows message 97, \"原始檔案格式不合法。\"";
const std::string kNoFile = "SETUP.EXE shows message 12, \"無法建立檔案 C:\\";

// One broken copy of the sample, a row a line: description edits (every occurrence), a
// change ("change": ">F" piece moved to disk 1, "+F" a copy of other bytes
// left on disk 1, "=F" one of the same bytes, "-F" gone, "!F" cut short,
// "~F" compressed data in its place; "#bom" the description with
// a UTF-8 byte-order mark, "#utf8" saved as UTF-8), the arguments ({1},
// {2}: the disks' directories), a line of the report that starts so (after
// "QUILL95.INI: " unless it is the checker's own; {W}: the Windows
// directory, {X}: the bytes the sample expands to) and the exit code.
struct Row {
    const char* what;
    Edits edits;
    std::string change;
    std::vector<std::string> args;
    std::string line;
    int exit;
};

const Row kRows[] = {
    {"the sample", {}, "", {}, "qcheck: items 4, pieces 6, disks 2, bytes expanded {X}; errors 0, warnings 0", 0},
    {"disks in order", {}, "", {}, "qcheck: disk \"Disk 2\" is {2} (in order)", 0},
    {"a disk by name", {}, "", {"{1}", "Disk 2={2}"}, "qcheck: disk \"Disk 2\" is {2} (by name)", 0},
    {"a directory not there", {}, "", {"{1}", "Disk 2={1}\\NOWHERE"}, "error: the directory of disk \"Disk 2\", {1}\\NOWHERE, is not there", 2},
    {"a disk without directory", {}, "", {"{1}"}, "warning: no directory for disk \"Disk 2\": its pieces are not checked", 1},
    {"no description", {}, "", {"{2}"}, "error: not found in {2}: SETUP.EXE shows message 10, \"找不到起始設定檔案 !\"", 2},
    // Where SETUP.EXE shows message 11.
    {"missing", {{"Sample Kai Files=2\n", ""}}, "", {}, "[Font Files] Sample Kai Files: error: missing" + kBad11, 2},
    {"not a number", {{"AFiles=2", "AFiles=two"}}, "", {}, "[Font Files] Sample Kai AFiles: error: not a number: \"two\"" + kBad11, 2},
    {"out of range", {{"Viewer Files=1", "Viewer Files=0"}}, "", {}, "[Misc Files] Viewer Files: error: out of range: 0" + kBad11, 2},
    {"too many items", {{"Fonts=2", "Fonts=121"}}, "", {}, "[Fonts] Fonts: error: too many: 121 (at most 120 fonts)" + kBad11, 2},
    {"too many pieces", {{"Phonetic Files=2", "Phonetic Files=117"}}, "", {}, "[Tbls Files] Phonetic Files: error: too many: 117 (pieces past 120 in all)" + kBad11, 2},
    {"an empty name", {{"Font2=Sample Song", "Font2="}}, "", {}, "[Fonts] Font2: error: empty" + kBad11, 2},
    // Texts SETUP.EXE cuts, and what follows.
    {"a cut name", {{"Viewer", kCut}, {"Item1=" + kCut, "Item1=" + kLong}}, "", {}, "[Misc] Item1: warning: is 80 bytes, and SETUP.EXE keeps 71: it reads the item's keys under the name \"" + kCut + "\"", 1},
    {"a cut group", {{"Group=Font Kit", "Group=" + kLong}}, "", {}, "[Misc Files] Viewer Group: warning: \"" + kLong + "\": the file gets no Program Manager item: group name too long", 1},
    {"a cut key", {{"UserKey=Software\\FontKit\\Phonetic", "UserKey=" + kLong}}, "", {}, "[Tbls Files] Phonetic UserKey: error: is 80 bytes, more than the 71 SETUP.EXE holds (it reads \"" + kCut + "\"): the table is installed, not registered", 2},
    {"a cut piece", {{"SSONG.TTE", std::string(300, 'S')}}, "", {}, "[Font Files] Sample Song File1: error: is 300 bytes, and SETUP.EXE keeps 259: it looks for \"" + std::string(259, 'S') + "\"", 2},
    {"a cut face name", {{"Face", std::string(300, 'F')}}, "", {}, "[Font Files] Sample Song AFontName1: error: is 312 bytes, and SETUP.EXE keeps 259: it links the font as \"Sample Song " + std::string(247, 'F') + "\"", 2},
    {"a cut mode", {{"Mode=1F", "Mode=0x0000001F"}}, "", {}, "[Tbls Files] Phonetic Mode: error: \"0x0000001F\" is 10 characters, and SETUP.EXE reads the first 8: it writes 0x0", 2},
    {"a mode past its digits", {{"Mode=1F", "Mode=1G"}}, "", {}, "[Tbls Files] Phonetic Mode: error: \"1G\" is read as 0x1: reading stops at \"G\"", 2},
    {"a cut directory", {{"DstDir=C:\\FONTKIT", "DstDir=C:\\" + std::string(300, 'D')}}, "", {}, "[Misc Files] Viewer DstDir: error: is 303 bytes, and SETUP.EXE keeps 259: it shows message 12, \"無法建立檔案 C:\\DDD", 2},
    // Program Manager, table keys and destinations.
    {"a group refused", {{"Group=Font Kit", "Group=Font [Kit]"}}, "", {}, "[Misc Files] Viewer Group: warning: \"Font [Kit]\": the file gets no Program Manager item: group name holds \" [ ] or a control character", 1},
    {"an empty key", {{"UserKey=Software\\FontKit\\Phonetic", "UserKey="}}, "", {}, "[Tbls Files] Phonetic UserKey: error: is empty: the table is installed, not registered", 2},
    {"an empty directory", {{"DstDir=C:\\FONTKIT", "DstDir="}}, "", {}, "[Misc Files] Viewer DstDir: warning: is empty, which counts as missing: the file goes to {W}\\VIEWER.EXE", 1},
    {"a relative directory", {{"DstDir=C:\\FONTKIT", "DstDir=KIT"}}, "", {}, "[Misc Files] Viewer DstDir: warning: \"KIT\" is relative: taken from the Windows directory, the file goes to {W}\\KIT\\VIEWER.EXE", 1},
    {"a path past the record", {{"DstDir=C:\\FONTKIT", "DstDir=C:\\" + std::string(120, 'D')}}, "", {}, "[Misc Files] Viewer DstDir: error: C:\\" + std::string(120, 'D') + "\\VIEWER.EXE passes the 127 characters of the open-file record: " + kNoFile + std::string(120, 'D'), 2},
    {"the medium's own directory", {{"DstDir=C:\\FONTKIT", "DstDir={1}"}}, "", {}, "[Misc Files] Viewer DstDir: error: \"{1}\" is the medium's own directory: " + kNoFile, 2},
    {"one file twice", {{"Phonetic Compressed=1", "Phonetic Compressed=1\nPhonetic DstDir=C:\\FONTKIT"}, {"PHONETIC.TBL", "VIEWER.EXE"}}, "", {}, "[Tbls Files] Phonetic File1: error: C:\\FONTKIT\\VIEWER.EXE is written by \"Viewer\" [Misc Files] too: one item overwrites the other", 2},
    {"one font file twice", {{"SSONG.TTE", "SKAI.TTE"}, {"Song Disk1=Disk 2", "Song Disk1=Disk 1"}}, "", {}, "[Font Files] Sample Song File1: error: SKAI.TTE is the file of font \"Sample Kai\" too: in the fonts' directory one overwrites the other", 2},
    // The pieces.
    {"a piece on another disk", {}, ">SKAI.P2", {}, "[Font Files] Sample Kai Disk2: error: SKAI.P2 is not on \"Disk 2\" ({2}); it is on \"Disk 1\"", 2},
    {"a piece on no disk", {}, "-SSONG.TTE", {}, "[Font Files] Sample Song Disk1: error: SSONG.TTE is not on \"Disk 2\" ({2}), nor on any other disk", 2},
    {"a size too small", {{"Kai Size=960", "Kai Size=4"}}, "", {}, "[Font Files] Sample Kai Size: warning: 4 understates the font: its pieces hold 5000 bytes (5 KB), so the free-space check passes too easily", 1},
    {"a piece cut short", {}, "!VIEWER.EXE", {}, "[Misc Files] Viewer Compressed: error: VIEWER.EXE can't be expanded by the LZ library: " + kLz97, 2},
    {"joined pieces cut short", {}, "!PHONETIC.P2", {}, "[Tbls Files] Phonetic Compressed: error: PHONETIC.TBL + PHONETIC.P2, joined, can't be expanded by the LZ library: " + kLz97, 2},
    // What SETUP.EXE installs wrong without a word.
    {"a compressed piece not marked so", {{"Viewer Compressed=1\n", ""}}, "", {}, "[Misc Files] Viewer Compressed: error: VIEWER.EXE is compressed, and the item is not marked so: SETUP.EXE installs the compressed bytes as the file", 2},
    {"not a number: the flag", {{"Phonetic Compressed=1", "Phonetic Compressed=yes"}}, "", {}, "[Tbls Files] Phonetic Compressed: error: \"yes\" is not a number: SETUP.EXE reads 0 and installs the pieces as they are, not expanded", 2},
    {"not a number: a count", {{"Items=1", "Items=one"}}, "", {}, "[Misc] Items: error: \"one\" is not a number: SETUP.EXE reads 0 and installs no accessory file", 2},
    {"not a plain number", {{"Kai Size=960", "Kai Size=960KB"}}, "", {}, "[Font Files] Sample Kai Size: warning: \"960KB\" is not a plain number: SETUP.EXE reads 960", 1},
    {"a compressed font", {}, "~SSONG.TTE", {}, "[Font Files] Sample Song File1: error: SSONG.TTE is compressed, and a font is never expanded: SETUP.EXE installs the compressed bytes as the font", 2},
    {"the same copy on disk 1", {}, "=SKAI.P2", {}, "[Font Files] Sample Kai Disk2: warning: SKAI.P2 of \"Disk 2\" is also on \"Disk 1\" ({1}), the same bytes", 1},
    {"a stale copy on disk 1", {}, "+SKAI.P2", {}, "[Font Files] Sample Kai Disk2: error: SKAI.P2 of \"Disk 2\" is also on \"Disk 1\" ({1}), with other bytes: SETUP.EXE, still there, takes that copy without asking for \"Disk 2\"", 2},
    {"a byte-order mark", {}, "#bom", {}, "error: starts with a UTF-8 byte-order mark, which the profile reader of Windows does not skip: its first line, \"[Misc]\", is then no section name, and that section's keys are not read", 2},
    {"names saved as UTF-8", {{"Sample Song", "範例宋體"}}, "#utf8", {}, "error: is saved as UTF-8, not in code page 950: SETUP.EXE reads \"Font2=範例宋體\" as \"", 2},
    {"labels apart by case and blanks", {{"Song Disk1=Disk 2", "Song Disk1=disk  2"}}, "", {}, "[Font Files] Sample Song Disk1: warning: \"disk  2\" differs from \"Disk 2\" only in letter case or blanks: taken as that disk here; SETUP.EXE's disk prompt names it as each piece gives it", 1},
    {"the usage asked for", {}, "", {"/?"}, "qcheck: usage: QCHECK DISK1 [DIR | \"NAME=DIR\"]...", 0},
    {"the usage asked for so", {}, "", {"--help"}, "qcheck: usage: QCHECK DISK1 [DIR | \"NAME=DIR\"]...", 0},
    // Names are shown as they are, control characters as text.
    {"a Big5 label and a control character", {{"Song Disk1=Disk 2", "Song Disk1=第二片\x1B[2J"}}, "", {}, "warning: no directory for disk \"第二片\\x1B[2J\": its pieces are not checked", 1},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class Checker : public ::testing::TestWithParam<Row> {
protected:
    // The sample: Sample Kai in two pieces on two disks, the table in two
    // compressed pieces.
    void SetUp() override {
        const Row& row = GetParam();
        Example sample;
        Item& table = sample.tables[0] = Item("Phonetic");
        table.Piece("PHONETIC.TBL", "Disk 2").Piece("PHONETIC.P2", "Disk 2").Key("Compressed", 1);
        table.Key("UserKey", "Software\\FontKit\\Phonetic").Key("Mode", "1F");
        std::string text = sample.Text();
        for (const auto& edit : row.edits) text = Replace(text, edit.first, Fill(edit.second));
        if (row.change == "#utf8")
            disk1.Write("QUILL95.INI", Dos(text));
        else if (row.change == "#bom")
            disk1.Write("QUILL95.INI", "\xEF\xBB\xBF" + Ansi(Dos(text).c_str()));
        else
            disk1.Describe(text);
        const std::string lz = ReadBytes(LzData("text.lz"));
        disk1.Write("VIEWER.EXE", lz);
        disk1.Write("SKAI.TTE", Pattern(3000, 1));
        disk2.Write("SKAI.P2", Pattern(2000, 2));
        disk2.Write("SSONG.TTE", Pattern(1000, 3));
        disk2.Write("PHONETIC.TBL", lz.substr(0, lz.size() / 2));
        disk2.Write("PHONETIC.P2", lz.substr(lz.size() / 2));
        const std::string file = row.change.empty() ? "" : row.change.substr(1);
        const std::string from = Exists(disk1.Join(file)) ? disk1.Join(file) : disk2.Join(file);
        if (row.change[0] == '>') MoveFileA(from.c_str(), disk1.Join(file).c_str());
        if (row.change[0] == '+') disk1.Write(file, Pattern(2000, 9));
        if (row.change[0] == '=') disk1.Write(file, ReadBytes(from));
        if (row.change[0] == '~') WriteBytes(from, lz);
        if (row.change[0] == '-') DeleteFileA(from.c_str());
        if (row.change[0] == '!') WriteBytes(from, ReadBytes(from).substr(0, 100));
    }

    std::string Fill(std::string text) const {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        text = Replace(Replace(text, "{1}", disk1.Path()), "{2}", disk2.Path());
        text = Replace(text, "{T}", target.Path());
        const size_t expanded = ReadBytes(LzData("text.bin")).size() * 2;
        return Replace(Replace(text, "{W}", windows), "{X}", std::to_string(expanded));
    }
    std::string Expected() const {
        const std::string& line = GetParam().line;
        return Fill(line.compare(0, 8, "qcheck: ") == 0 ? line : "QUILL95.INI: " + line);
    }
    std::vector<std::string> Args() const {
        std::vector<std::string> args = GetParam().args;
        if (args.empty()) args = {"{1}", "{2}"};
        for (std::string& a : args) a = Fill(Ansi(a.c_str()));
        return args;
    }

    // RunCheck's lines, and its exit code.
    std::vector<std::string> Check(int* exit) {
        std::vector<std::string> args = Args();
        std::vector<char*> argv = {const_cast<char*>("QCHECK.EXE")};
        for (std::string& a : args) argv.push_back(&a[0]);
        return StandardOutputOf([&] { *exit = RunCheck(static_cast<int>(argv.size()), argv.data()); });
    }

    Medium disk1;
    TempDir disk2, target;
};

TEST_P(Checker, ReportsTheFinding) {
    const Row& row = GetParam();
    const auto before = std::make_pair(ListDir(disk1.Path()), ListDir(disk2.Path()));
    int exit = -1;
    const std::vector<std::string> lines = Check(&exit);
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    const std::string want = Expected();
    bool found = false;
    for (const std::string& line : lines) found = found || line.rfind(want, 0) == 0;
    EXPECT_TRUE(found) << "wanted: " << want << "\ngot:\n" << all;
    EXPECT_EQ(exit, row.exit) << all;
    EXPECT_EQ(before, std::make_pair(ListDir(disk1.Path()), ListDir(disk2.Path())))
        << "the medium changed";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    EXPECT_TRUE(ListDir(temp, "qck*.tmp").empty()) << "a temporary file was left";
    EXPECT_TRUE(SetErrorMode(0) & SEM_FAILCRITICALERRORS) << "a drive without a disk would bring up a box";
}

INSTANTIATE_TEST_SUITE_P(Rows, Checker, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& p) {
                             return "row" + std::to_string(p.index);
                         });

// The real programs: QCHECK.EXE's report and exit code on the sample, and
// SETUP.EXE on a description the checker loads and on one it refuses.
class Programs : public Checker {};

TEST_P(Programs, AgreeWithTheCheck) {
    const Row& row = GetParam();
    std::string command;
    for (const std::string& a : Args()) command += " \"" + a + "\"";
    qdriver::Process check(WinePath(QCHECK_EXE_UNIX), command, disk1.Path());
    EXPECT_EQ(check.WaitExit(), static_cast<DWORD>(row.exit));
    EXPECT_NE(check.Output().find(Expected()), std::string::npos) << check.Output();

    qdriver::Process setup = disk1.Start();
    if (row.exit == 2) {
        ExpectBox(setup, "起始設定檔案中之資料不對 !");
        EXPECT_EQ(setup.WaitExit(), 0u);
    } else {
        ExpectExit(setup);
    }
}

const Row& RowOf(const std::string& what) {
    for (const Row& row : kRows)
        if (what == row.what) return row;
    throw std::logic_error("no row " + what);
}

INSTANTIATE_TEST_SUITE_P(Rows, Programs, ::testing::Values(RowOf("the sample"), RowOf("missing")),
                         [](const ::testing::TestParamInfo<Row>& p) {
                             return p.index == 0 ? "clean" : "refused";
                         });

// Three mistakes SETUP.EXE installs wrong without a word, on one medium
// (with every destination the test's own): the checker names each, and
// SETUP.EXE then does what it said.
const Row kSilent = {"three silent mistakes",
                     {{"Items=1", "Items=one"},
                      {"DstDir=C:\\FONTKIT", "DstDir={T}\\KIT"},
                      {"Phonetic Compressed=1", "Phonetic Compressed=yes\nPhonetic DstDir={T}"},
                      {"Software\\FontKit", "Software\\QuillTest"},
                      {"Sample Base (TrueType)", kBaseFont}},
                     "+SKAI.P2", {}, "", 2};

class Agreement : public Checker {};

TEST_P(Agreement, SetupInstallsWhatTheCheckSays) {
    RemoveTestKeys();
    const BaseFont base;
    int exit = -1;
    std::string report;
    for (const std::string& line : Check(&exit)) report += line + "\n";
    EXPECT_EQ(exit, 2);
    for (const char* finding :
         {"[Misc] Items: error: \"one\" is not a number: SETUP.EXE reads 0 and installs no accessory file",
          "[Tbls Files] Phonetic Compressed: error: \"yes\" is not a number: SETUP.EXE reads 0 and installs the pieces as they are",
          "[Font Files] Sample Kai Disk2: error: SKAI.P2 of \"Disk 2\" is also on \"Disk 1\""})
        EXPECT_NE(report.find(finding), std::string::npos) << finding << "\nnot in\n" << report;

    qdriver::Process setup = disk1.Start();
    HWND dialog = StartInstall(setup, {0, 1}, target.Join("FONTS"));
    ExpectBox(setup, "建立一個新的目錄 ？", nullptr);
    // Each prompt answered with the disk that holds the piece it names.
    std::vector<std::string> asked;
    HWND prompt = nullptr;
    while (!WaitBoxOrPrompt(setup, &prompt)) {
        asked.push_back(PromptedPiece(qdriver::Text(prompt, IDC_PROMPT_TEXT)));
        const bool second = Exists(disk2.Join(asked.back()));
        qdriver::SetText(prompt, IDC_PROMPT_DIR, second ? disk2.Path() : disk1.Path());
        qdriver::Click(prompt, IDOK);
        setup.WaitGone(prompt);
    }
    ExpectBox(setup, kDone);
    ExpectExit(setup, dialog);

    EXPECT_FALSE(Exists(target.Join("KIT"))) << "the accessory file was installed";
    EXPECT_TRUE(ReadBytes(target.Join("PHONETIC.TBL")) == ReadBytes(LzData("text.lz")))
        << "the table is not its compressed bytes";
    EXPECT_TRUE(ReadBytes(target.Join("FONTS\\SKAI.TTE")) == Pattern(3000, 1) + Pattern(2000, 9))
        << "the font does not end with disk 1's copy of SKAI.P2";
    EXPECT_EQ(asked, (std::vector<std::string>{"PHONETIC.TBL", "SKAI.TTE", "SSONG.TTE"}));
    RemoveTestKeys();
}

INSTANTIATE_TEST_SUITE_P(Medium, Agreement, ::testing::Values(kSilent),
                         [](const ::testing::TestParamInfo<Row>&) { return std::string("silent"); });

}  // namespace
