// QLAYOUT.EXE, the layout program: a console program.
#include <windows.h>

#include "common/path.h"
#include "layout/layout.h"

int main(int argc, char** argv) {
    // SETUP.EXE and QCHECK.EXE are its neighbours.
    char dir[kPathLen];
    const DWORD n = GetModuleFileNameA(nullptr, dir, kPathLen);
    char* slash = n > 0 && n < static_cast<DWORD>(kPathLen) ? FindLastBackslash(dir) : nullptr;
    if (slash != nullptr)
        *slash = '\0';
    else
        dir[0] = '\0';
    return RunLayout(argc, argv, dir);
}
