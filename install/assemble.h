// The one pipeline that builds every installed file from its pieces:
// plain concatenation, direct LZ expansion of a single compressed piece, or
// concatenation of compressed pieces into a temporary file then expansion.
#pragma once

#include <windows.h>

#include "common/text.h"

// The copy buffer, and so the chunk of the raw copy: one less than 32 KiB.
constexpr int kCopyChunk = 0x7FFF;

// Where an assembled file went.
struct AssembledFile {
    char Path[kPathLen];                  // directory joined with the first piece's File
    char QualifiedPath[OFS_MAXPATHNAME];  // the same, as the platform resolved it
};

// Builds the file named after the item's first piece in directory (made when
// missing, one level). 1 on success, with result (when not null) filled; 0
// on failure, when the user has been told why (unless the disk prompt was
// cancelled) and nothing made is left. A file that was at the destination
// before is replaced only on success. trace: write the trace lines.
int AssembleFile(HWND owner, const char* directory, int files, int firstPiece, int compressed,
                 int trace, AssembledFile* result);

// The same for an accessory file or a table of the catalogue.
template <typename Item>
int AssembleItem(HWND owner, const Item& item, int trace, AssembledFile* result) {
    return AssembleFile(owner, item.DstDir, item.Files, item.FirstPiece, item.Compressed, trace,
                        result);
}

// Appends all of source to output at its current position, in chunks of
// kCopyChunk. 0, or IDS_READ_ERROR, IDS_WRITE_ERROR, IDS_NO_MEMORY.
int CopyFileData(HFILE output, HFILE source);

// Puts work in the place of destination by renames alone, as on Windows 9x:
// the old file is moved aside, the work file renamed, and the old file put
// back when that fails. rename is MoveFileA but for tests.
using RenameProc = BOOL(WINAPI*)(LPCSTR, LPCSTR);
bool ReplaceByRenaming(const char* work, const char* destination, RenameProc rename);
