#include "common/proc.h"

RunTimeCalls& RunTime() {
    static RunTimeCalls calls;
    static bool bound = false;
    if (!bound) {
        bound = true;
        calls.DiskFreeSpaceEx =
            BindProc<decltype(calls.DiskFreeSpaceEx)>("KERNEL32.DLL", "GetDiskFreeSpaceExA");
        calls.MoveFileReplacing =
            BindProc<decltype(calls.MoveFileReplacing)>("KERNEL32.DLL", "MoveFileExA");
        calls.EnableEudc =
            BindProc<decltype(calls.EnableEudc)>("GDI32.DLL", "EnableEUDC", &calls.EnableEudcBinding);
        calls.ProgmanService = kProgman;
    }
    return calls;
}
