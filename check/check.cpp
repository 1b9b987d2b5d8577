#include "check/check.h"

#include <windows.h>

#include "check/disks.h"
#include "check/report.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/path.h"
#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

long long ExpandedBytes = 0;

int UsedPieces() {
    int pieces = 0;
    for (int i = 0; i < FileItemCount(); ++i) pieces += FileItemAt(i).Files;
    for (int i = 0; i < SetupInfo.FontCount; ++i) pieces += SetupInfo.FontItems[i].Files;
    return pieces;
}

int FileItemCount() { return SetupInfo.MiscCount + SetupInfo.TableCount; }

FileItem FileItemAt(int index) {
    if (index < SetupInfo.MiscCount) {
        const MiscItem& m = SetupInfo.MiscItems[index];
        return {"Misc Files", m.Name, m.DstDir, m.Files, m.FirstPiece, m.Compressed};
    }
    const TableItem& t = SetupInfo.TableItems[index - SetupInfo.MiscCount];
    return {"Tbls Files", t.Name, t.DstDir, t.Files, t.FirstPiece, t.Compressed};
}

// As the assembly joins and tests it.
bool Destination(const FileItem& item, char (&path)[kPathLen]) {
    char joined[kPathLen];
    if (!JoinPath(joined, item.DstDir, SetupInfo.Pieces.File[item.FirstPiece]) ||
        !IsFullPath(item.DstDir))
        return false;
    const DWORD n = GetFullPathNameA(joined, kPathLen, path, nullptr);
    return n > 0 && n < static_cast<DWORD>(kPathLen);
}

namespace {

void Summary() {
    Say("items %d, pieces %d, disks %d, bytes expanded %lld; errors %d, warnings %d",
        SetupInfo.MiscCount + SetupInfo.FontCount + SetupInfo.TableCount, UsedPieces(), DiskCount(),
        ExpandedBytes, Errors(), Warnings());
}

}  // namespace

int RunCheck(int argc, char** argv) {
    AppInstance = GetModuleHandleA(nullptr);
    StartReport();
    ExpandedBytes = 0;
    if (!TakeDiskArguments(argc, argv)) return 2;

    // Read as the SETUP.EXE of disk 1 reads it.
    char program[kPathLen];
    JoinPath(program, FirstDiskDir(), "SETUP.EXE");
    int code = InitSetupDirs(program);
    if (code == 0) code = ReadSetupDescription();
    if (code != 0) {
        if (code == IDS_BAD_SETUP_FILE)
            ReportLoadProblem();
        else
            Report(kError, nullptr, nullptr, "%s in %s: SETUP.EXE shows message %d, \"%s\"",
                   code == IDS_NO_SETUP_FILE ? "not found" : "can't be read", FirstDiskDir(), code,
                   LoadMessage(code) ? LoadedText : "");
        // Nothing of it counts.
        SetupInfo.MiscCount = SetupInfo.FontCount = SetupInfo.TableCount = 0;
        Summary();
        return 2;
    }
    MatchDisks();
    CheckTexts();
    CheckPieces();
    CheckDestinations();
    Summary();
    return Errors() > 0 ? 2 : Warnings() > 0 ? 1 : 0;
}
