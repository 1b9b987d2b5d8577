#include "install/pieces.h"

#include "common/globals.h"
#include "common/messages.h"
#include "common/path.h"
#include "install/lzfile.h"
#include "res/texts.h"
#include "setup/catalogue.h"

int UseLzSource = 0;
int PromptPiece = 0;
int CancelRequested = 0;

// A path that does not fit whole is not tried: cut, it would name another
// file.
int OpenPieceAt(const char* directory, int piece) {
    char path[kPathLen];
    if (!JoinPath(path, directory, SetupInfo.Pieces.File[piece])) return -1;
    // A compressed piece's path may pass the open-file record's limit.
    if (UseLzSource) return OpenLzFile(path);
    const HFILE handle = _lopen(path, OF_READ);
    return handle == HFILE_ERROR ? -1 : handle;
}

namespace {

// The piece is there but unreadable: asking for its disk would not help.
bool IsUnreadable(int handle) { return handle < -1; }

void OnPromptOk(HWND dialog) {
    // The typed text is kept whatever follows, as it stands.
    GetDlgItemTextA(dialog, IDC_PROMPT_DIR, SetupInfo.SourceDir, kPathLen);
    SetBusy(1);
    const int handle = OpenPieceAt(SetupInfo.SourceDir, PromptPiece);
    SetBusy(0);
    if (IsUnreadable(handle)) {
        ShowError(dialog, LzErrorMessage(handle));
        EndDialog(dialog, -1);
        return;
    }
    if (handle != -1) {
        EndDialog(dialog, handle);
        return;
    }
    // A path that did not fit was never tried: the directory is named as
    // typed, not a cut path.
    char path[kPathLen];
    const bool whole = JoinPath(path, SetupInfo.SourceDir, SetupInfo.Pieces.File[PromptPiece]);
    ShowFormatted(dialog, kCannotOpenTitle, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, kCannotOpen,
                  whole ? path : SetupInfo.SourceDir);
    SetFocus(GetDlgItem(dialog, IDC_PROMPT_DIR));
}

// Dialog procedure of the disk prompt.
INT_PTR CALLBACK DiskPromptDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            BuildMessage(IDS_INSERT_DISK, SetupInfo.Pieces.Disk[PromptPiece],
                         SetupInfo.Pieces.File[PromptPiece]);
            SetDlgItemTextA(dialog, IDC_PROMPT_TEXT, MessageText);
            SetDlgItemTextA(dialog, IDC_PROMPT_DIR, SetupInfo.SourceDir);
            SendDlgItemMessageA(dialog, IDC_PROMPT_DIR, EM_SETSEL, 0, -1);
            SetFocus(GetDlgItem(dialog, IDC_PROMPT_DIR));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnPromptOk(dialog);
                    break;
                case IDC_PROMPT_EXIT:
                    CancelRequested = 1;
                    EndDialog(dialog, -1);
                    break;
                case IDCANCEL:
                    EndDialog(dialog, -1);
                    break;
                default:
                    break;
            }
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, -1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int OpenSourcePiece(HWND owner, int piece) {
    const int handle = OpenPieceAt(SetupInfo.SourceDir, piece);
    if (IsUnreadable(handle)) {
        ShowError(owner, LzErrorMessage(handle));
        return -1;
    }
    if (handle != -1) return handle;
    PromptPiece = piece;
    const INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_DISK_PROMPT), owner,
                                           DiskPromptDialog, 0);
    // 0 comes back when the owner is no window; no handle is ever 0.
    return result > 0 ? static_cast<int>(result) : -1;
}
