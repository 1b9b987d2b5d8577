#include "check/disks.h"

#include <string.h>
#include <windows.h>

#include "check/check.h"
#include "check/report.h"
#include "common/path.h"
#include "setup/catalogue.h"

namespace {

constexpr int kMaxArguments = 64;

// The directories in the order given (the first is disk 1's), and the
// NAME=DIR arguments, each split at its first equals sign.
struct Arguments {
    char Dir[kMaxArguments][kPathLen];
    int Dirs;
    char NamedDisk[kMaxArguments][kDiskLen];
    char NamedDir[kMaxArguments][kPathLen];
    int Named;
} Given;

// The disk names of the pieces in the order they first come, and their
// directories (empty: none given).
struct Disks {
    char Name[kMaxPieces][kDiskLen];
    char Dir[kMaxPieces][kPathLen];
    int Count;
} Medium;

// dir in full, without a trailing backslash, as it was when that can't
// be had.
void FullDir(const char* dir, char (&out)[kPathLen]) {
    if (!FullDirectory(dir, out)) CopyText(out, dir);
}

}  // namespace

bool TakeDiskArguments(int argc, char** argv) {
    Given.Dirs = 0;
    Given.Named = 0;
    Medium.Count = 0;
    if (argc - 1 > kMaxArguments) {
        Say("at most %d directories", kMaxArguments);
        return false;
    }
    for (int i = 1; i < argc; ++i) {
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
    return false;
}

const char* FirstDiskDir() { return Given.Dir[0]; }

void MatchDisks() {
    Medium.Count = 0;
    const int pieces = UsedPieces();
    for (int i = 0; i < pieces; ++i) {
        if (DiskOf(SetupInfo.Pieces.Disk[i]) >= 0) continue;
        CopyText(Medium.Name[Medium.Count], SetupInfo.Pieces.Disk[i]);
        Medium.Dir[Medium.Count++][0] = '\0';
    }
    for (int a = 0; a < Given.Named; ++a) {
        const int disk = DiskOf(Given.NamedDisk[a]);
        if (disk < 0)
            Report(kError, nullptr, nullptr, "no piece is on a disk named \"%s\" (%s=%s)",
                   Given.NamedDisk[a], Given.NamedDisk[a], Given.NamedDir[a]);
        else
            CopyText(Medium.Dir[disk], Given.NamedDir[a]);
    }
    int next = 0;
    for (int disk = 0; disk < Medium.Count; ++disk) {
        const bool named = Medium.Dir[disk][0] != '\0';
        if (!named && next < Given.Dirs) CopyText(Medium.Dir[disk], Given.Dir[next++]);
        if (Medium.Dir[disk][0] == '\0') {
            Report(kWarning, nullptr, nullptr,
                   "no directory for disk \"%s\": its pieces are not checked", Medium.Name[disk]);
            continue;
        }
        Say("disk \"%s\" is %s (%s)", Medium.Name[disk], Medium.Dir[disk],
            named ? "by name" : "in order");
        const DWORD attributes = GetFileAttributesA(Medium.Dir[disk]);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            Report(kError, nullptr, nullptr, "the directory of disk \"%s\", %s, is not there",
                   Medium.Name[disk], Medium.Dir[disk]);
    }
    for (; next < Given.Dirs; ++next)
        Report(kWarning, nullptr, nullptr, "directory %s is for no disk: the description names %d",
               Given.Dir[next], Medium.Count);
}

int DiskCount() { return Medium.Count; }
const char* DiskName(int disk) { return Medium.Name[disk]; }
const char* DiskDir(int disk) {
    if (disk < 0 || disk >= Medium.Count || Medium.Dir[disk][0] == '\0') return nullptr;
    return Medium.Dir[disk];
}

int DiskOf(const char* name) {
    for (int disk = 0; disk < Medium.Count; ++disk)
        if (strcmp(Medium.Name[disk], name) == 0) return disk;
    return -1;
}
