// EUDC fonts: the file built into TargetDir, then linked to each of the
// font's face names under HKEY_CURRENT_USER\EUDC\950.
#pragma once

#include <windows.h>

// 1 when the file was built and every link written; 0 otherwise (the user
// has been told why).
int InstallFontItem(HWND owner, int index);

// 1 when the base font has no entry in the system's font list; 0 when it
// has one, or when the list can't be read.
int IsBaseFontMissing(const char* valueName);

