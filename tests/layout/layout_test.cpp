// The layout program whole: layouts it refuses, each with its key and
// nothing written; mutated layouts, none of which writes outside its output
// directory; and a medium of several disks that SETUP.EXE installs from,
// asking for each disk once.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "layout/layout.h"
#include "support/e2e.h"

namespace {

using Edits = std::vector<std::pair<std::string, std::string>>;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// SETUP.EXE, QCHECK.EXE and QLAYOUT.EXE lie side by side in the build.
std::string ProgramDir() {
    const std::string exe = WinePath(QLAYOUT_EXE_UNIX);
    return exe.substr(0, exe.rfind('\\'));
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += Utf8(line) + "\n";
    return all;
}

// Sources of the test's making and a small layout of them over two disks
// (each holds SETUP.EXE and 3000 bytes); the program run in this process,
// each run with a layout file and an output directory of its own.
class Layouts : public ::testing::Test {
protected:
    void SetUp() override {
        src.Write("README.TXT", Ansi("Quill 範例磁片說明\r\n") + std::string(2000, 'r'));
        src.Write("PHONETIC.TBL", std::string(3000, 'p'));
        src.Write("KAI.TTE", Pattern(2500, 1));
        src.Write("SONG.TTE", Pattern(900, 2));
        base = Replace(base, "{size}", std::to_string(ReadBytes(ProgramDir() + "\\SETUP.EXE").size() + 3000));
    }

    // The program on a layout (written in the code page, CR LF): its exit
    // code, its lines, its output directory.
    int Lay(const std::string& layout, std::vector<std::string>* lines, std::string* out) {
        const std::string name = "L" + std::to_string(++runs_) + ".INI";
        WriteBytes(src.Join(name), Ansi(Dos(layout).c_str()), true);
        *out = outs.Join("OUT" + std::to_string(runs_));
        std::vector<std::string> args = {"QLAYOUT.EXE", src.Join(name), *out};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        int exit = -1;
        *lines = StandardOutputOf([&] { exit = RunLayout(3, argv.data(), ProgramDir().c_str()); });
        return exit;
    }

    TempDir src, outs;
    std::string base =
        "[Medium]\nDiskSize={size}\n"
        "[Misc]\nItems=1\nItem1=Readme\n"
        "[Misc Files]\nReadme Source=README.TXT\nReadme DstDir=C:\\FONTKIT\nReadme Compressed=1\n"
        "Readme Group=\"  Font Kit  \"\n"
        "[Fonts]\nFonts=2\nFont1=Kai\nFont2=Song\n"
        "[Font Files]\nKai Source=KAI.TTE\nKai FontName=Base (TrueType)\nKai AFiles=1\nKai AFontName1=Kai Face\n"
        "Song Source=SONG.TTE\nSong FontName=Base (TrueType)\nSong AFiles=1\nSong AFontName1=Song Face\n"
        "[Tbls]\nTbls=1\nTbl1=Phonetic\n"
        "[Tbls Files]\nPhonetic Source=PHONETIC.TBL\nPhonetic Compressed=1\nPhonetic Mode=1F\n"
        "Phonetic UserKey=Software\\QuillTest\\Phonetic\n";

private:
    int runs_ = 0;
};

// The sample is laid out and checked clean; what it refuses, it refuses at
// the key, and nothing is left of its output directory.
TEST_F(Layouts, RefusedAtTheKeyWithNothingWritten) {
    std::vector<std::string> lines;
    std::string out;
    ASSERT_EQ(Lay(base, &lines, &out), 0) << Joined(lines);
    EXPECT_EQ(ListDir(out), (std::vector<std::string>{"DISK1", "DISK2"})) << Joined(lines);
    const std::string all = Joined(lines);
    for (const char* said : {"errors 0, warnings 0", "DISK2, \"Disk 2\":", "  KAI.002 "})
        EXPECT_NE(all.find(said), std::string::npos) << said << "\nnot in\n" << all;
    // The same layout and sources give the same bytes in every file.
    const std::string first = out;
    ASSERT_EQ(Lay(base, &lines, &out), 0) << Joined(lines);
    for (const std::string& disk : ListDir(first))
        for (const std::string& file : ListDir(first + "\\" + disk))
            EXPECT_TRUE(ReadBytes(first + "\\" + disk + "\\" + file) == ReadBytes(out + "\\" + disk + "\\" + file))
                << disk << "\\" << file;
    // A value's blanks at either end survive the description.
    char group[32] = "";
    GetPrivateProfileStringA("Misc Files", "Readme Group", "", group, sizeof group,
                             (out + "\\DISK1\\QUILL95.INI").c_str());
    EXPECT_STREQ(group, "  Font Kit  ");
    // A medium of more disks than the checker once took arguments for.
    const std::string big = std::to_string(ReadBytes(ProgramDir() + "\\SETUP.EXE").size() + 3000);
    const std::string bigger = std::to_string(std::stoul(big) + 7000);
    src.Write("KAI.TTE", Pattern(6000000, 1));
    ASSERT_EQ(Lay(Replace(base, "DiskSize=" + big, "DiskSize=" + bigger), &lines, &out), 0) << Joined(lines);
    EXPECT_GT(ListDir(out).size(), 65u) << Joined(lines);
    src.Write("KAI.TTE", Pattern(2500, 1));

    const struct {
        const char* what;
        Edits edits;
        std::string line;
    } rows[] = {
        {"no disk size", {{"DiskSize=" + big, ""}}, "[Medium] DiskSize: error: missing"},
        {"an unknown size", {{"DiskSize=" + big, "DiskSize=2M"}}, "[Medium] DiskSize: error: 2M: it must be"},
        {"no room for SETUP.EXE", {{"DiskSize=" + big, "DiskSize=5000"}}, "[Medium] DiskSize: error: disk 1 can't hold SETUP.EXE"},
        {"one label for all disks", {{"[Medium]", "[Medium]\nLabel=Disk"}}, "[Medium] Label: error: \"Disk\" has no %d"},
        {"a label the checker can't be given", {{"[Medium]", "[Medium]\nLabel=A=%d"}}, "[Medium] Label: error: \"A=%d\" holds ="},
        {"a source not there", {{"=README.TXT", "=NOPE.TXT"}}, "[Misc Files] Readme Source: error: \"NOPE.TXT\" can't be read"},
        {"too many items", {{"Items=1", "Items=41"}}, "[Misc] Items: error: is 41: it must be 0 to 40"},
        {"a count not a number", {{"Tbls=1", "Tbls=one"}}, "[Tbls] Tbls: error: \"one\" is not a number"},
        {"a name past 71 bytes", {{"Item1=Readme", "Item1=" + std::string(72, 'R')}}, "[Misc] Item1: error: is 72 bytes, and SETUP.EXE keeps 71"},
        {"a name that can't be a key", {{"Font2=Song", "Font2=So=ng"}}, "[Fonts] Font2: error: \"So=ng\" can't be written as a key"},
        {"one name twice", {{"Font2=Song", "Font2=KAI"}}, "[Fonts] Font2: error: \"KAI\" is the name of Font1 too"},
        {"one file twice", {{"=SONG.TTE", "=KAI.TTE"}}, "[Font Files] Song Source: error: its name, KAI.TTE, is Kai too"},
        {"no base font", {{"Kai FontName=Base (TrueType)\n", ""}}, "[Font Files] Kai FontName: error: missing: the description needs it"},
        {"no face name", {{"Kai AFontName1=Kai Face", "Kai AFontName1="}}, "[Font Files] Kai AFontName1: error: empty"},
        {"a mode past its digits", {{"Mode=1F", "Mode=1G"}}, "[Tbls Files] Phonetic Mode: error: \"1G\" is not hexadecimal"},
        {"a flag not a number", {{"Phonetic Compressed=1", "Phonetic Compressed=yes"}}, "[Tbls Files] Phonetic Compressed: error: \"yes\" is not a number"},
        {"past 120 pieces", {{"=KAI.TTE", "=HUGE.TTE"}}, "[Font Files] Kai Source: error: HUGE.TTE takes the medium past the 120 pieces"},
    };
    src.Write("HUGE.TTE", std::string(9500000, 'h'));
    for (const auto& r : rows) {
        std::string layout = base;
        for (const auto& edit : r.edits) layout = Replace(layout, edit.first, edit.second);
        EXPECT_EQ(Lay(layout, &lines, &out), 2) << r.what;
        const std::string said = Joined(lines);
        EXPECT_NE(said.find(r.line), std::string::npos) << r.what << ": wanted " << r.line << "\ngot\n" << said;
        EXPECT_FALSE(Exists(out)) << r.what << ": something was left";
    }

    // An empty directory of the user's stays when the layout is refused,
    // also after a run that made its own; one too long for the medium's
    // paths is refused.
    const std::string empty = outs.Join("EMPTY");
    CreateDirectoryA(empty.c_str(), nullptr);
    std::vector<std::string> refused = {"QLAYOUT.EXE", WriteBytes(src.Join("NOSIZE.INI"), "[Misc]\r\n", true), empty};
    std::vector<char*> refusedArgv = {&refused[0][0], &refused[1][0], &refused[2][0]};
    EXPECT_EQ(RunLayout(3, refusedArgv.data(), ProgramDir().c_str()), 2);
    EXPECT_TRUE(Exists(empty));
    refused[1] = src.Join("L1.INI");
    refused[2] = outs.Join(std::string(240 - outs.Path().size(), 'O'));
    refusedArgv = {&refused[0][0], &refused[1][0], &refused[2][0]};
    lines = StandardOutputOf([&] { EXPECT_EQ(RunLayout(3, refusedArgv.data(), ProgramDir().c_str()), 2); });
    EXPECT_NE(Joined(lines).find("is too long a directory"), std::string::npos) << Joined(lines);
    EXPECT_FALSE(Exists(refused[2]));

    // A drive that fills while the medium is written: all of it goes again.
    if (const char* small = getenv("QSETUP_SMALL_DRIVE")) {
        src.Write("KAI.TTE", Pattern(300000, 1));
        refused[2] = std::string(small) + "\\LAYOUT";
        refusedArgv = {&refused[0][0], &refused[1][0], &refused[2][0]};
        lines = StandardOutputOf([&] { EXPECT_EQ(RunLayout(3, refusedArgv.data(), ProgramDir().c_str()), 2); });
        EXPECT_NE(Joined(lines).find("can't be written whole"), std::string::npos) << Joined(lines);
        EXPECT_FALSE(Exists(refused[2]));
        src.Write("KAI.TTE", Pattern(2500, 1));
    }

    // An output directory that holds anything is not written into.
    const std::string full = outs.Join("FULL");
    CreateDirectoryA(full.c_str(), nullptr);
    WriteBytes(full + "\\MINE.TXT", "the user's");
    std::vector<std::string> args = {"QLAYOUT.EXE", src.Join("L1.INI"), full};
    std::vector<char*> argv = {&args[0][0], &args[1][0], &args[2][0]};
    int exit = -1;
    lines = StandardOutputOf([&] { exit = RunLayout(3, argv.data(), ProgramDir().c_str()); });
    EXPECT_EQ(exit, 2);
    EXPECT_NE(Joined(lines).find("is there and not an empty directory"), std::string::npos) << Joined(lines);
    EXPECT_EQ(ListDir(full), std::vector<std::string>{"MINE.TXT"});
}

// Layouts with a line gone, doubled or given another value: none crashes,
// each refusal names a key, nothing is written outside the output
// directory, and a refused layout leaves nothing there.
TEST_F(Layouts, MutatedLayoutsStayInTheirDirectory) {
    const std::vector<std::string> values = {"", "0", "-1", "41", "121", "1G", "x", std::string(300, 'V'),
                                             "..\\KAI.TTE", "C:\\", "%d%s%n", "CD", "1", "99999999999",
                                             "\"quoted\"", "許功"};
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = base.find('\n'); at != std::string::npos; at = base.find('\n', start = at + 1))
        lines.push_back(base.substr(start, at - start));
    const auto before = std::make_pair(ListDir(src.Path()), ReadBytes(src.Join("KAI.TTE")));
    std::mt19937 random(1997);
    for (int run = 0; run < 40; ++run) {
        std::vector<std::string> mutated = lines;
        for (int m = 0; m < 3; ++m) {
            const size_t i = random() % mutated.size();
            const size_t equals = mutated[i].find('=');
            switch (random() % 3) {
                case 0: mutated.erase(mutated.begin() + static_cast<long>(i)); break;
                case 1: mutated.insert(mutated.begin() + static_cast<long>(i), mutated[i]); break;
                default:
                    if (equals != std::string::npos)
                        mutated[i] = mutated[i].substr(0, equals + 1) + values[random() % values.size()];
            }
        }
        std::string layout;
        for (const std::string& line : mutated) layout += line + "\n";
        std::vector<std::string> said;
        std::string out;
        const int exit = Lay(layout, &said, &out);

        const std::string all = Joined(said);
        ASSERT_TRUE(exit == 0 || exit == 2) << run << ": exit " << exit << "\n" << layout;
        if (exit == 2) {
            EXPECT_FALSE(Exists(out)) << run << ": something was left\n" << all;
            const bool named = std::any_of(said.begin(), said.end(), [](const std::string& line) {
                return line.find("] ") != std::string::npos && line.find(": error: ") != std::string::npos;
            });
            EXPECT_TRUE(named) << run << ": no key named\n" << layout << all;
        }
    }
    std::vector<std::string> expected;
    for (int run = 1; run <= 40; ++run) expected.push_back("L" + std::to_string(run) + ".INI");
    std::vector<std::string> now = ListDir(src.Path());
    now.erase(std::remove_if(now.begin(), now.end(), [](const std::string& n) { return n[0] == 'L'; }), now.end());
    EXPECT_EQ(std::make_pair(now, ReadBytes(src.Join("KAI.TTE"))),
              std::make_pair(std::vector<std::string>{"KAI.TTE", "PHONETIC.TBL", "README.TXT", "SONG.TTE"},
                             before.second));
    for (const std::string& name : ListDir(outs.Path()))
        EXPECT_EQ(name.compare(0, 3, "OUT"), 0) << name << " was written beside the output directories";
}

// A medium of several megabytes on 1.44M floppies, laid out by QLAYOUT.EXE
// and installed whole by SETUP.EXE: each disk asked for once, in turn, and
// every file the same as its source.
class LaidOut : public SetupRun {};

TEST_F(LaidOut, SetupInstallsEveryFileAskingForEachDiskOnce) {
    std::mt19937 random(7);
    const auto bytes = [&](size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(random());
        return s;
    };
    std::string text;
    for (int line = 0; text.size() < 1500000; ++line)
        text += "Quill " + std::to_string(line * 7919 % 10007) + " kai song table setup\r\n";
    TempDir src, out;
    src.Write("README.TXT", text);
    src.Write("PHONETIC.TBL", text.substr(0, 400000));
    src.Write("KAI.TTE", bytes(2600000));
    src.Write("SONG.TTE", bytes(700000));
    const std::string layout =
        "[Medium]\nDiskSize=1.44M\n[Misc]\nItems=1\nItem1=Readme\n"
        "[Misc Files]\nReadme Source=README.TXT\nReadme DstDir=" + kit + "\nReadme Compressed=1\n"
        "[Fonts]\nFonts=2\nFont1=Kai\nFont2=Song\n[Font Files]\n"
        "Kai Source=KAI.TTE\nKai FontName=" + kBaseFont + "\nKai AFiles=1\nKai AFontName1=Kai Face\n"
        "Song Source=SONG.TTE\nSong FontName=" + kBaseFont + "\nSong AFiles=1\nSong AFontName1=Song Face\n"
        "[Tbls]\nTbls=1\nTbl1=Phonetic\n[Tbls Files]\nPhonetic Source=PHONETIC.TBL\nPhonetic DstDir=" + tables +
        "\nPhonetic Compressed=1\nPhonetic UserKey=Software\\QuillTest\\Phonetic\n";
    WriteBytes(src.Join("LAYOUT.INI"), Dos(layout), true);
    const std::string medium = out.Join("MEDIUM");
    qdriver::Process lay(WinePath(QLAYOUT_EXE_UNIX), "\"" + src.Join("LAYOUT.INI") + "\" \"" + medium + "\"", src.Path());
    ASSERT_EQ(lay.WaitExit(), 0u) << lay.Output();
    EXPECT_NE(lay.Output().find("errors 0, warnings 0"), std::string::npos) << lay.Output();
    const std::vector<std::string> disks = ListDir(medium);
    ASSERT_GE(disks.size(), 3u) << lay.Output();

    qdriver::Process setup(medium + "\\DISK1\\SETUP.EXE", "", medium + "\\DISK1");
    HWND dialog = StartInstall(setup, {0, 1}, fonts);
    ExpectBox(setup, "建立一個新的目錄 ？", nullptr);
    // Each prompt answered with the disk that holds the piece it names.
    std::vector<int> asked;
    HWND prompt = nullptr;
    while (!WaitBoxOrPrompt(setup, &prompt)) {
        const std::string piece = PromptedPiece(qdriver::Text(prompt, IDC_PROMPT_TEXT));
        int disk = 0;
        for (size_t d = 1; d <= disks.size() && disk == 0; ++d)
            if (Exists(medium + "\\DISK" + std::to_string(d) + "\\" + piece)) disk = static_cast<int>(d);
        asked.push_back(disk);
        qdriver::SetText(prompt, IDC_PROMPT_DIR, medium + "\\DISK" + std::to_string(disk));
        qdriver::Click(prompt, IDOK);
        setup.WaitGone(prompt);
    }
    ExpectBox(setup, kDone);
    ExpectExit(setup, dialog);
    std::vector<int> each;
    for (size_t d = 2; d <= disks.size(); ++d) each.push_back(static_cast<int>(d));
    EXPECT_EQ(asked, each);
    for (const auto& installed : {std::make_pair(kit + "\\README.TXT", "README.TXT"),
                                  std::make_pair(tables + "\\PHONETIC.TBL", "PHONETIC.TBL"),
                                  std::make_pair(fonts + "\\KAI.TTE", "KAI.TTE"),
                                  std::make_pair(fonts + "\\SONG.TTE", "SONG.TTE")})
        EXPECT_TRUE(ReadBytes(installed.first) == ReadBytes(src.Join(installed.second))) << installed.first;
}

}  // namespace
