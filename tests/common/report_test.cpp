// The console programs' report: the code page's bytes where a console
// takes no wide text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/report.h"
#include "support/testutil.h"

namespace {

BOOL WINAPI NoWideText(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// A console that takes no wide text (the Windows 95 line) gets the code
// page's bytes.
TEST(Report, AConsoleWithoutWideTextGetsTheBytes) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    const auto wide = WriteConsoleWide;
    WriteConsoleWide = NoWideText;
    Say("%s", Ansi("第二片").c_str());
    WriteConsoleWide = wide;
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    wchar_t shown[16] = {};
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, shown, 11, COORD{0, 0}, &read);
    CloseHandle(console);
    FreeConsole();
    EXPECT_EQ(std::wstring(shown, read), L"qcheck: 第二片");
}

}  // namespace
