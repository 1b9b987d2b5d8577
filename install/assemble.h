// The one pipeline that builds every installed file from its pieces:
// plain concatenation, direct LZ expansion of a single compressed piece, or
// concatenation of compressed pieces into a temporary file then expansion.
#pragma once

#include <windows.h>

#include "common/text.h"

// The copy buffer, and so the chunk of the raw copy: one less than 32 KiB.
constexpr int kCopyChunk = 0x7FFF;

// How an item's pieces become its file: appended as they are; one
// compressed piece expanded; compressed pieces joined in a temporary file,
// which is then expanded.
enum AssemblyMode { kConcatenate = 1, kExpandDirect = 2, kConcatenateThenExpand = 3 };
AssemblyMode ModeOf(int files, int compressed);

// Why an item's file can't be built where it is to go, before anything is
// made or asked for (IDS_CANT_CREATE_FILE names the joined path).
enum DestinationProblem {
    kDestinationOk = 0,
    kDestinationCut,         // directory and file name do not fit a path
    kDestinationNotFull,     // the directory is not a full path
    kDestinationOnMedium,    // the program's or the source directory
    kDestinationPastRecord,  // longer than the open-file record holds
};
// path: directory joined with the first piece's File, as far as it fits.
DestinationProblem CheckDestination(const char* directory, int firstPiece, char (&path)[kPathLen]);

// What the pipeline asks of its caller: each piece opened (a handle as
// UseLzSource says, or -1 when it can't be had: the caller has said why,
// or the user cancelled), and a failure said (a message and its value).
struct PieceSource {
    int (*Open)(int piece, void* context);
    void (*Fail)(int message, const char* value, void* context);
    void* Context;
};

// Writes the item's pieces into output as mode says, each opened by source
// and closed here; for joined compressed pieces through a temporary file in
// the system's temporary directory, which goes again. 1 when all of it was
// written; 0 when a piece or the expansion failed (said through source, or
// cancelled); -1 when the temporary file could not be made (said), and
// nothing was written. trace: the temporary file's trace lines.
int WritePieces(AssemblyMode mode, int files, int firstPiece, HFILE output,
                const PieceSource& source, int trace);

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
