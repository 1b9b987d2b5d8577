// What the user reads: warning boxes built from the string table, the status
// line of the main dialog, and the wait cursor.
#pragma once

#include <windows.h>

#include "common/text.h"
#include "res/resource.h"

// Title of every message box; IDS_CAPTION, or a fixed English fallback.
extern char Caption[kMessageLen];
// The two shared buffers: the loaded string (a format) and the formatted
// text. Every message overwrites them.
extern char LoadedText[kMessageLen];
extern char MessageText[kMessageLen];

// Fills Caption from the string table, or with the fallback.
void LoadCaption();

// Loads string id (low 16 bits) into LoadedText; returns its length, 0 when
// the table has no such entry.
int LoadMessage(int id);

// Loads string id and formats it with the values that follow into
// MessageText; returns MessageText (empty when there is no such string).
const char* BuildMessage(int id, ...);

// The one place a box is shown: MessageText, with title and style; the
// button pressed.
int ShowMessageText(HWND owner, const char* title, UINT style);

// Warning box: string id formatted with the values that follow, the
// exclamation icon, a beep, task-modal, Caption as title. owner may be null.
void ShowError(HWND owner, int id, ...);

// A diagnostic box of the program's own wording (English, or Big5 bytes
// in the code): formatted, no string table, no beep; otherwise as ShowError.
void ShowDiagnostic(HWND owner, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The same with its own title and style.
void ShowFormatted(HWND owner, const char* title, UINT style, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Status line (IDC_STATUS of the main dialog): string id formatted with
// its one value; pass "" where the string has no placeholder.
void SetStatus(int id, const char* value);
void ClearStatus();

// Nonzero: the wait cursor, after painting what is pending in the main
// dialog. Zero: the arrow. No nesting count.
void SetBusy(int busy);
