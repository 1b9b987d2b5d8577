// Files of the platform's LZ library: the open-file record its own open
// goes through, handing a file to the library, the expansion checked whole,
// and the messages of its errors.
#pragma once

#include <windows.h>

// The longest full path the platform's open-file record holds; OpenFile
// and LZOpenFileA fail on a longer one.
constexpr int kRecordPathMax = OFS_MAXPATHNAME - 1;

// True when the full form of path fits the open-file record.
bool FitsRecord(const char* path);

// True when the file at path is in a compressed format of the library's
// (one it can expand, or one whose header it knows but not its method).
bool IsLzCompressed(const char* path);

// Hands an open plain file to the library: an LZ handle whose reads expand
// compressed data, or a negative LZ error, the file then closed.
int LzInitFile(HFILE file);

// Opens path for reading through the library, by its own open where the
// path fits the record and plain then LzInitFile where it does not. An LZ
// handle; -1 when the file can't be opened; another negative LZ error when
// the library can't read it.
int OpenLzFile(const char* path);

// LZCopy of all of source into destination, and a check that it wrote all
// the expanded data: the library copies a file of an unknown compression as
// nothing, and one cut short as far as it goes, and calls both a success.
// The bytes written, or a negative LZ error.
long ExpandAll(int source, HFILE destination);

// The message of a negative LZ result.
int LzErrorMessage(long code);
