// Input-method tables: the file built into its DstDir, then recorded under
// the table's own key below HKEY_CURRENT_USER.
#pragma once

#include <windows.h>

// 1 when the file was built and all its values written; 0 otherwise (the
// user has been told why).
int InstallTableItem(HWND owner, int index);
