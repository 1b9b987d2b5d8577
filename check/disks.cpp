#include "check/disks.h"

#include <string.h>
#include <windows.h>

#include "check/model.h"
#include "common/report.h"
#include "common/path.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// Disk 1's directory and one for each disk, as many as pieces at most.
constexpr int kMaxArguments = kMaxPieces + 1;

// The directories in the order given (the first is disk 1's), and the
// NAME=DIR arguments, each split at its first equals sign.
struct Arguments {
    char Dir[kMaxArguments][kPathLen];
    int Dirs;
    char NamedDisk[kMaxArguments][kDiskLen];
    char NamedDir[kMaxArguments][kPathLen];
    int Named;
} Given;

// dir in full, without a trailing backslash, as it was when that can't
// be had.
void FullDir(const char* dir, char (&out)[kPathLen]) {
    if (!FullDirectory(dir, out)) CopyText(out, dir);
}

}  // namespace

bool TakeDiskArguments(int argc, char** argv, int* exit) {
    Given.Dirs = 0;
    Given.Named = 0;
    ForgetDisks();
    const bool help = argc == 2 && (strcmp(argv[1], "/?") == 0 || strcmp(argv[1], "-?") == 0 ||
                                    strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0);
    *exit = 2;
    if (argc - 1 > kMaxArguments) {
        Say("at most %d directories", kMaxArguments);
        return false;
    }
    for (int i = 1; i < argc && !help; ++i) {
        char* equals = strchr(argv[i], '=');
        if (i > 1 && equals != nullptr) {
            *equals = '\0';
            CopyText(Given.NamedDisk[Given.Named], argv[i]);
            FullDir(equals + 1, Given.NamedDir[Given.Named++]);
            *equals = '=';
        } else {
            FullDir(argv[i], Given.Dir[Given.Dirs++]);
        }
    }
    if (Given.Dirs > 0) return true;
    Say("usage: QCHECK DISK1 [DIR | \"NAME=DIR\"]...");
    Say("DISK1 holds QUILL95.INI; each DIR is the next disk the description names, in the order");
    Say("it names them; NAME=DIR gives the directory of the disk named NAME.");
    if (help) *exit = 0;
    return false;
}

const char* FirstDiskDir() { return Given.Dir[0]; }

namespace {

// Each label once: a label that differs from an earlier one only in letter
// case or blanks is that disk, and said to be so at its key.
void CollectLabels() {
    const int pieces = UsedPieces();
    for (int piece = 0; piece < pieces; ++piece) {
        const char* label = SetupInfo.Pieces.Disk[piece];
        const int disk = DiskOf(label);
        if (disk < 0) {
            AddDisk(label);
        } else if (strcmp(DiskName(disk), label) != 0) {
            int k = 0;
            const ItemView item = OwnerOf(piece, &k);
            Report(kWarning, item.Section, ItemKey(item.Name, "Disk", k),
                   "\"%s\" differs from \"%s\" only in letter case or blanks: taken as that disk "
                   "here; SETUP.EXE's disk prompt names it as each piece gives it",
                   label, DiskName(disk));
        }
    }
}

// A directory given for a disk is there, and readable: a drive with no
// disk in it says so, as no box (critical errors are off) but a finding.
void CheckDiskDir(int disk) {
    const char* dir = DiskDir(disk);
    const DWORD attributes = GetFileAttributesA(dir);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    if (error == ERROR_NOT_READY || error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        Report(kError, nullptr, nullptr,
               "the directory of disk \"%s\", %s, can't be read (error %lu): no disk in the drive?",
               DiskName(disk), dir, static_cast<unsigned long>(error));
    else
        Report(kError, nullptr, nullptr, "the directory of disk \"%s\", %s, is not there",
               DiskName(disk), dir);
}

}  // namespace

void MatchDisks() {
    ForgetDisks();
    CollectLabels();
    for (int a = 0; a < Given.Named; ++a) {
        const int disk = DiskOf(Given.NamedDisk[a]);
        if (disk < 0)
            Report(kError, nullptr, nullptr, "no piece is on a disk named \"%s\" (%s=%s)",
                   Given.NamedDisk[a], Given.NamedDisk[a], Given.NamedDir[a]);
        else
            SetDiskDir(disk, Given.NamedDir[a]);
    }
    int next = 0;
    for (int disk = 0; disk < DiskCount(); ++disk) {
        const bool named = DiskDir(disk) != nullptr;
        if (!named && next < Given.Dirs) SetDiskDir(disk, Given.Dir[next++]);
        if (DiskDir(disk) == nullptr) {
            Report(kWarning, nullptr, nullptr,
                   "no directory for disk \"%s\": its pieces are not checked", DiskName(disk));
            continue;
        }
        Say("disk \"%s\" is %s (%s)", DiskName(disk), DiskDir(disk), named ? "by name" : "in order");
        CheckDiskDir(disk);
    }
    // Disk 1's directory holds the description, whether or not it is named
    // for a disk's pieces too.
    for (next = next > 1 ? next : 1; next < Given.Dirs; ++next)
        Report(kWarning, nullptr, nullptr, "directory %s is for no disk: the description names %d",
               Given.Dir[next], DiskCount());
}
