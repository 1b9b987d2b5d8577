#include "common/messages.h"

#include <stdarg.h>

#include "common/globals.h"
#include "common/path.h"
#include "res/texts.h"

char Caption[kMessageLen];
char LoadedText[kMessageLen];
char MessageText[kMessageLen];

namespace {

// The style of every warning: one button, the exclamation icon, and the
// whole program waits for it.
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;

// The format is the program's own string-table text, never data; a cut
// leaves no half character at the end of what the user reads.
void FormatLoaded(const char* format, va_list args) {
    if (!FormatTextArgs(MessageText, format, args)) DropPartialCharacter(MessageText);
}

void FormatLoadedWith(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatLoaded(format, args);
    va_end(args);
}

}  // namespace

void LoadCaption() {
    if (LoadStringA(AppInstance, IDS_CAPTION, Caption, kMessageLen) <= 0)
        CopyText(Caption, kFallbackCaption);
}

int LoadMessage(int id) {
    int n = LoadStringA(AppInstance, static_cast<UINT>(id & 0xFFFF), LoadedText, kMessageLen);
    if (n <= 0) {
        LoadedText[0] = '\0';
        return 0;
    }
    return n;
}

namespace {

// String id formatted with args into MessageText; false without the string.
bool BuildMessageV(int id, va_list args) {
    if (LoadMessage(id) <= 0) {
        MessageText[0] = '\0';
        return false;
    }
    FormatLoaded(LoadedText, args);
    return true;
}

}  // namespace

const char* BuildMessage(int id, ...) {
    va_list args;
    va_start(args, id);
    BuildMessageV(id, args);
    va_end(args);
    return MessageText;
}

int ShowMessageText(HWND owner, const char* title, UINT style) {
    return MessageBoxA(owner, MessageText, title, style);
}

void ShowError(HWND owner, int id, ...) {
    va_list args;
    va_start(args, id);
    // A missing entry is our own fault; still say something useful.
    if (!BuildMessageV(id, args)) FormatText(MessageText, kMissingMessage, id & 0xFFFF);
    va_end(args);
    MessageBeep(MB_ICONEXCLAMATION);
    ShowMessageText(owner, Caption, kWarning);
}

namespace {

void ShowFormattedV(HWND owner, const char* title, UINT style, const char* format, va_list args) {
    FormatLoaded(format, args);
    ShowMessageText(owner, title, style);
}

}  // namespace

void ShowDiagnostic(HWND owner, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowFormattedV(owner, Caption, kWarning, format, args);
    va_end(args);
}

void ShowFormatted(HWND owner, const char* title, UINT style, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowFormattedV(owner, title, style, format, args);
    va_end(args);
}

void SetStatus(int id, const char* value) {
    if (LoadMessage(id) > 0)
        FormatLoadedWith(LoadedText, value ? value : "");
    else
        MessageText[0] = '\0';
    SetDlgItemTextA(MainDialog, IDC_STATUS, MessageText);
}

void ClearStatus() {
    SetDlgItemTextA(MainDialog, IDC_STATUS, "");
}

void SetBusy(int busy) {
    UpdateWindow(MainDialog);
    SetCursor(LoadCursorA(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}
