#include "layout/layout.h"

#include <string.h>
#include <windows.h>

#include "common/path.h"
#include "common/report.h"
#include "layout/describe.h"
#include "layout/images.h"
#include "layout/model.h"
#include "layout/plan.h"
#include "layout/read.h"
#include "layout/write.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// A plan whose description grows past what disk 1 kept for it is made
// again with more; it settles in a step or two.
constexpr int kMaxPlans = 16;

void Usage() {
    Say("usage: QLAYOUT LAYOUT.INI OUTDIR");
    Say("lays out the medium LAYOUT.INI describes in OUTDIR\\DISK1, DISK2 ...; OUTDIR must be");
    Say("new or empty. The layout file is QUILL95.INI's form with [Medium] (DiskSize, Label,");
    Say("Setup) and each item's Source in place of its Files, File<k> and Disk<k>.");
}

bool IsHelp(const char* argument) {
    return strcmp(argument, "/?") == 0 || strcmp(argument, "-?") == 0 || strcmp(argument, "-h") == 0 ||
           strcmp(argument, "--help") == 0;
}

// The layout file and the output directory, in full; the output directory
// new or empty: nothing of the user's is ever written into, or removed.
bool TakeArguments(char** argv) {
    const DWORD n = GetFullPathNameA(argv[1], kPathLen, Layout.LayoutPath, nullptr);
    const DWORD attributes = n > 0 && n < static_cast<DWORD>(kPathLen)
                                 ? GetFileAttributesA(Layout.LayoutPath)
                                 : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Say("error: the layout file %s can't be read", argv[1]);
        return false;
    }
    CopyText(Layout.LayoutDir, Layout.LayoutPath);
    char* slash = FindLastBackslash(Layout.LayoutDir);
    StartReport("qlayout", slash != nullptr ? slash + 1 : Layout.LayoutPath);
    if (slash != nullptr) *slash = '\0';

    if (!FullDirectory(argv[2], Layout.OutDir) || !JoinPath(Layout.WorkDir, Layout.OutDir, "WORK")) {
        Say("error: the output directory %s can't be used", argv[2]);
        return false;
    }
    char pattern[kPathLen];
    JoinPath(pattern, Layout.OutDir, "*");
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    bool empty = true;
    if (search != INVALID_HANDLE_VALUE) {
        do empty = empty && (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0);
        while (empty && FindNextFileA(search, &found));
        FindClose(search);
    }
    const DWORD outAttributes = GetFileAttributesA(Layout.OutDir);
    if (!empty || (outAttributes != INVALID_FILE_ATTRIBUTES && !(outAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
        Say("error: %s is there and not an empty directory: the medium goes only into a new or empty one",
            Layout.OutDir);
        return false;
    }
    return true;
}

// The pieces as the plan cuts them, with the description's own room on disk
// 1 made good; false, having said why, when the layout can't be cut so.
bool Plan() {
    unsigned long kept = 0;
    for (int plans = 0; plans < kMaxPlans; ++plans) {
        int item = 0;
        const PlanResult result = PlanPieces(kept, &item);
        if (result == kNoRoomOnDisk1) {
            Report(kError, "Medium", "DiskSize", "disk 1 can't hold SETUP.EXE (%lu bytes) and QUILL95.INI",
                   Layout.SetupBytes);
            return false;
        }
        if (result == kTooManyPieces) {
            const SourceItem& source = Layout.Items[item];
            Report(kError, KeysOf(source.Kind).Files, ItemKey(source.Name, "Source"),
                   "%s takes the medium past the %d pieces the description holds at this DiskSize",
                   source.FileName, kMaxPieces);
            return false;
        }
        const long bytes = WriteDescription(HFILE_ERROR);
        if (ClustersOf(Layout.Format, static_cast<unsigned long>(bytes)) <= ClustersOf(Layout.Format, kept)) {
            Layout.DescriptionBytes = static_cast<unsigned long>(bytes);
            if (Layout.DiskCount > 1 && strstr(Layout.Label, "%d") == nullptr) {
                Report(kError, "Medium", "Label", "\"%s\" has no %%d: all %d disks would have that label",
                       Layout.Label, Layout.DiskCount);
                return false;
            }
            return true;
        }
        kept = static_cast<unsigned long>(bytes);
    }
    Say("error: the description's room on disk 1 does not settle");
    return false;
}

// The catalogue's record of an item of the layout.
void CatalogueRun(const SourceItem& item, int* firstPiece, int* files) {
    const int index = item.Number - 1;
    if (item.Kind == kMiscKind) {
        *firstPiece = SetupInfo.MiscItems[index].FirstPiece;
        *files = SetupInfo.MiscItems[index].Files;
    } else if (item.Kind == kTableKind) {
        *firstPiece = SetupInfo.TableItems[index].FirstPiece;
        *files = SetupInfo.TableItems[index].Files;
    } else {
        *firstPiece = SetupInfo.FontItems[index].FirstPiece;
        *files = SetupInfo.FontItems[index].Files;
    }
}

// The written description, read by the loader as SETUP.EXE on disk 1 reads
// it, names every piece on its disk as planned.
bool ReadBack() {
    char disk1[kPathLen];
    char program[kPathLen];
    DiskDirectory(1, disk1);
    JoinPath(program, disk1, "SETUP.EXE");
    if (InitSetupDirs(program) != 0 || ReadSetupDescription() != 0) {
        Say("error: the loader refuses the QUILL95.INI written: [%s] %s", SetupProblem.Section, SetupProblem.Key);
        return false;
    }
    const int counts[] = {SetupInfo.MiscCount, SetupInfo.TableCount, SetupInfo.FontCount};
    bool same = counts[kMiscKind] == Layout.Counts[kMiscKind] &&
                counts[kTableKind] == Layout.Counts[kTableKind] && counts[kFontKind] == Layout.Counts[kFontKind];
    for (int i = 0; same && i < Layout.ItemCount; ++i) {
        const SourceItem& item = Layout.Items[i];
        int first = 0;
        int files = 0;
        CatalogueRun(item, &first, &files);
        same = files == item.Pieces;
        for (int k = 0; same && k < files; ++k) {
            const PlannedPiece& piece = Layout.Pieces[item.FirstPiece + k];
            char label[kDiskLen];
            DiskLabel(piece.Disk, label);
            same = strcmp(SetupInfo.Pieces.File[first + k], piece.Name) == 0 &&
                   strcmp(SetupInfo.Pieces.Disk[first + k], label) == 0;
        }
    }
    if (!same) Say("error: the QUILL95.INI written reads back as another medium");
    return same;
}

// QCHECK.EXE on the written disks, each named with its label; its report
// goes out with this program's. false when it finds an error, or can't run.
bool RunChecker(const char* programDir) {
    char checker[kPathLen];
    JoinPath(checker, programDir, "QCHECK.EXE");
    static char command[32768];
    char dir[kPathLen];
    DiskDirectory(1, dir);
    FormatText(command, "\"%s\" \"%s\"", checker, dir);
    for (int disk = 1; disk <= Layout.DiskCount; ++disk) {
        bool used = false;
        for (int p = 0; p < Layout.PieceCount && !used; ++p) used = Layout.Pieces[p].Disk == disk;
        if (!used) continue;
        char label[kDiskLen];
        char argument[kPathLen + kDiskLen + 8];
        DiskLabel(disk, label);
        DiskDirectory(disk, dir);
        FormatText(argument, " \"%s=%s\"", label, dir);
        if (!AppendText(command, argument)) {
            Say("error: the command line for %s is too long: the medium is not checked", checker);
            return false;
        }
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(checker, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        Say("error: %s can't be started, and a medium is not done before it is checked", checker);
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit = 2;
    GetExitCodeProcess(process.hProcess, &exit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exit >= 2) Say("error: QCHECK.EXE finds the medium wrong (exit %lu)", static_cast<unsigned long>(exit));
    return exit < 2;
}

void PrintLayout() {
    const DiskFormat& format = Layout.Format;
    for (int disk = 1; disk <= Layout.DiskCount; ++disk) {
        unsigned long clusters = 0;
        if (disk == 1)
            clusters = ClustersOf(format, Layout.SetupBytes) + ClustersOf(format, Layout.DescriptionBytes);
        for (int p = 0; p < Layout.PieceCount; ++p)
            if (Layout.Pieces[p].Disk == disk) clusters += ClustersOf(format, Layout.Pieces[p].Bytes);
        char label[kDiskLen];
        DiskLabel(disk, label);
        if (format.Clusters == 0)
            Say("DISK%d, \"%s\": %lu bytes used", disk, label, clusters * format.ClusterBytes);
        else
            Say("DISK%d, \"%s\": %lu bytes used, %lu free", disk, label, clusters * format.ClusterBytes,
                (format.Clusters - clusters) * format.ClusterBytes);
        if (disk == 1) {
            Say("  SETUP.EXE %lu", Layout.SetupBytes);
            Say("  QUILL95.INI %lu", Layout.DescriptionBytes);
        }
        for (int p = 0; p < Layout.PieceCount; ++p) {
            const PlannedPiece& piece = Layout.Pieces[p];
            if (piece.Disk != disk) continue;
            const SourceItem& item = Layout.Items[piece.Item];
            Say("  %s %lu: %s, piece %d of %d%s", piece.Name, piece.Bytes, item.Name, p - item.FirstPiece + 1,
                item.Pieces, item.Compressed ? ", compressed" : "");
        }
    }
    Say("done: %d disks, %d pieces in %s", Layout.DiskCount, Layout.PieceCount, Layout.OutDir);
}

// Everything after the arguments; the medium is removed again on any
// failure.
// Every path the medium will have fits: the longest file name on the
// longest disk's directory, and the work directory's files. A path cut to
// fit would name another file.
bool PathsFit() {
    char path[kPathLen];
    bool fit = DiskDirectory(kMaxPieces, path) && ImagePath(kMaxLayoutItems - 1, path);
    const char* longest = "Q0000001.002";  // the longest name a piece gets
    for (int i = 0; i < Layout.ItemCount; ++i)
        if (strlen(Layout.Items[i].FileName) > strlen(longest)) longest = Layout.Items[i].FileName;
    char disk[kPathLen];
    fit = fit && DiskDirectory(kMaxPieces, disk) && JoinPath(path, disk, longest);
    if (!fit) Say("error: %s is too long a directory for the medium's paths", Layout.OutDir);
    return fit;
}

bool MakeMedium(const char* programDir) {
    if (!ReadLayout(programDir) || !PathsFit()) return false;
    if (!MakeOutDir() || !MakeImages() || !Plan() || !WriteMedium()) return false;
    RemoveWork();
    return ReadBack() && RunChecker(programDir);
}

}  // namespace

int RunLayout(int argc, char** argv, const char* programDir) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    StartReport("qlayout", "LAYOUT.INI");
    if (argc != 3) {
        Usage();
        return argc == 2 && IsHelp(argv[1]) ? 0 : 2;
    }
    memset(&Layout, 0, sizeof Layout);
    if (!TakeArguments(argv)) return 2;
    if (!MakeMedium(programDir)) {
        RemoveMedium();
        return 2;
    }
    PrintLayout();
    return 0;
}
