// The compressed format the platform's LZ library expands (SZDD, method A):
// a 14-byte header, then groups of up to eight tokens behind a flag byte,
// each a literal byte or a two-byte reference to 3 to 18 earlier bytes in a
// 4096-byte ring that starts out filled with blanks. The library only
// expands; this is the project's own compressor.
#pragma once

#include <windows.h>

// Compresses the length bytes of source, from its current position, into
// output at its current position. lastChar is the last character of the
// file's name, which the header keeps for the tools that rename such files.
// The bytes written, or -1 when a read or a write failed. With output
// HFILE_ERROR nothing is written and the bytes are only counted.
long LzCompress(HFILE source, unsigned long length, HFILE output, char lastChar);
