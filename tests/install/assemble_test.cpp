// Building destination files from pieces: plain concatenation, direct
// expansion, concatenation then expansion, on real LZ data.
#include "fixture.h"

#include <lzexpand.h>

#include <algorithm>

#include "install/assemble.h"
#include "install/lzfile.h"
#include "common/proc.h"

namespace {

class Assembly : public Engine {
protected:
    void SetUp() override {
        Engine::SetUp();
        tempBefore_ = TempFiles();
    }
    void TearDown() override {
        EXPECT_EQ(TempFiles(), tempBefore_) << "a temporary file was left behind";
        Engine::TearDown();
    }

    int Assemble(int first, int files, int compressed, int trace = 0) {
        return AssembleFile(nullptr, out.Path().c_str(), files, first, compressed, trace, &result);
    }
    std::string Output(const std::string& name) const { return ReadBytes(out.Join(name)); }
    std::vector<std::string> OutFiles() const { return ListDir(out.Path()); }

    // Splits bytes into n nearly equal pieces on disk1, from index first.
    int Split(const std::string& bytes, int n, const std::string& firstName) {
        int first = -1;
        const size_t step = bytes.size() / static_cast<size_t>(n);
        for (int k = 0; k < n; ++k) {
            const size_t from = step * static_cast<size_t>(k);
            const size_t len = k == n - 1 ? bytes.size() - from : step;
            const std::string name = k == 0 ? firstName : "PART" + std::to_string(k + 1);
            const int i = Piece(name, "Disk 1", &disk1, bytes.substr(from, len));
            if (first < 0) first = i;
        }
        return first;
    }

    TempDir out;
    AssembledFile result{};

private:
    std::vector<std::string> tempBefore_;
};

const std::string kCopying = Ansi("複製檔案 ");
const std::string kProcessing = Ansi("字型檔處理中...");

// Pieces of a chunk, none, a chunk and a byte, and past three chunks.
TEST_F(Assembly, PlainConcatenation) {
    const std::string a = Pattern(kCopyChunk, 1), c = Pattern(kCopyChunk + 1, 3), d = Pattern(3 * kCopyChunk + 17, 4);
    const int first = Piece("FONT.TTE", "Disk 1", &disk1, a);
    Piece("FONT.P2", "Disk 1", &disk1, "");
    Piece("FONT.P3", "Disk 1", &disk1, c);
    Piece("FONT.P4", "Disk 1", &disk1, d);
    CapturedStdout trace;
    ASSERT_EQ(Assemble(first, 4, 0), 1);
    EXPECT_EQ(trace.Read(), "") << "no trace with the switch off";
    EXPECT_TRUE(Output("FONT.TTE") == a + c + d);
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"FONT.TTE"});
    EXPECT_EQ(std::string(result.Path), out.Join("FONT.TTE"));
    EXPECT_EQ(std::string(result.QualifiedPath), out.Join("FONT.TTE"));
    EXPECT_EQ(status.Texts, (std::vector<std::string>{kCopying + "FONT.TTE ...", "", kCopying + "FONT.P2 ...", "",
                                                      kCopying + "FONT.P3 ...", "", kCopying + "FONT.P4 ...", ""}));
}

// One piece is expanded directly; several are joined, then expanded, under
// a status text that stays until the next; plain data comes out unchanged.
TEST_F(Assembly, CompressedItems) {
    const struct {
        const char* data;
        int pieces;
        const char* expanded;
    } rows[] = {{"text.lz", 1, "text.bin"},   {"random.lz", 1, "random.bin"}, {"text.lz", 2, "text.bin"},
                {"text.lz", 3, "text.bin"},   {"random.lz", 3, "random.bin"}, {"random.bin", 1, "random.bin"},
                {"random.bin", 2, "random.bin"}};
    for (const auto& r : rows) {
        const std::string name = "T" + std::to_string(r.pieces) + r.data;
        status.Texts.clear();
        ASSERT_EQ(Assemble(Split(ReadBytes(LzData(r.data)), r.pieces, name), r.pieces, 1), 1) << name;
        EXPECT_TRUE(Output(name) == ReadBytes(LzData(r.expanded))) << name;
        EXPECT_EQ(std::count(status.Texts.begin(), status.Texts.end(), kProcessing), r.pieces > 1 ? 1 : 0) << name;
        EXPECT_EQ(status.Current(), r.pieces > 1 ? kProcessing : "") << name;
    }
    EXPECT_EQ(OutFiles().size(), std::size(rows));
}

TEST_F(Assembly, TraceLinesOfAnExpandedItem) {
    const int first = Split(ReadBytes(LzData("text.lz")), 2, "VIEWER.EXE");
    CapturedStdout trace;
    ASSERT_EQ(Assemble(first, 2, 1, 1), 1);
    const std::string lines = trace.Read();
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    const std::string head = "Dest " + out.Join("VIEWER.EXE") + "\n\tTemp File \"" + tempDir + "tmp";
    EXPECT_EQ(lines.substr(0, head.size()), head) << lines;
    EXPECT_NE(lines.find(".tmp\" created\n\tTemp File deleted\n"), std::string::npos) << lines;
}

TEST_F(Assembly, TraceLinesOfAFailedItem) {
    const int first = Split(ReadBytes(LzData("text.lz")), 2, "VIEWER.EXE");
    CopyText(SetupInfo.Pieces.File[first + 1], "GONE.P2");
    script.Then(Press(IDCANCEL));
    CapturedStdout trace;
    ASSERT_EQ(Assemble(first, 2, 1, 1), 0);
    const std::string lines = trace.Read();
    EXPECT_NE(lines.find(".tmp\" created\n\tTemp File deleted on error\n\tFile deleted on error\n"),
              std::string::npos)
        << lines;

    // Plain pieces: no temporary file, so only the destination is named.
    const int plain = Piece("PLAIN.EXE", "Disk 1", nullptr);
    script.Then(Press(IDCANCEL));
    CapturedStdout trace2;
    ASSERT_EQ(Assemble(plain, 1, 0, 1), 0);
    EXPECT_EQ(trace2.Read(), "Dest " + out.Join("PLAIN.EXE") + "\n\tFile deleted on error\n");
}

// The temporary directory can't take a file: message 13 names where the
// file was to be, and the destination is gone again.
TEST_F(Assembly, TemporaryFileThatCannotBeMade) {
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", saved, MAX_PATH);
    const std::string nowhere = out.Join("no-such-dir") + "\\";
    SetEnvironmentVariableA("TMP", nowhere.c_str());
    const int first = Split(ReadBytes(LzData("text.lz")), 2, "T.TBL");
    script.Then(Box(Ansi("無法建立暫存檔 ") + nowhere + " !"));
    const int ok = Assemble(first, 2, 1);
    SetEnvironmentVariableA("TMP", saved[0] ? saved : nullptr);
    EXPECT_EQ(ok, 0);
    EXPECT_TRUE(OutFiles().empty());
}

TEST_F(Assembly, OneNewDirectoryLevelIsMadeTwoAreNot) {
    const int first = Piece("F.TTE", "Disk 1", &disk1, "font");
    const std::string one = out.Join("NEW");
    ASSERT_EQ(AssembleFile(nullptr, one.c_str(), 1, first, 0, 0, &result), 1);
    EXPECT_EQ(ReadBytes(one + "\\F.TTE"), "font");

    const std::string two = out.Join("A\\B");
    script.Then(Box(Ansi("無法建立檔案 ") + two + "\\F.TTE !"));
    EXPECT_EQ(AssembleFile(nullptr, two.c_str(), 1, first, 0, 0, &result), 0);
    EXPECT_FALSE(Exists(out.Join("A")));
}

TEST_F(Assembly, CancelAtTheSecondOfThreePiecesLeavesNothing) {
    const int first = Piece("F.TTE", "Disk 1", &disk1, Pattern(100, 1));
    Piece("F.P2", "Disk 2", nullptr);
    Piece("F.P3", "Disk 1", &disk1, Pattern(100, 3));
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(Assemble(first, 3, 0), 0);
    EXPECT_TRUE(OutFiles().empty());
    EXPECT_EQ(script.Seen(), 1) << "no message besides the prompt";
    EXPECT_EQ(status.Current(), "");
}

// A file that was there before stays exactly as it was when the item
// fails, in every mode, and is replaced when it succeeds.
TEST_F(Assembly, ExistingFileSurvivesAFailureAndIsReplacedOnSuccess) {
    const std::string lz = ReadBytes(LzData("text.lz"));
    struct Case {
        const char* name;
        int files;
        int compressed;
    } cases[] = {{"PLAIN.TTE", 3, 0}, {"DIRECT.TBL", 1, 1}, {"JOINED.TBL", 3, 1}};
    for (const Case& c : cases) {
        out.Write(c.name, "the old file");
        // The last piece is missing and the prompt is cancelled.
        int first = Split(lz.substr(0, 3000), c.files, c.name);
        CopyText(SetupInfo.Pieces.File[first + c.files - 1], "MISSING.P");
        script.Then(Press(IDCANCEL));
        EXPECT_EQ(Assemble(first, c.files, c.compressed), 0) << c.name;
        EXPECT_EQ(Output(c.name), "the old file") << c.name;
        EXPECT_EQ(OutFiles(), std::vector<std::string>{c.name}) << "work file left";

        first = Split(c.compressed ? lz : Pattern(3000, 9), c.files, c.name);
        ASSERT_EQ(Assemble(first, c.files, c.compressed), 1) << c.name;
        EXPECT_EQ(Output(c.name), c.compressed ? ReadBytes(LzData("text.bin")) : Pattern(3000, 9));
        DeleteFileA(out.Join(c.name).c_str());
    }
}

// Windows 9x, where MoveFileExA is a stub: the old file is deleted and the
// work file renamed; an old file that another program holds meanwhile
// can't be deleted and stays as it was.
TEST_F(Assembly, WithoutMoveFileExTheOldFileIsDeletedThenReplaced) {
    struct Seam {
        RunTimeCalls saved = RunTime();
        Seam() { RunTime().MoveFileReplacing = nullptr; }
        ~Seam() { RunTime() = saved; }
    } seam;
    const std::string dest = out.Write("F.TTE", "old");
    int first = Piece("F.TTE", "Disk 1", &disk1, "new");
    ASSERT_EQ(Assemble(first, 1, 0), 1);
    EXPECT_EQ(ReadBytes(dest), "new");
    DeleteFileA(dest.c_str());
    ASSERT_EQ(Assemble(first, 1, 0), 1);
    EXPECT_EQ(ReadBytes(dest), "new");
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"F.TTE"});

    // Held open from the disk prompt on, after the destination was found free.
    WriteBytes(dest, "old");
    first = Piece("F.TTE", "Disk 2", nullptr);
    disk2.Write("F.TTE", "newer");
    HANDLE held = INVALID_HANDLE_VALUE;
    script
        .Then([&](HWND prompt) {
            held = CreateFileA(dest.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            DialogScript::SetText(prompt, IDC_PROMPT_DIR, disk2.Path());
            DialogScript::Press(prompt, IDOK);
        })
        .Then([&](HWND box) {
            EXPECT_EQ(DialogScript::BoxText(box), Ansi("無法建立檔案 ") + dest + " !");
            DialogScript::Press(box, IDOK);
        });
    DeleteFileA(disk1.Join("F.TTE").c_str());  // not in SourceDir: the prompt comes
    EXPECT_EQ(Assemble(first, 1, 0), 0);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(dest), "old");
    EXPECT_EQ(OutFiles(), std::vector<std::string>{"F.TTE"});
}

// The open-file record holds 127 characters: a longer destination is
// refused as a whole, never cut into another file's name.
TEST_F(Assembly, DestinationLongerThanTheOpenFileRecordIsRefused) {
    const int first = Piece("F.TTE", "Disk 1", &disk1, "font");
    std::string dir = out.Path() + "\\";
    dir += std::string(127 - 6 - dir.size(), 'D');  // dir + "\\F.TTE" is 127
    ASSERT_EQ(AssembleFile(nullptr, dir.c_str(), 1, first, 0, 0, &result), 1);
    EXPECT_EQ(std::string(result.QualifiedPath), dir + "\\F.TTE");

    const std::string longer = dir + "E";
    script.Then(Box(Ansi("無法建立檔案 ") + longer + "\\F.TTE !"));
    EXPECT_EQ(AssembleFile(nullptr, longer.c_str(), 1, first, 0, 0, &result), 0);
    EXPECT_FALSE(Exists(longer)) << "the directory it made goes again";
}

// The LZ library's own open goes through the open-file record: a compressed
// piece whose path is longer still expands, and joined with the others too.
TEST_F(Assembly, CompressedPiecesInADeepSourceDirectory) {
    std::string deep = disk2.Path() + "\\";
    deep += std::string(200 - deep.size(), 'S');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    CopyText(SetupInfo.SourceDir, deep.c_str());
    const std::string lz = ReadBytes(LzData("text.lz"));
    const std::string text = ReadBytes(LzData("text.bin"));
    const int single = Piece("TEXT.TBL", "Disk 1", nullptr);
    WriteBytes(deep + "\\TEXT.TBL", lz);
    ASSERT_EQ(Assemble(single, 1, 1), 1);
    EXPECT_TRUE(Output("TEXT.TBL") == text);

    const int first = Piece("JOINED.TBL", "Disk 1", nullptr);
    Piece("JOINED.P2", "Disk 1", nullptr);
    WriteBytes(deep + "\\JOINED.TBL", lz.substr(0, 100));
    WriteBytes(deep + "\\JOINED.P2", lz.substr(100));
    ASSERT_EQ(Assemble(first, 2, 1), 1);
    EXPECT_TRUE(Output("JOINED.TBL") == text);

    // Not compressed at all: the library hands the plain file back.
    const int plain = Piece("PLAIN.TBL", "Disk 1", nullptr);
    WriteBytes(deep + "\\PLAIN.TBL", text);
    ASSERT_EQ(Assemble(plain, 1, 1), 1);
    EXPECT_TRUE(Output("PLAIN.TBL") == text);
    RemoveTree(deep);
}

// Cut to 259 characters, SourceDir + "\ABCDEFGHIJ.TTE" would name the file
// ABCDEFGH beside it: the piece is not found there, and the disk is asked for.
TEST_F(Assembly, SourcePathThatDoesNotFitIsNotTried) {
    std::string dir = disk2.Path() + "\\";
    dir += std::string(250 - dir.size(), 'S');
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_EQ((dir + "\\ABCDEFGH").size(), 259u);
    WriteBytes(dir + "\\ABCDEFGH", "wrong file");
    CopyText(SetupInfo.SourceDir, dir.c_str());
    for (int compressed : {0, 1}) {
        const int first = Piece("ABCDEFGHIJ.TTE", "Disk 9", nullptr);
        script.Then(Press(IDCANCEL));
        EXPECT_EQ(Assemble(first, 1, compressed), 0);
        EXPECT_TRUE(OutFiles().empty());
    }
    RemoveTree(dir);
}

// The library calls these a success: an unknown compression copies as
// nothing, data cut short expands as far as it goes.
TEST_F(Assembly, CompressedDataThatDoesNotExpandWholeIsReported) {
    const std::string lz = ReadBytes(LzData("text.lz"));
    std::string unknown = lz;
    unknown[8] = 'B';  // the compression type
    const std::string invalid = Ansi("原始檔案格式不合法。");
    const std::string cannotHandle = Ansi("字型檔案碰到無法處理之狀況。");
    for (const std::string& data : {unknown, lz.substr(0, lz.size() / 2)}) {
        for (int files : {1, 2}) {
            const int first = Split(data, files, "ODD.TBL");
            // Joined pieces go through the library's LZInit, which names an
            // unknown compression; a single piece opened by LZOpenFileA
            // shows only that it did not expand whole.
            const std::string expected = files == 2 && data == unknown ? cannotHandle : invalid;
            script.Then(Box(expected));
            EXPECT_EQ(Assemble(first, files, 1), 0) << files;
            EXPECT_TRUE(OutFiles().empty());
        }
    }
}

// A sysfs file says 4096 bytes and gives fewer: a real short read.
TEST_F(Assembly, ShortReadIsAReadError) {
    const char* dir = "Z:\\sys\\kernel\\mm\\transparent_hugepage";
    if (!Exists(std::string(dir) + "\\enabled")) GTEST_SKIP() << "no sysfs file to read short";
    CopyText(SetupInfo.SourceDir, dir);
    const int first = Piece("enabled", "Disk 1", nullptr);
    script.Then(Box(Ansi("檔案讀取錯誤 !")));
    EXPECT_EQ(Assemble(first, 1, 0), 0);
    EXPECT_TRUE(OutFiles().empty());
}

// Takes all the address space and heap the process can get, and gives it
// back when it goes: the copy buffer can't be had meanwhile.
class MemoryHog {
public:
    MemoryHog() {
        regions_.reserve(1 << 16);
        blocks_.reserve(1 << 20);
        for (SIZE_T size = SIZE_T(256) << 20; size >= 0x10000; size /= 2)
            while (regions_.size() < regions_.capacity())
                if (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
                    regions_.push_back(p);
                else
                    break;
        for (SIZE_T size = 0x10000; size >= 16; size /= 2)
            while (blocks_.size() < blocks_.capacity())
                if (void* p = HeapAlloc(GetProcessHeap(), 0, size))
                    blocks_.push_back(p);
                else
                    break;
    }
    ~MemoryHog() {
        for (void* p : blocks_) HeapFree(GetProcessHeap(), 0, p);
        for (void* p : regions_) VirtualFree(p, 0, MEM_RELEASE);
    }
    MemoryHog(const MemoryHog&) = delete;
    MemoryHog& operator=(const MemoryHog&) = delete;

private:
    std::vector<void*> regions_, blocks_;
};

// The one buffer can't be had: message 4, and nothing is written.
TEST_F(Assembly, NoMemoryForTheCopyBuffer) {
    const std::string source = disk1.Write("SRC.BIN", "some bytes");
    const std::string output = out.Path() + "\\OUT.BIN";
    const HFILE in = _lopen(source.c_str(), OF_READ);
    const HFILE to = _lcreat(output.c_str(), 0);
    ASSERT_NE(in, HFILE_ERROR);
    ASSERT_NE(to, HFILE_ERROR);
    int code = -1;
    {
        MemoryHog hog;
        code = CopyFileData(to, in);
    }
    _lclose(in);
    _lclose(to);
    EXPECT_EQ(code, IDS_NO_MEMORY);
    EXPECT_EQ(ReadBytes(output), "");
}

// A length that can't be had (an invalid handle) or that passes 2 GiB (a
// sparse file) is a read error, with nothing copied.
TEST_F(Assembly, LengthThatCannotBeReadIsAReadError) {
    const std::string output = out.Path() + "\\OUT.BIN";
    const HFILE to = _lcreat(output.c_str(), 0);
    ASSERT_NE(to, HFILE_ERROR);
    const HFILE closed = _lopen(disk1.Write("GONE.BIN", "bytes").c_str(), OF_READ);
    _lclose(closed);
    EXPECT_EQ(CopyFileData(to, closed), IDS_READ_ERROR);

    const std::string huge = disk1.Join("HUGE.BIN");
    const HANDLE h = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = (LONGLONG(1) << 31) + 1;
    ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    const HFILE in = _lopen(huge.c_str(), OF_READ);
    EXPECT_EQ(CopyFileData(to, in), IDS_READ_ERROR);
    _lclose(in);
    _lclose(to);
    DeleteFileA(huge.c_str());
    EXPECT_EQ(ReadBytes(output), "");
}

// Windows 9x's replace by renames: the old file is moved aside and put back
// when the work file can't take its name, so neither is lost.
int calls, failAt;
BOOL WINAPI FailingRename(LPCSTR from, LPCSTR to) {
    return ++calls == failAt ? FALSE : MoveFileA(from, to);
}

TEST_F(Assembly, ReplaceByRenamingPutsTheOldFileBackOnFailure) {
    const RenameProc rename = FailingRename;
    const std::string dest = out.Join("F.TTE"), work = out.Join("WORK.TMP");
    for (failAt = 1; failAt <= 3; ++failAt) {
        calls = 0;
        WriteBytes(dest, "old");
        WriteBytes(work, "new");
        EXPECT_EQ(ReplaceByRenaming(work.c_str(), dest.c_str(), rename), failAt == 3) << failAt;
        EXPECT_EQ(ReadBytes(dest), failAt == 3 ? "new" : "old") << failAt;
        EXPECT_EQ(OutFiles(), (failAt == 3 ? std::vector<std::string>{"F.TTE"}
                                           : std::vector<std::string>{"F.TTE", "WORK.TMP"}))
            << failAt;
        DeleteFileA(work.c_str());
    }
    // No old file: one rename.
    DeleteFileA(dest.c_str());
    WriteBytes(work, "new");
    calls = 0;
    failAt = 0;
    EXPECT_TRUE(ReplaceByRenaming(work.c_str(), dest.c_str(), rename));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ReadBytes(dest), "new");
}

// Nothing is installed onto the medium: not into the program's directory
// or the source directory in any spelling, not relative to the current
// directory, and not over one of the item's own pieces, which the prompt
// may find in the destination. Message 12, and the piece as it was.
TEST_F(Assembly, NothingIsBuiltOntoTheMediumOrOverItsOwnPiece) {
    const int first = Piece("F.TTE", "Disk 1", &disk1, "piece");
    CopyText(SetupInfo.ModuleDir, disk2.Path().c_str());
    CurrentDirectory in(disk1.Path());
    for (const std::string& dir : {disk1.Path(), disk1.Path() + "\\.", disk2.Path() + "\\",
                                   std::string("."), std::string("SUB")}) {
        const std::string dest = dir + (dir.back() == '\\' ? "" : "\\") + "F.TTE";
        script.Then(Box(Ansi("無法建立檔案 ") + dest + " !"));
        EXPECT_EQ(AssembleFile(nullptr, dir.c_str(), 1, first, 0, 0, &result), 0) << dir;
        EXPECT_EQ(ListDir(disk1.Path()), std::vector<std::string>{"F.TTE"}) << dir;
        EXPECT_EQ(ReadBytes(disk1.Join("F.TTE")), "piece");
    }
    in.Restore();
    // A piece the prompt finds in the destination, under any spelling of
    // its directory, is the destination.
    CopyText(SetupInfo.ModuleDir, "");
    const int own = Piece("T.TTE", "Disk 2", nullptr);
    out.Write("T.TTE", "piece in the destination");
    ASSERT_NE(ShortPath(out.Path()), out.Path());
    for (const std::string& typed : {out.Path(), ShortPath(out.Path())}) {
        CopyText(SetupInfo.SourceDir, disk1.Path().c_str());
        script.Then(Typed(typed)).Then(Box(Ansi("無法建立檔案 ") + out.Join("T.TTE") + " !"));
        EXPECT_EQ(Assemble(own, 1, 0), 0) << typed;
        EXPECT_EQ(Output("T.TTE"), "piece in the destination");
        EXPECT_EQ(OutFiles(), std::vector<std::string>{"T.TTE"});
    }
}

// The work files a killed run left go before an item writes there; every
// other name, a directory, the old file the rename path keeps aside, and a
// work file another setup holds open, stay.
TEST_F(Assembly, LeftoverWorkFilesGoBeforeTheItemWrites) {
    const struct {
        const char* name;
        bool stays;
    } names[] = {
        {"qst1a2b.tmp", false}, {"QST9.TMP", false}, {"qstF.tmp", false},
        {"qso12.tmp", true},    {"qstuff.tmp", true}, {"qst12345.tmp", true},
        {"qst.tmp", true},      {"qst1.tmpx", true},  {"xqst1.tmp", true},
    };
    std::vector<std::string> kept = {"F.TTE", "qst7.tmp", "qst8.tmp"};
    for (const auto& n : names) {
        out.Write(n.name, "left");
        if (n.stays) kept.push_back(n.name);
    }
    ASSERT_TRUE(CreateDirectoryA(out.Join("qst7.tmp").c_str(), nullptr));
    const HANDLE held = CreateFileA(out.Write("qst8.tmp", "held").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int first = Piece("F.TTE", "Disk 1", &disk1, "font");
    ASSERT_EQ(Assemble(first, 1, 0), 1);
    CloseHandle(held);
    std::vector<std::string> got = OutFiles();
    std::sort(got.begin(), got.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(got, kept);
    EXPECT_EQ(ReadBytes(out.Join("qso12.tmp")), "left");
    RemoveDirectoryA(out.Join("qst7.tmp").c_str());
}

// A directory the item made goes again when the item fails; one that was
// there stays.
TEST_F(Assembly, FailedItemRemovesTheDirectoryItMade) {
    const int first = Piece("F.TTE", "Disk 2", nullptr);
    const std::string made = out.Join("NEW");
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(AssembleFile(nullptr, made.c_str(), 1, first, 0, 0, &result), 0);
    EXPECT_FALSE(Exists(made));
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(Assemble(first, 1, 0), 0);
    EXPECT_TRUE(Exists(out.Path()));
}

// The message the user reads for each error the LZ library reports.
TEST_F(Assembly, LzErrorMessages) {
    const struct {
        long code;
        const char* text;
    } rows[] = {
        {LZERROR_BADINHANDLE, "不合法之原始檔案。"}, {LZERROR_BADOUTHANDLE, "不合法之目的檔案。"},
        {LZERROR_READ, "原始檔案格式不合法。"}, {LZERROR_WRITE, "磁碟空間不足夠輸出所需之檔案。"},
        {LZERROR_GLOBALLOC, "記憶體不足提供所需之緩衝區。"}, {LZERROR_GLOBLOCK, "不合法之資料結構。"},
        {LZERROR_BADVALUE, "輸入之參數超過合法之範圍。"}, {LZERROR_UNKNOWNALG, "字型檔案碰到無法處理之狀況。"},
        {-9, "原始檔案格式不合法。"}, {-1000, "原始檔案格式不合法。"},
    };
    for (const auto& r : rows) {
        ASSERT_GT(LoadMessage(LzErrorMessage(r.code)), 0) << r.code;
        EXPECT_EQ(Utf8(LoadedText), r.text) << r.code;
    }
}

}  // namespace
