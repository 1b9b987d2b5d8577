// Program-wide handles, set once by start-up and read wherever a message box
// needs an owner or a text goes to the status line.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;  // every resource is loaded from it
extern HWND MainDialog;        // the modeless main dialog, 0 until created
extern HWND Backdrop;          // the full-screen backdrop, 0 until created
