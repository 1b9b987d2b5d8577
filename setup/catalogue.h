// The install catalogue: everything the program knows about what to install
// and where. One static instance, filled once by the loader; afterwards only
// SourceDir, TargetDir and LinkDir change. Items are known by their index.
#pragma once

#include <stdint.h>

#include "common/text.h"

constexpr int kMaxMiscItems = 40;
constexpr int kMaxFontItems = 120;
constexpr int kMaxTableItems = 40;
constexpr int kMaxPieces = 120;     // shared by the items of all three kinds
constexpr int kMaxFaceNames = 120;  // shared by all fonts

// An accessory file.
struct MiscItem {
    char Group[kNameLen];  // Program Manager group; empty: no item made
    char Name[kNameLen];
    char DstDir[kPathLen];
    int32_t Files;
    int32_t FirstPiece;
    int32_t Compressed;
    int32_t GroupCut;  // the description's Group did not fit: no item made
};

// An EUDC font. Its pieces are always concatenated, never expanded.
struct FontItem {
    char Name[kNameLen];
    int32_t Files;
    int32_t FirstPiece;
    int32_t Size;             // kilobytes, for the free-space check
    char FontName[kNameLen];  // the base font's entry in the system font list
    int32_t AFiles;
    int32_t FirstAFontName;
};

// An input-method table.
struct TableItem {
    char Name[kNameLen];
    char DstDir[kPathLen];
    int32_t Files;
    int32_t FirstPiece;
    int32_t Compressed;
    char UserKey[kNameLen];  // under HKEY_CURRENT_USER; empty: not recorded
    int32_t UserKeyCut;      // UserKey did not fit: not recorded
    uint32_t Mode;
    int32_t HasMode;
    uint32_t Layout;
    int32_t HasLayout;
};

// The source pieces of all items. An item's pieces are the run FirstPiece
// .. FirstPiece + Files - 1; the first one's File names the destination.
struct PieceTable {
    char File[kMaxPieces][kPathLen];
    char Disk[kMaxPieces][kDiskLen];
};

struct SetupCatalogue {
    char ModuleDir[kPathLen];
    char SystemDir[kPathLen];
    char WindowsDir[kPathLen];
    char FontsDir[kPathLen];
    char SourceDir[kPathLen];
    char TargetDir[kPathLen];
    char LinkDir[kPathLen];
    char SetupFilePath[kPathLen];

    int32_t MiscCount;
    int32_t FontCount;
    int32_t TableCount;
    MiscItem MiscItems[kMaxMiscItems];
    FontItem FontItems[kMaxFontItems];
    TableItem TableItems[kMaxTableItems];

    PieceTable Pieces;
    char AFontNameTable[kMaxFaceNames][kPathLen];
};

extern SetupCatalogue SetupInfo;
