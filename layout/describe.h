// QUILL95.INI as the plan makes it: the layout's sections and keys, each
// item's pieces and disks in place of its source, a font's Size.
#pragma once

#include <windows.h>

// Writes the description to file in the code page's bytes with CR LF line
// ends, the layout's values byte for byte; with HFILE_ERROR only counts
// them. The bytes, or -1 when a write failed.
long WriteDescription(HFILE file);
