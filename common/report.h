// The console programs' output: findings about a file in the form
// compilers use, counted, and lines of the program's own, written so that a
// terminal, a pipe and the oldest Windows' console all show them right.
#pragma once

#include <windows.h>

enum Severity { kWarning, kError };

// Starts a report: nothing counted yet. The program's own lines begin
// "program: ", its findings "file: ". Lines go to standard output.
void StartReport(const char* program = "qcheck", const char* file = "QUILL95.INI");

// A line of the program's own, after "program: ".
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One finding about a key of the file: "file: [section] key: error: ...".
// Without a section, about the file as a whole.
void Report(Severity severity, const char* section, const char* key, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Writes wide text to a console: WriteConsoleW, which the Windows 95 line
// has only as a stub that fails; a test may put another in.
extern BOOL(WINAPI* WriteConsoleWide)(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID);

int Errors();
int Warnings();
