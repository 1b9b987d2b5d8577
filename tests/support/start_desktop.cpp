// Starts Wine's desktop process and keeps it up for a whole test run; ended
// with the wineserver. Started with no standard handles of the runner's, the
// desktop (and the folder windows it opens for Program Manager) can't hold
// ctest's output pipe open, as it would if a test program started it.
#include <windows.h>

int main() {
    if (!GetDesktopWindow()) return 1;
    // A window of our own keeps us among the desktop's users.
    CreateWindowExA(0, "STATIC", "keeps the desktop", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    GetModuleHandleA(nullptr), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
