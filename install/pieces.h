// Source pieces: opened from SourceDir, or through the disk prompt when
// they are not there.
#pragma once

#include <windows.h>

// 1: pieces are opened through the LZ library, so reading them expands
// them; 0: as plain files. Set by the assembly before each item.
extern int UseLzSource;
// The piece the open prompt asks for.
extern int PromptPiece;
// Set by the prompt's Exit button; the install run resets and tests it.
extern int CancelRequested;

// Opens piece (a PieceTable index) in directory for reading, as UseLzSource
// says, without asking for its disk: a handle; -1 when the file can't be
// opened; or, for a file that opened but that the LZ library can't read (an
// unknown compression, say), its negative error code.
int OpenPieceAt(const char* directory, int piece);

// Opens piece (a PieceTable index) for reading, asking for its disk when it
// is not in SourceDir. Returns a plain or an LZ handle (as UseLzSource says;
// close it with _lclose or LZClose to match), or -1 when the user cancelled.
int OpenSourcePiece(HWND owner, int piece);

