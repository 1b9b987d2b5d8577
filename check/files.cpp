// The pieces of a medium, opened as SETUP.EXE opens them: each on the disk
// its key names, a font's pieces against its Size, a compressed item's
// pieces expanded by the LZ library; and two items that write one file.
#include <windows.h>
// after windows.h, which it needs
#include <lzexpand.h>

#include "check/check.h"
#include "check/disks.h"
#include "check/report.h"
#include "common/messages.h"
#include "install/assemble.h"
#include "install/lzfile.h"
#include "install/pieces.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// The disk each piece was found on, or -1.
int FoundOn[kMaxPieces];

// Opens piece on disk as SETUP.EXE would (through the LZ library for a
// compressed item of one piece, as lz says): a handle, -1 when it is not
// there, or another negative LZ error when the library can't read it.
int OpenPiece(int piece, int disk, int lz) {
    UseLzSource = lz;
    return OpenPieceAt(DiskDir(disk), piece);
}

void ClosePiece(int handle, int lz) {
    if (handle < 0) return;
    if (lz)
        LZClose(handle);
    else
        _lclose(handle);
}

bool PieceOn(int piece, int disk, int lz) {
    if (DiskDir(disk) == nullptr) return false;
    const int handle = OpenPiece(piece, disk, lz);
    ClosePiece(handle, lz);
    return handle != -1;
}

// Each piece on the disk its key names, or on another; FoundOn says where.
void LocatePieces(const char* section, const char* name, int firstPiece, int files, int lz) {
    for (int k = 1; k <= files; ++k) {
        const int piece = firstPiece + k - 1;
        const int disk = DiskOf(SetupInfo.Pieces.Disk[piece]);
        FoundOn[piece] = -1;
        if (DiskDir(disk) == nullptr) continue;  // said when the disks were matched
        if (PieceOn(piece, disk, lz)) {
            FoundOn[piece] = disk;
            continue;
        }
        for (int other = 0; other < DiskCount() && FoundOn[piece] < 0; ++other)
            if (other != disk && PieceOn(piece, other, lz)) FoundOn[piece] = other;
        const char* file = SetupInfo.Pieces.File[piece];
        if (FoundOn[piece] >= 0)
            Report(kError, section, ItemKey(name, "Disk", k),
                   "%s is not on \"%s\" (%s); it is on \"%s\"", file, DiskName(disk), DiskDir(disk),
                   DiskName(FoundOn[piece]));
        else
            Report(kError, section, ItemKey(name, "Disk", k),
                   "%s is not on \"%s\" (%s), nor on any other disk", file, DiskName(disk),
                   DiskDir(disk));
    }
}

bool AllFound(int firstPiece, int files) {
    for (int piece = firstPiece; piece < firstPiece + files; ++piece)
        if (FoundOn[piece] < 0) return false;
    return true;
}

// The bytes of a font's pieces against its Size, in kilobytes: the free
// space check adds up the Sizes.
void CheckFontSize(const FontItem& font) {
    if (!AllFound(font.FirstPiece, font.Files)) return;
    long long bytes = 0;
    for (int piece = font.FirstPiece; piece < font.FirstPiece + font.Files; ++piece) {
        const int handle = OpenPiece(piece, FoundOn[piece], 0);
        if (handle < 0) return;
        const long length = _llseek(handle, 0, FILE_END);
        _lclose(handle);
        if (length < 0) return;
        bytes += length;
    }
    const long long kb = (bytes + 1023) / 1024;
    if (font.Size < kb)
        Report(kWarning, "Font Files", ItemKey(font.Name, "Size"),
               "%d understates the font: its pieces hold %lld bytes (%lld KB), so the free-space "
               "check passes too easily",
               static_cast<int>(font.Size), bytes, kb);
}

// A file in the system's temporary directory, made by Make and removed at
// the end of its scope.
struct TempFile {
    char Name[kPathLen] = "";
    HFILE Handle = HFILE_ERROR;
    TempFile() = default;
    bool Make() {
        char directory[kPathLen];
        const DWORD n = GetTempPathA(kPathLen, directory);
        if (n == 0 || n >= static_cast<DWORD>(kPathLen) ||
            GetTempFileNameA(directory, "qck", 0, Name) == 0) {
            Name[0] = '\0';
            return false;
        }
        Handle = _lcreat(Name, 0);
        return Handle != HFILE_ERROR;
    }
    ~TempFile() {
        Close();
        if (Name[0] != '\0') DeleteFileA(Name);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    void Close() {
        if (Handle != HFILE_ERROR) _lclose(Handle);
        Handle = HFILE_ERROR;
    }
};

// The LZ handle of the item's compressed image: its one piece opened
// through the library, or its pieces joined in joined and that opened so.
// A negative LZ error when it can't be had; -1 also when the pieces can't
// be joined (message, then, in *message).
int OpenImage(const FileItem& item, TempFile& joined, int* message) {
    if (item.Files == 1) return OpenPiece(item.FirstPiece, FoundOn[item.FirstPiece], 1);
    if (!joined.Make()) {
        *message = IDS_CANT_CREATE_TEMP;
        return -1;
    }
    for (int piece = item.FirstPiece; piece < item.FirstPiece + item.Files; ++piece) {
        const int handle = OpenPiece(piece, FoundOn[piece], 0);
        *message = handle < 0 ? IDS_READ_ERROR : CopyFileData(joined.Handle, handle);
        ClosePiece(handle, 0);
        if (*message != 0) return -1;
    }
    joined.Close();
    return OpenLzFile(joined.Name);
}

// The pieces of a compressed item, joined as SETUP.EXE joins them,
// expanded by the LZ library into a temporary file.
void CheckExpansion(const FileItem& item) {
    if (!AllFound(item.FirstPiece, item.Files)) return;
    TempFile joined, expanded;
    int message = 0;
    const int image = OpenImage(item, joined, &message);
    long written = image;
    if (image >= 0) {
        written = expanded.Make() ? ExpandAll(image, expanded.Handle) : LZERROR_BADOUTHANDLE;
        LZClose(image);
    }
    if (written >= 0) {
        ExpandedBytes += written;
        return;
    }
    if (message == 0) message = LzErrorMessage(written);
    Report(kError, item.Section, ItemKey(item.Name, "Compressed"),
           "the LZ library can't expand the %s (error %ld): SETUP.EXE shows message %d, \"%s\"",
           item.Files == 1 ? "piece" : "joined pieces", written, message,
           BuildMessage(message, joined.Name));
}

}  // namespace

void CheckPieces() {
    for (int i = 0; i < FileItemCount(); ++i) {
        const FileItem item = FileItemAt(i);
        const int lz = item.Compressed && item.Files == 1 ? 1 : 0;
        LocatePieces(item.Section, item.Name, item.FirstPiece, item.Files, lz);
        if (item.Compressed) CheckExpansion(item);
    }
    for (int i = 0; i < SetupInfo.FontCount; ++i) {
        const FontItem& font = SetupInfo.FontItems[i];
        LocatePieces("Font Files", font.Name, font.FirstPiece, font.Files, 0);
        CheckFontSize(font);
    }
    UseLzSource = 0;
}

void CheckDestinations() {
    // Accessory files and tables each in their own directory.
    for (int i = 0; i < FileItemCount(); ++i) {
        const FileItem item = FileItemAt(i);
        char path[kPathLen];
        if (!Destination(item, path)) continue;
        for (int j = 0; j < i; ++j) {
            const FileItem earlier = FileItemAt(j);
            char other[kPathLen];
            if (!Destination(earlier, other) || lstrcmpiA(path, other) != 0) continue;
            Report(kError, item.Section, ItemKey(item.Name, "File", 1),
                   "%s is written by \"%s\" [%s] too: one item overwrites the other", path,
                   earlier.Name, earlier.Section);
            break;
        }
    }
    // Fonts all in the one destination the user gives.
    for (int i = 0; i < SetupInfo.FontCount; ++i) {
        const FontItem& font = SetupInfo.FontItems[i];
        for (int j = 0; j < i; ++j) {
            const FontItem& earlier = SetupInfo.FontItems[j];
            if (lstrcmpiA(SetupInfo.Pieces.File[font.FirstPiece],
                          SetupInfo.Pieces.File[earlier.FirstPiece]) != 0)
                continue;
            Report(kError, "Font Files", ItemKey(font.Name, "File", 1),
                   "%s is the file of font \"%s\" too: in the fonts' directory one overwrites "
                   "the other",
                   SetupInfo.Pieces.File[font.FirstPiece], earlier.Name);
            break;
        }
    }
}
