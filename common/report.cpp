#include "common/report.h"

#include <windows.h>

#include "common/text.h"

namespace {

constexpr int kLineLen = 1024;

int ErrorCount = 0;
int WarningCount = 0;
char Program[16] = "qcheck";
char FileName[kPathLen] = "QUILL95.INI";

char Line[kLineLen];
wchar_t Wide[kLineLen];
wchar_t Shown[kLineLen];
char Bytes[kLineLen * 3];

// Under Wine a pipe or a file reaches a Linux program, which reads UTF-8;
// Windows readers of a pipe expect the ANSI code page.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Shown = Wide with every control character (C0, DEL, C1) as \xNN, so that
// no name of the description can move the cursor or change the terminal.
void ShowControlsAsText() {
    static const char kHex[] = "0123456789ABCDEF";
    int out = 0;
    for (const wchar_t* p = Wide; *p != L'\0' && out < kLineLen - 5; ++p) {
        const wchar_t c = *p;
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            Shown[out++] = L'\\';
            Shown[out++] = L'x';
            Shown[out++] = static_cast<wchar_t>(kHex[(c >> 4) & 0xF]);
            Shown[out++] = static_cast<wchar_t>(kHex[c & 0xF]);
        } else {
            Shown[out++] = c;
        }
    }
    Shown[out] = L'\0';
}

// Writes Line and a line end. Measured under Wine 8 with code page 950:
// a terminal is a console, which shows WriteConsoleW's text right (the C
// run-time's printf there comes out byte by byte, as Latin-1); a pipe
// gets the bytes unchanged, Big5, which a Linux terminal can't read.
// So: the console gets wide text; a pipe or file gets UTF-8 under Wine and
// the ANSI bytes, with CR LF, elsewhere, as does a console that takes no
// wide text (Windows 95, 98 and Me).
void WriteLine() {
    if (MultiByteToWideChar(CP_ACP, 0, Line, -1, Wide, kLineLen) == 0) Wide[0] = L'\0';
    ShowControlsAsText();
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    const bool console = GetConsoleMode(out, &mode) != FALSE;
    if (console && WriteConsoleWide(out, Shown, lstrlenW(Shown), &written, nullptr) &&
        WriteConsoleWide(out, L"\n", 1, &written, nullptr))
        return;
    const bool wine = UnderWine() && !console;
    int n = WideCharToMultiByte(wine ? CP_UTF8 : CP_ACP, 0, Shown, -1, Bytes,
                                static_cast<int>(sizeof Bytes) - 2, nullptr, nullptr);
    n = n > 0 ? n - 1 : 0;
    if (!wine) Bytes[n++] = '\r';
    Bytes[n++] = '\n';
    WriteFile(out, Bytes, static_cast<DWORD>(n), &written, nullptr);
}

// Line, begun, ends with format and its values, and is written.
void WriteFormatted(const char* format, va_list args) {
    char text[kLineLen];
    FormatTextArgs(text, format, args);
    AppendText(Line, text);
    WriteLine();
}

}  // namespace

BOOL(WINAPI* WriteConsoleWide)(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID) = WriteConsoleW;

void StartReport(const char* program, const char* file) {
    ErrorCount = 0;
    WarningCount = 0;
    CopyText(Program, program);
    CopyText(FileName, file);
}

void Say(const char* format, ...) {
    FormatText(Line, "%s: ", Program);
    va_list args;
    va_start(args, format);
    WriteFormatted(format, args);
    va_end(args);
}

void Report(Severity severity, const char* section, const char* key, const char* format, ...) {
    if (section != nullptr)
        FormatText(Line, "%s: [%s] %s: ", FileName, section, key);
    else
        FormatText(Line, "%s: ", FileName);
    AppendText(Line, severity == kError ? "error: " : "warning: ");
    (severity == kError ? ErrorCount : WarningCount) += 1;
    va_list args;
    va_start(args, format);
    WriteFormatted(format, args);
    va_end(args);
}

int Errors() { return ErrorCount; }
int Warnings() { return WarningCount; }
