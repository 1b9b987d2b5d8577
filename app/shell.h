// The application shell's windows (app/windows.cpp), as start-up
// (app/main.cpp) uses them.
#pragma once

#include <windows.h>

// Bitmaps loaded by the window procedures when their windows are created,
// deleted by start-up's DestroyAllWindows. The window procedures end the
// message loop and start-up takes the windows down: nothing here calls
// back into start-up.
extern HBITMAP TileBitmap;
extern HBITMAP LogoBitmap;

constexpr char kMainClass[] = "qsetup";
constexpr char kBackdropClass[] = "qsetup-Bk";

// Window procedures of the two classes.
LRESULT CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Focus to the font list, the fonts into it, the first status text.
void PrepareMainDialog(HWND dialog);
