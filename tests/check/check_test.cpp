// The medium checker on the sample medium and on one broken copy of it per
// finding, run in this process through its entry; the real QCHECK.EXE and
// SETUP.EXE on the media where they must agree.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
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
// piece changed (">F" moved to disk 1, "-F" gone, "!F" cut short), the
// arguments ({1}, {2}: the disks' directories), a line of the report that
// starts so (after "QUILL95.INI: " unless it is the checker's own; {W}:
// the Windows directory, {X}: the bytes the sample expands to) and the
// exit code.
struct Row {
    const char* what;
    Edits edits;
    std::string piece;
    std::vector<std::string> args;
    std::string line;
    int exit;
};

const Row kRows[] = {
    {"the sample", {}, "", {}, "qcheck: items 4, pieces 6, disks 2, bytes expanded {X}; errors 0, warnings 0", 0},
    {"disks in order", {}, "", {}, "qcheck: disk \"Disk 2\" is {2} (in order)", 0},
    {"a disk by name", {}, "", {"{1}", "Disk 2={2}"}, "qcheck: disk \"Disk 2\" is {2} (by name)", 0},
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
    {"a cut group", {{"Group=Font Kit", "Group=" + kLong}}, "", {}, "[Misc Files] Viewer Group: warning: the file gets no Program Manager item: group name too long", 1},
    {"a cut key", {{"UserKey=Software\\FontKit\\Phonetic", "UserKey=" + kLong}}, "", {}, "[Tbls Files] Phonetic UserKey: error: is 80 bytes, more than the 71 SETUP.EXE holds: the table is installed, not registered", 2},
    {"a cut piece", {{"SSONG.TTE", std::string(300, 'S')}}, "", {}, "[Font Files] Sample Song File1: error: is 300 bytes, and SETUP.EXE keeps 259: it looks for \"" + std::string(259, 'S') + "\"", 2},
    {"a cut face name", {{"Face", std::string(300, 'F')}}, "", {}, "[Font Files] Sample Song AFontName1: error: is 312 bytes, and SETUP.EXE keeps 259: it links the font as \"Sample Song " + std::string(247, 'F') + "\"", 2},
    {"a cut mode", {{"Mode=1F", "Mode=0x0000001F"}}, "", {}, "[Tbls Files] Phonetic Mode: error: is 10 characters, and SETUP.EXE reads the first 8: it writes 0x0", 2},
    {"a cut directory", {{"DstDir=C:\\FONTKIT", "DstDir=C:\\" + std::string(300, 'D')}}, "", {}, "[Misc Files] Viewer DstDir: error: is 303 bytes, and SETUP.EXE keeps 259: it shows message 12, \"無法建立檔案 C:\\DDD", 2},
    // Program Manager, table keys and destinations.
    {"a group refused", {{"Group=Font Kit", "Group=Font [Kit]"}}, "", {}, "[Misc Files] Viewer Group: warning: the file gets no Program Manager item: group name holds \" [ ] or a control character", 1},
    {"an empty key", {{"UserKey=Software\\FontKit\\Phonetic", "UserKey="}}, "", {}, "[Tbls Files] Phonetic UserKey: error: is empty: the table is installed, not registered", 2},
    {"an empty directory", {{"DstDir=C:\\FONTKIT", "DstDir="}}, "", {}, "[Misc Files] Viewer DstDir: warning: is empty, which counts as missing: the file goes to {W}\\VIEWER.EXE", 1},
    {"a relative directory", {{"DstDir=C:\\FONTKIT", "DstDir=KIT"}}, "", {}, "[Misc Files] Viewer DstDir: warning: \"KIT\" is relative: taken from the Windows directory, the file goes to {W}\\KIT\\VIEWER.EXE", 1},
    {"a path past the record", {{"DstDir=C:\\FONTKIT", "DstDir=C:\\" + std::string(120, 'D')}}, "", {}, "[Misc Files] Viewer DstDir: error: C:\\" + std::string(120, 'D') + "\\VIEWER.EXE passes the 127 characters of the open-file record: " + kNoFile + std::string(120, 'D'), 2},
    {"one file twice", {{"Phonetic Compressed=1", "Phonetic Compressed=1\nPhonetic DstDir=C:\\FONTKIT"}, {"PHONETIC.TBL", "VIEWER.EXE"}}, "", {}, "[Tbls Files] Phonetic File1: error: C:\\FONTKIT\\VIEWER.EXE is written by \"Viewer\" [Misc Files] too: one item overwrites the other", 2},
    {"one font file twice", {{"SSONG.TTE", "SKAI.TTE"}, {"Song Disk1=Disk 2", "Song Disk1=Disk 1"}}, "", {}, "[Font Files] Sample Song File1: error: SKAI.TTE is the file of font \"Sample Kai\" too: in the fonts' directory one overwrites the other", 2},
    // The pieces.
    {"a piece on another disk", {}, ">SKAI.P2", {}, "[Font Files] Sample Kai Disk2: error: SKAI.P2 is not on \"Disk 2\" ({2}); it is on \"Disk 1\"", 2},
    {"a piece on no disk", {}, "-SSONG.TTE", {}, "[Font Files] Sample Song Disk1: error: SSONG.TTE is not on \"Disk 2\" ({2}), nor on any other disk", 2},
    {"a size too small", {{"Kai Size=960", "Kai Size=4"}}, "", {}, "[Font Files] Sample Kai Size: warning: 4 understates the font: its pieces hold 5000 bytes (5 KB), so the free-space check passes too easily", 1},
    {"a piece cut short", {}, "!VIEWER.EXE", {}, "[Misc Files] Viewer Compressed: error: the LZ library can't expand the piece (error -3): " + kLz97, 2},
    {"joined pieces cut short", {}, "!PHONETIC.P2", {}, "[Tbls Files] Phonetic Compressed: error: the LZ library can't expand the joined pieces (error -3): " + kLz97, 2},
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
        for (const auto& edit : row.edits) text = Replace(text, edit.first, edit.second);
        disk1.Describe(text);
        const std::string lz = ReadBytes(LzData("text.lz"));
        disk1.Write("VIEWER.EXE", lz);
        disk1.Write("SKAI.TTE", Pattern(3000, 1));
        disk2.Write("SKAI.P2", Pattern(2000, 2));
        disk2.Write("SSONG.TTE", Pattern(1000, 3));
        disk2.Write("PHONETIC.TBL", lz.substr(0, lz.size() / 2));
        disk2.Write("PHONETIC.P2", lz.substr(lz.size() / 2));
        const std::string file = row.piece.empty() ? "" : row.piece.substr(1);
        const std::string from = Exists(disk1.Join(file)) ? disk1.Join(file) : disk2.Join(file);
        if (row.piece[0] == '>') MoveFileA(from.c_str(), disk1.Join(file).c_str());
        if (row.piece[0] == '-') DeleteFileA(from.c_str());
        if (row.piece[0] == '!') WriteBytes(from, ReadBytes(from).substr(0, 100));
    }

    std::string Fill(std::string text) const {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        text = Replace(Replace(text, "{1}", disk1.Path()), "{2}", disk2.Path());
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

    // RunCheck with standard output in a file: its lines, and the exit code.
    std::vector<std::string> Check(int* exit) {
        TempDir out;
        const std::string path = out.Join("out.txt");
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, file);
        std::vector<std::string> args = Args();
        std::vector<char*> argv = {const_cast<char*>("QCHECK.EXE")};
        for (std::string& a : args) argv.push_back(&a[0]);
        *exit = RunCheck(static_cast<int>(argv.size()), argv.data());
        SetStdHandle(STD_OUTPUT_HANDLE, saved);
        CloseHandle(file);
        std::vector<std::string> lines;
        std::istringstream text(ReadBytes(path));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    Medium disk1;
    TempDir disk2;
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
    } else {
        qdriver::Click(WaitMainDialog(setup), 2);
    }
    EXPECT_EQ(setup.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, Programs, ::testing::Values(kRows[0], kRows[5]),
                         [](const ::testing::TestParamInfo<Row>& p) {
                             return p.index == 0 ? "clean" : "refused";
                         });

}  // namespace
