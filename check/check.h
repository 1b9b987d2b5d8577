// The medium checker: the description read by the loader SETUP.EXE uses,
// every piece opened and every compressed item expanded by the install
// layer's own routines, so that it can't disagree with SETUP.EXE on what a
// medium means. It writes nothing on the medium.
#pragma once

#include "common/text.h"

// The program: QCHECK DISK1 [DIR | NAME=DIR]... 0 when the medium is clean,
// 1 for warnings only, 2 for errors (or when it could not be checked).
int RunCheck(int argc, char** argv);

// The pieces the catalogue's items use: entries 0 .. UsedPieces() - 1.
int UsedPieces();

// A file item of the catalogue, accessory file or table, by one index:
// the accessory files first.
struct FileItem {
    const char* Section;  // its "... Files" section
    const char* Name;
    const char* DstDir;
    int Files;
    int FirstPiece;
    int Compressed;
};
int FileItemCount();
FileItem FileItemAt(int index);

// The file that item builds, as a full path; false when SETUP.EXE would
// refuse to build it there (too long, or not a full path).
bool Destination(const FileItem& item, char (&path)[kPathLen]);

// The parts of a check, run in this order once the description is loaded.
void ReportLoadProblem();  // the loader's SetupProblem, when it refused
void CheckTexts();         // what SETUP.EXE would make of each text
void CheckPieces();        // each piece on its disk; sizes; expansion
void CheckDestinations();  // two items that write one file

// Bytes the compressed items expanded to.
extern long long ExpandedBytes;
