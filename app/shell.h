// The application shell: start-up, the two windows, the About box.
#pragma once

#include <windows.h>

// Bitmaps loaded by the window procedures when their windows are created,
// deleted by DestroyAllWindows.
extern HBITMAP TileBitmap;
extern HBITMAP LogoBitmap;

constexpr char kMainClass[] = "qsetup";
constexpr char kBackdropClass[] = "qsetup-Bk";

// Registers both classes; nonzero when the backdrop's class was registered.
BOOL RegisterClasses(HINSTANCE instance);
// Loads the description and brings up the windows; 1 when they are up.
BOOL InitInstance(HINSTANCE instance, HINSTANCE previous);
// Destroys both windows and deletes both bitmaps; the loop then ends.
void DestroyAllWindows();

// Window procedures of the two classes.
LRESULT CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Focus to the font list, the fonts into it, the first status text.
void PrepareMainDialog(HWND dialog);
// The catalogue's fonts into list 202, in catalogue order.
void FillFontList(HWND dialog);
// Copies the whole bitmap to (x, y) of dc.
void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap);
