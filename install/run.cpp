#include "install/run.h"

#include "common/dirs.h"
#include "common/messages.h"
#include "common/proc.h"
#include "install/fonts.h"
#include "install/misc.h"
#include "install/pieces.h"
#include "install/tables.h"
#include "res/texts.h"
#include "setup/catalogue.h"

namespace {

// The root of the destination's drive, as c:\ ; \ without a drive.
void DriveRoot(const char* dir, char (&root)[4]) {
    if (dir[0] != '\0' && dir[1] == ':') {
        root[0] = dir[0];
        root[1] = ':';
        root[2] = '\\';
        root[3] = '\0';
        CharLowerBuffA(root, 1);
    } else {
        CopyText(root, "\\");
    }
}

// Free space in 64 bits, so no large drive wraps to a small or negative
// figure. When the drive can't be asked, the check passes: a disk that
// really is full shows as the copy's own write error.
bool EnoughSpace(HWND owner, const int* selection, int count) {
    long long neededKb = 0;
    for (int k = 0; k < count; ++k) neededKb += SetupInfo.FontItems[selection[k]].Size;
    char root[4];
    DriveRoot(SetupInfo.TargetDir, root);
    long long freeKb = 0;
    if (!FreeKilobytes(root, &freeKb)) return true;
    char text[kMessageLen];
    if (!FreeSpaceText(neededKb, freeKb, text)) return true;
    ShowFormatted(owner, kSpaceTitle, MB_OK | MB_ICONHAND, "%s", text);
    return false;
}

}  // namespace

bool FreeKilobytes(const char* root, long long* freeKb) {
    if (RunTime().DiskFreeSpaceEx != nullptr) {
        ULARGE_INTEGER available;
        if (!RunTime().DiskFreeSpaceEx(root, &available, nullptr, nullptr)) return false;
        *freeKb = static_cast<long long>(available.QuadPart / 1024);
        return true;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return false;
    // The product passes 4 GB on a large drive.
    *freeKb = static_cast<long long>(freeClusters) * bytesPerSector * sectorsPerCluster / 1024;
    return true;
}

void DecideLinkDir(const char* targetDir, const char* fontsDir, char (&linkDir)[kPathLen]) {
    char trimmed[kPathLen];
    CopyText(trimmed, targetDir);
    TrimDirSlash(trimmed);
    if (lstrcmpiA(fontsDir, trimmed) == 0)
        linkDir[0] = '\0';
    else
        CopyText(linkDir, targetDir);
}

bool FreeSpaceText(long long neededKb, long long freeKb, char (&text)[kMessageLen]) {
    text[0] = '\0';
    if (neededKb <= freeKb) return false;
    // Rounded to tenths of a megabyte as a whole, so 2047 KB reads 2.0M.
    const long long tenths = (neededKb * 10 + 512) / 1024;
    const unsigned long mb = static_cast<unsigned long>(tenths / 10);
    const unsigned long tenth = static_cast<unsigned long>(tenths % 10);
    if (freeKb < 1024)
        FormatText(text, kNeedMoreKb, mb, tenth, static_cast<unsigned long>(freeKb));
    else
        FormatText(text, kNeedMoreMb, mb, tenth, static_cast<unsigned long>(freeKb / 1024));
    return true;
}

int RunSteps(const int* fonts, int count, RunStep (&steps)[kMaxRunSteps]) {
    int n = 0;
    for (int i = 0; i < SetupInfo.MiscCount; ++i) steps[n++] = {kMiscKind, i};
    for (int i = 0; i < SetupInfo.TableCount; ++i) steps[n++] = {kTableKind, i};
    for (int k = 0; k < count && n < kMaxRunSteps; ++k) steps[n++] = {kFontKind, fonts[k]};
    return n;
}

namespace {

bool Running = false;

// Marks the run, whichever way it ends.
class RunMark {
public:
    RunMark() { Running = true; }
    ~RunMark() { Running = false; }
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;
};

// The run for the selected count fonts of the dialog's list: 1 when a
// selected font was installed and the run was not stopped by Exit; only
// then does the completion message show.
int RunInstall(HWND owner, int selectedCount) {
    if (Running) return 0;
    const RunMark mark;
    int selection[kMaxFontItems];
    if (selectedCount > kMaxFontItems) selectedCount = kMaxFontItems;
    const LRESULT got = SendDlgItemMessageA(owner, IDC_FONT_LIST, LB_GETSELITEMS, selectedCount,
                                            reinterpret_cast<LPARAM>(selection));
    if (got == LB_ERR) {
        ShowError(owner, IDS_NO_MEMORY);
        return 0;
    }
    // Only what the list really gave, and only fonts of the catalogue.
    int count = 0;
    for (int k = 0; k < static_cast<int>(got); ++k)
        if (selection[k] >= 0 && selection[k] < SetupInfo.FontCount) selection[count++] = selection[k];

    CancelRequested = 0;
    if (!AskTargetDir(owner, SetupInfo.TargetDir, SetupInfo.SystemDir, SetupInfo.ModuleDir,
                      SetupInfo.SourceDir))
        return 0;
    DecideLinkDir(SetupInfo.TargetDir, SetupInfo.FontsDir, SetupInfo.LinkDir);
    if (!EnoughSpace(owner, selection, count)) return 0;

    // What the user chose are the fonts: the run is complete only when one
    // of them was installed, and never when Exit stopped it.
    RunStep steps[kMaxRunSteps];
    const int stepCount = RunSteps(selection, count, steps);
    int installedFont = 0;
    for (int s = 0; !CancelRequested && s < stepCount; ++s) {
        const int index = steps[s].Index;
        if (steps[s].Kind == kMiscKind)
            InstallMiscItem(owner, index);
        else if (steps[s].Kind == kTableKind)
            InstallTableItem(owner, index);
        else if (InstallFontItem(owner, index))
            installedFont = 1;
    }

    ClearStatus();
    if (!installedFont || CancelRequested) return 0;
    ShowError(owner, IDS_DONE);
    return 1;
}

}  // namespace

bool InstallRunning() { return Running; }

void InstallCommand(HWND dialog) {
    SetStatus(IDS_SELECT_ITEMS, "");
    const int selected =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_FONT_LIST, LB_GETSELCOUNT, 0, 0));
    if (selected > 0)
        RunInstall(dialog, selected);
    else
        ShowError(dialog, IDS_SELECT_FONT);
}
