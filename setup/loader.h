// Reads the setup description QUILL95.INI, beside the program, into the
// catalogue. Returns 0, or the string identifier of what went wrong:
// IDS_SYSTEM_ERROR (5), IDS_NO_SETUP_FILE (10), IDS_BAD_SETUP_FILE (11).
#pragma once

int LoadSetupInfo();

// The two halves of LoadSetupInfo, for callers that know the program's path.
// Sets every directory of the catalogue from the program's file name and the
// platform; returns 0 or IDS_SYSTEM_ERROR.
int InitSetupDirs(const char* moduleFileName);
// Checks that SetupInfo.SetupFilePath exists and reads it into the item
// tables; returns 0, IDS_NO_SETUP_FILE or IDS_BAD_SETUP_FILE.
int ReadSetupDescription();
