// The medium as the checker sees it: the loaded catalogue's items of every
// kind alike, and the disks the pieces name with the directory each was
// given. Every part of the check reads it; only the disk matching writes
// the disks.
#pragma once

#include "common/text.h"
#include "install/run.h"

// One item of the catalogue with what its checks need.
struct ItemView {
    ItemKind Kind;
    const char* ListSection;  // [Misc], [Fonts], [Tbls]: the count and names
    const char* Word;         // its name's key there, less the number
    const char* Section;      // its "... Files" section
    const char* Name;
    const char* DstDir;  // a font's is the destination the user gives
    int Files;
    int FirstPiece;
    int Compressed;  // 0 for a font: never expanded
};
ItemView ViewOf(ItemKind kind, int index);

// The steps of a run with every font selected, in its order: the count.
int EveryStep(RunStep (&steps)[kMaxRunSteps]);

// The item whose run holds piece (in the order the loader read them), and
// the piece's number k within it, from 1.
ItemView OwnerOf(int piece, int* k);

// The pieces the catalogue's items use: entries 0 .. UsedPieces() - 1.
int UsedPieces();

// The disks: each label the pieces use once (labels that differ only in
// letter case or blanks are one disk), in the order they first come.
int DiskCount();
const char* DiskName(int disk);
// The directory of a disk, or null when none was given for it.
const char* DiskDir(int disk);
// The disk of a label, or -1.
int DiskOf(const char* label);
// A new disk of that label, without a directory: its number.
int AddDisk(const char* label);
void SetDiskDir(int disk, const char* dir);
void ForgetDisks();

// Bytes the compressed items expanded to.
extern unsigned long long ExpandedBytes;
