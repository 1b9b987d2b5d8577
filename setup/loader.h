// Reads the setup description QUILL95.INI, beside the program, into the
// catalogue. Returns 0, or the string identifier of what went wrong:
// IDS_SYSTEM_ERROR (5), IDS_NO_SETUP_FILE (10), IDS_BAD_SETUP_FILE (11).
#pragma once

#include <stdint.h>

#include "common/text.h"

int LoadSetupInfo();

// The two halves of LoadSetupInfo, for callers that know the program's path.
// Sets every directory of the catalogue from the program's file name and the
// platform; returns 0 or IDS_SYSTEM_ERROR.
int InitSetupDirs(const char* moduleFileName);
// Checks that SetupInfo.SetupFilePath exists and reads it into the item
// tables; returns 0, IDS_NO_SETUP_FILE or IDS_BAD_SETUP_FILE.
int ReadSetupDescription();

// Why a value made the description wrong.
enum ProblemWhy : int32_t {
    kProblemMissing = 1,  // the key is not there
    kProblemEmpty,        // there, with nothing after the equals sign
    kProblemNotNumber,    // a count that does not begin with a digit
    kProblemOutOfRange,   // a count of 0 where one is needed, or below 0
    kProblemTooMany,      // a count past its limit, or past the shared table
};

// The value that made the load return IDS_BAD_SETUP_FILE, as the loader
// asked for it; only then is it set. Kept for the medium checker: the
// setup itself shows IDS_BAD_SETUP_FILE and nothing more.
struct LoadProblem {
    char Section[16];
    char Key[kNameLen + 32];
    int32_t Why;
};
extern LoadProblem SetupProblem;

// A Mode or Layout text is read into this many bytes: 8 characters.
constexpr int kHexTextLen = 9;

// A Mode or Layout text as the loader converts it, as "%lx" does: an
// optional sign and 0x, hexadecimal digits in either case, reading stopping
// at the first other character, which *end is set to.
uint32_t HexValue(const char* text, const char** end);

// The key names the loader asks for: word and number ("Item3"); an item's
// name, a blank and suffix ("Viewer DstDir"), and k when given ("Viewer
// File2"). Each returns the same buffer, which the next call overwrites.
const char* NumberKey(const char* word, int n);
const char* ItemKey(const char* name, const char* suffix);
const char* ItemKey(const char* name, const char* suffix, int k);
