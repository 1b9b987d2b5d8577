// The checker's output: findings in the form compilers use, counted, and
// lines of its own, written so that a terminal or a pipe shows them right.
#pragma once

#include <windows.h>

enum Severity { kWarning, kError };

// Starts a report: nothing counted yet. Lines go to standard output.
void StartReport();

// A line of the checker's own, after "qcheck: ".
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One finding about a key of the description: "QUILL95.INI: [section] key:
// error: ...". Without a section, about the description as a whole.
void Report(Severity severity, const char* section, const char* key, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Writes wide text to a console: WriteConsoleW, which the Windows 95 line
// has only as a stub that fails; a test may put another in.
extern BOOL(WINAPI* WriteConsoleWide)(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID);

int Errors();
int Warnings();
