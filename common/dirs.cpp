#include "common/dirs.h"

#include <string.h>

#include "common/globals.h"
#include "common/messages.h"
#include "common/path.h"

namespace {

// What the destination dialog works on: lParam of its WM_INITDIALOG.
struct TargetDirRequest {
    char (*TargetDir)[kPathLen];
    const char* SystemDir;
    const char* ModuleDir;
    const char* SourceDir;
};

// The process's current directory; false when it can't be had whole.
bool CurrentDir(char (&dir)[kPathLen]) {
    const DWORD n = GetCurrentDirectoryA(kPathLen, dir);
    return n > 0 && n < static_cast<DWORD>(kPathLen);
}

// 1 for A to 26 for Z, in either case; 0 for anything else.
int DriveNumber(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a' + 1;
    if (letter >= 'A' && letter <= 'Z') return letter - 'A' + 1;
    return 0;
}

bool DriveIsThere(int drive) {
    return drive > 0 && (GetLogicalDrives() & (1UL << (drive - 1))) != 0;
}

void ShowTargetDir(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, IDC_TARGET_DIR, text);
    SendDlgItemMessageA(dialog, IDC_TARGET_DIR, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IDC_TARGET_DIR));
}

// A box holding more than a path is refused, not cut: the cut text would
// name another directory, which the dialog would then offer to create. Two
// spare bytes, so that a cut through a last double-byte character still
// shows as too long. false, and an empty targetDir, for a text that is too
// long as typed or as a full path.
bool ReadTargetDir(HWND dialog, char (&targetDir)[kPathLen]) {
    char typed[kPathLen + 2];
    const int n = static_cast<int>(GetDlgItemTextA(dialog, IDC_TARGET_DIR, typed, kPathLen + 2));
    if (n >= kPathLen) {
        targetDir[0] = '\0';
        return false;
    }
    CopyText(targetDir, typed);
    const bool empty = typed[0] == '\0';
    NormalizeDir(targetDir);
    TrimDirSlash(targetDir);
    return empty || targetDir[0] != '\0';
}

// The user is asked before a missing directory is made: true when it was
// asked for and made (one level only: a missing parent is no directory).
bool CreateOnRequest(HWND dialog, const char* targetDir) {
    BuildMessage(IDS_CREATE_DIR);
    if (ShowMessageText(dialog, Caption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
    if (CreateDirectoryA(targetDir, nullptr)) return true;
    ShowError(dialog, IDS_BAD_DIRECTORY);
    return false;
}

// A directory of the medium that is not there yet: made on request, it
// would still be refused, so it is refused before the question.
bool IsMediumDirToBe(const char* targetDir, const TargetDirRequest& request) {
    return GetFileAttributesA(targetDir) == INVALID_FILE_ATTRIBUTES &&
           (SameDirectory(targetDir, request.ModuleDir) || SameDirectory(targetDir, request.SourceDir));
}

void OnTargetOk(HWND dialog, const TargetDirRequest& request) {
    char (&targetDir)[kPathLen] = *request.TargetDir;
    // A text too long for a path is no directory to offer to create.
    const bool fits = ReadTargetDir(dialog, targetDir);
    if (fits && IsExistingDir(targetDir, request.ModuleDir, request.SourceDir)) {
        EndDialog(dialog, 1);
        return;
    }
    if (!fits || IsMediumDirToBe(targetDir, request)) {
        ShowError(dialog, IDS_BAD_DIRECTORY);
    } else if (CreateOnRequest(dialog, targetDir)) {
        if (IsExistingDir(targetDir, request.ModuleDir, request.SourceDir)) EndDialog(dialog, 1);
        return;
    }
    CopyText(targetDir, request.SystemDir);
    ShowTargetDir(dialog, targetDir);
}

}  // namespace

// Refused, not cut, when the full path would not fit: a cut path names
// another directory. The empty text that results is never accepted, and
// CreateDirectoryA fails on it.
void NormalizeDir(char (&path)[kPathLen]) {
    char base[kPathLen];
    char full[kPathLen];
    bool whole = false;
    if (path[0] == '\0') {
        whole = CurrentDir(full);
    } else if (path[0] == '\\' && path[1] != ':') {
        // From the root of the current drive.
        if (CurrentDir(base)) {
            base[2] = '\0';
            whole = CopyText(full, base) && AppendText(full, path);
        }
    } else if (path[1] == ':' && path[2] == '\\') {
        return;
    } else if (path[1] == ':') {
        // No such drive: left as typed; it can never be made current.
        if (!DriveIsThere(DriveNumber(path[0]))) return;
        // "C:." is the directory the platform remembers for drive C (the
        // current directory when C is the current drive).
        const char remembered[] = {path[0], ':', '.', '\0'};
        const DWORD n = GetFullPathNameA(remembered, kPathLen, base, nullptr);
        whole = n > 0 && n < static_cast<DWORD>(kPathLen) && JoinPath(full, base, path + 2);
    } else {
        whole = CurrentDir(base) && JoinPath(full, base, path);
    }
    if (whole)
        CopyText(path, full);
    else
        path[0] = '\0';
}

// The byte before a backslash can be tested alone: a colon is never the
// second byte of a double-byte character.
void TrimDirSlash(char* path) {
    if (path == nullptr || !EndsWithBackslash(path)) return;
    const size_t last = strlen(path) - 1;
    if (last > 0 && path[last - 1] != ':') path[last] = '\0';
}

int IsExistingDir(const char* path, const char* moduleDir, const char* sourceDir) {
    if (path == nullptr || path[0] == '\0') return 0;
    // Any spelling of the medium's directories: A: and A:\ for a program at
    // the root, C:\SETUP\. and the like.
    if (SameDirectory(path, moduleDir) || SameDirectory(path, sourceDir)) return 0;
    // Without it whole there is nothing to go back to.
    char saved[kPathLen];
    if (!CurrentDir(saved)) return 0;
    if (path[1] == ':') {
        const char drive[] = {path[0], ':', '\0'};
        if (!SetCurrentDirectoryA(drive)) {
            SetCurrentDirectoryA(saved);
            return 0;
        }
    }
    const int result = SetCurrentDirectoryA(path) ? 1 : 0;
    // A full path: going back to it puts back the drive as well.
    SetCurrentDirectoryA(saved);
    return result;
}

namespace {

// Dialog procedure of the destination dialog.
INT_PTR CALLBACK TargetDirDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* request = reinterpret_cast<const TargetDirRequest*>(lParam);
            if (request == nullptr) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            ShowTargetDir(dialog, *request->TargetDir);
            return TRUE;
        }
        case WM_COMMAND: {
            const auto* request =
                reinterpret_cast<const TargetDirRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
            switch (LOWORD(wParam)) {
                case IDOK:
                    if (request != nullptr) OnTargetOk(dialog, *request);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        default:
            return FALSE;
    }
}

}  // namespace

int AskTargetDir(HWND owner, char (&targetDir)[kPathLen], const char* systemDir,
                 const char* moduleDir, const char* sourceDir) {
    TargetDirRequest request = {&targetDir, systemDir, moduleDir, sourceDir};
    const INT_PTR result =
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_TARGET_DIR), owner, TargetDirDialog,
                        reinterpret_cast<LPARAM>(&request));
    // No dialog (-1, or 0 for a bad owner) accepted nothing: the run must stop.
    return result == 1 ? 1 : 0;
}
