// What the layout program knows of the medium it makes: the disk format,
// the items of the layout file in the order a run installs them, and the
// pieces they are cut into. Read by every part; filled by the reading, the
// compression and the planning, in that order.
#pragma once

#include "common/text.h"
#include "install/run.h"
#include "setup/catalogue.h"

// What a disk gives files: each takes whole clusters and one entry in the
// root directory (more for a long name). Clusters 0: no limit (a CD).
// RootEntries 0: no limit.
struct DiskFormat {
    unsigned long ClusterBytes;
    unsigned long Clusters;
    int RootEntries;
};

// One item of the layout file.
struct SourceItem {
    ItemKind Kind;
    int Number;                // in its list, from 1
    char Name[kNameLen];
    char Source[kPathLen];     // the whole file, in full
    char FileName[kPathLen];   // its name: the first piece's and the installed file's
    unsigned long SourceBytes;
    int Compressed;            // 1 when the pieces are the LZ image; as the description says
    unsigned long Bytes;       // on the disks: the image's or the source's
    int FirstPiece;
    int Pieces;
};

// One piece of an item: its bytes Offset .. Offset + Bytes of the item's
// image or source, as the file Name on disk Disk (from 1).
struct PlannedPiece {
    int Item;
    int Disk;
    unsigned long Offset;
    unsigned long Bytes;
    char Name[kPathLen];
};

constexpr int kMaxLayoutItems = kMaxRunSteps;

// The keys of each kind of item, as the description has them.
struct KindKeys {
    const char* List;   // the section of the count and the names
    const char* Count;  // the count's key there
    const char* Word;   // each name's key, less its number
    const char* Files;  // the section of the items' own keys
    int Least;
    int Most;
};
const KindKeys& KeysOf(ItemKind kind);

// A key of the layout file that the description passes on as it stands:
// the size of the loader's buffer for it, whether it must be there, and
// whether it is a hexadecimal text. A font's face names are apart.
struct PassedKey {
    const char* Suffix;
    int Size;
    bool Required;
    bool Hex;
};
// The kind's passed keys, in the order the description gives them; their
// number in *count.
const PassedKey* PassedKeys(ItemKind kind, int* count);

struct LayoutModel {
    char LayoutPath[kPathLen];  // the layout file, in full
    char LayoutDir[kPathLen];   // its directory: relative paths start there
    char OutDir[kPathLen];      // in full, without a trailing backslash
    char WorkDir[kPathLen];     // OutDir\WORK, the compressed images while they are made
    DiskFormat Format;
    char Label[kDiskLen * 2];   // the pattern: %d stands for the disk's number
    char Setup[kPathLen];
    unsigned long SetupBytes;

    SourceItem Items[kMaxLayoutItems];
    int ItemCount;
    int Counts[3];  // items of each ItemKind

    PlannedPiece Pieces[kMaxPieces];
    int PieceCount;
    int DiskCount;
    unsigned long DescriptionBytes;  // QUILL95.INI as written
    bool OutDirMade;                 // the output directory is this run's
};

extern LayoutModel Layout;

// The item's LZ image in the work directory; false when the path does not
// fit.
bool ImagePath(int item, char (&path)[kPathLen]);

// The label of disk number disk (from 1): the pattern with each %d
// replaced by the number, never used as a format. false when it does not
// fit a label.
bool DiskLabel(int disk, char (&label)[kDiskLen]);

// The directory of disk number disk: OutDir\DISKn; false when it does not
// fit.
bool DiskDirectory(int disk, char (&path)[kPathLen]);
