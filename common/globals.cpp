#include "common/globals.h"

HINSTANCE AppInstance = nullptr;
HWND MainDialog = nullptr;
HWND Backdrop = nullptr;
