#include "check/check.h"

#include <windows.h>

#include "check/disks.h"
#include "check/files.h"
#include "check/model.h"
#include "common/report.h"
#include "check/texts.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/path.h"
#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

void Summary() {
    char bytes[24];
    Say("items %d, pieces %d, disks %d, bytes expanded %s; errors %d, warnings %d",
        SetupInfo.MiscCount + SetupInfo.FontCount + SetupInfo.TableCount, UsedPieces(), DiskCount(),
        DecimalText(bytes, ExpandedBytes), Errors(), Warnings());
}

}  // namespace

int RunCheck(int argc, char** argv) {
    AppInstance = GetModuleHandleA(nullptr);
    // A drive with no disk in it is a finding, not the system's box in
    // front of a console program.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    StartReport();
    ExpandedBytes = 0;
    int exit = 2;
    if (!TakeDiskArguments(argc, argv, &exit)) return exit;

    // Read as the SETUP.EXE of disk 1 reads it.
    char program[kPathLen];
    JoinPath(program, FirstDiskDir(), "SETUP.EXE");
    int code = InitSetupDirs(program);
    if (code == 0) CheckDescriptionFile();
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
    CheckSourceWalk();
    CheckDestinations();
    Summary();
    return Errors() > 0 ? 2 : Warnings() > 0 ? 1 : 0;
}
