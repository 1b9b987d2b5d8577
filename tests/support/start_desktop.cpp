// Starts Wine's desktop process and exits. Run first, with no standard
// handles, so that the desktop (and the folder windows it later opens for
// Program Manager) can't hold the test runner's output pipe open.
#include <windows.h>

int main() { return GetDesktopWindow() ? 0 : 1; }
