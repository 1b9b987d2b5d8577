// The arithmetic of a medium: what a disk format gives files, and the
// cutting of the items into pieces that fill each disk in turn.
#pragma once

#include "layout/model.h"

// The format a DiskSize names: 1.44M, 1.2M, 720K or 360K (a FAT12 floppy),
// CD (one disk, nothing cut), in any letter case, or a number of bytes
// (that many bytes of files). false for anything else.
bool ParseDiskSize(const char* text, DiskFormat* format);

// The clusters a file of that many bytes takes.
unsigned long ClustersOf(const DiskFormat& format, unsigned long bytes);

// The root entries a file of that name takes: one for an 8.3 name in
// capitals, and one more for each 13 characters of any other (its long
// name, as Windows 95 and mtools write it).
int EntriesOf(const char* name);

enum PlanResult { kPlanned, kNoRoomOnDisk1, kTooManyPieces };

// Cuts every item of Layout, in its order, into pieces that fill each disk
// in turn, disk 1 after SETUP.EXE and a description of descriptionBytes:
// fills the pieces, each item's run of them, and DiskCount. A piece after
// an item's first gets an 8.3 name of its own, unique on the medium.
// kTooManyPieces names the item that passes kMaxPieces in *item.
PlanResult PlanPieces(unsigned long descriptionBytes, int* item);
