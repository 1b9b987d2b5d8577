// Starts Wine's desktop process and keeps it up for a whole test run; ended
// with the wineserver. Started with no standard handles of the runner's, the
// desktop (and the folder windows it opens for Program Manager) can't hold
// ctest's output pipe open, as it would if a test program started it.
#include <windows.h>

//   start_desktop READY_FILE: the file is made once the desktop is up.
int main(int argc, char** argv) {
    if (!GetDesktopWindow()) return 1;
    // A window of our own keeps us among the desktop's users.
    CreateWindowExA(0, "STATIC", "keeps the desktop", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    GetModuleHandleA(nullptr), nullptr);
    if (argc > 1) {
        HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
