#include "common/proc.h"

RunTimeCalls& RunTime() {
    static RunTimeCalls calls;
    static bool bound = false;
    if (!bound) {
        bound = true;
        Binding kernel = Binding::Found;
        calls.DiskFreeSpaceEx =
            BindProc<decltype(calls.DiskFreeSpaceEx)>("KERNEL32.DLL", "GetDiskFreeSpaceExA", &kernel);
        calls.MoveFileReplacing =
            BindProc<decltype(calls.MoveFileReplacing)>("KERNEL32.DLL", "MoveFileExA", &kernel);
        calls.EnableEudc =
            BindProc<decltype(calls.EnableEudc)>("GDI32.DLL", "EnableEUDC", &calls.EnableEudcBinding);
        calls.ProgmanService = "PROGMAN";
    }
    return calls;
}
