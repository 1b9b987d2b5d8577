// The pieces of a medium, opened as SETUP.EXE opens them: each on the disk
// its key names, a font's pieces against its Size, a compressed item built
// by the assembly's own pipeline; the directory SETUP.EXE takes each piece
// from; and two items that write one file.
#include "check/files.h"

#include <windows.h>
// after windows.h, which it needs
#include <lzexpand.h>

#include "check/model.h"
#include "common/report.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/path.h"
#include "install/assemble.h"
#include "install/lzfile.h"
#include "install/pieces.h"
#include "install/run.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// The disk each piece was found on, or -1.
int FoundOn[kMaxPieces];

// Opens piece in dir as the assembly does for mode (through the LZ library
// for one compressed piece): a handle, -1 when it is not there, or another
// negative LZ error when the library can't read it.
int OpenPiece(int piece, const char* dir, AssemblyMode mode) {
    UseLzSource = mode == kExpandDirect ? 1 : 0;
    return OpenPieceAt(dir, piece);
}

void ClosePiece(int handle, AssemblyMode mode) {
    if (handle < 0) return;
    if (mode == kExpandDirect)
        LZClose(handle);
    else
        _lclose(handle);
}

// Piece is in dir: SETUP.EXE, there, would take it without asking.
bool PieceIn(int piece, const char* dir, AssemblyMode mode) {
    if (dir == nullptr) return false;
    const int handle = OpenPiece(piece, dir, mode);
    ClosePiece(handle, mode);
    return handle != -1;
}

AssemblyMode ModeOfItem(const ItemView& item) { return ModeOf(item.Files, item.Compressed); }

// Each piece on the disk its key names, or on another; FoundOn says where.
void LocatePieces(const ItemView& item) {
    for (int k = 1; k <= item.Files; ++k) {
        const int piece = item.FirstPiece + k - 1;
        const int disk = DiskOf(SetupInfo.Pieces.Disk[piece]);
        FoundOn[piece] = -1;
        if (DiskDir(disk) == nullptr) continue;  // said when the disks were matched
        if (PieceIn(piece, DiskDir(disk), ModeOfItem(item))) {
            FoundOn[piece] = disk;
            continue;
        }
        for (int other = 0; other < DiskCount() && FoundOn[piece] < 0; ++other)
            if (other != disk && PieceIn(piece, DiskDir(other), ModeOfItem(item)))
                FoundOn[piece] = other;
        const char* file = SetupInfo.Pieces.File[piece];
        if (FoundOn[piece] >= 0)
            Report(kError, item.Section, ItemKey(item.Name, "Disk", k),
                   "%s is not on \"%s\" (%s); it is on \"%s\"", file, DiskName(disk), DiskDir(disk),
                   DiskName(FoundOn[piece]));
        else
            Report(kError, item.Section, ItemKey(item.Name, "Disk", k),
                   "%s is not on \"%s\" (%s), nor on any other disk", file, DiskName(disk),
                   DiskDir(disk));
    }
}

bool AllFound(const ItemView& item) {
    for (int piece = item.FirstPiece; piece < item.FirstPiece + item.Files; ++piece)
        if (FoundOn[piece] < 0) return false;
    return true;
}

// The path of piece on the disk it was found on.
bool FoundPath(int piece, char (&path)[kPathLen]) {
    return JoinPath(path, DiskDir(FoundOn[piece]), SetupInfo.Pieces.File[piece]);
}

// The bytes of a font's pieces against its Size, in kilobytes: the free
// space check adds up the Sizes.
void CheckFontSize(const FontItem& font, const ItemView& item) {
    if (!AllFound(item)) return;
    unsigned long long bytes = 0;
    for (int piece = font.FirstPiece; piece < font.FirstPiece + font.Files; ++piece) {
        const int handle = OpenPiece(piece, DiskDir(FoundOn[piece]), kConcatenate);
        if (handle < 0) return;
        const long length = _llseek(handle, 0, FILE_END);
        _lclose(handle);
        if (length < 0) return;
        bytes += static_cast<unsigned long>(length);
    }
    const unsigned long long kb = (bytes + 1023) / 1024;
    char bytesText[24];
    char kbText[24];
    if (static_cast<unsigned long long>(font.Size) < kb)
        Report(kWarning, "Font Files", ItemKey(font.Name, "Size"),
               "%d understates the font: its pieces hold %s bytes (%s KB), so the free-space "
               "check passes too easily",
               static_cast<int>(font.Size), DecimalText(bytesText, bytes), DecimalText(kbText, kb));
}

// An item whose pieces are not expanded, but whose first piece is in the
// library's compressed format: its compressed bytes would be the file.
void CheckNotCompressed(const ItemView& item) {
    char path[kPathLen];
    if (ModeOfItem(item) != kConcatenate || FoundOn[item.FirstPiece] < 0 ||
        !FoundPath(item.FirstPiece, path) || !IsLzCompressed(path))
        return;
    if (item.Kind == kFontKind)
        Report(kError, item.Section, ItemKey(item.Name, "File", 1),
               "%s is compressed, and a font is never expanded: SETUP.EXE installs the compressed "
               "bytes as the font",
               SetupInfo.Pieces.File[item.FirstPiece]);
    else
        Report(kError, item.Section, ItemKey(item.Name, "Compressed"),
               "%s is compressed, and the item is not marked so: SETUP.EXE installs the "
               "compressed bytes as the file",
               SetupInfo.Pieces.File[item.FirstPiece]);
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
        if (Handle != HFILE_ERROR) _lclose(Handle);
        if (Name[0] != '\0') DeleteFileA(Name);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
};

// The checker's side of the assembly: each piece from the disk it was
// found on, a failure kept to be reported.
struct Expansion {
    int Message;
    char Value[kPathLen];
};

int OpenFound(int piece, void* context) {
    const int handle = OpenPieceAt(DiskDir(FoundOn[piece]), piece);
    if (handle < -1) {
        Expansion& e = *static_cast<Expansion*>(context);
        e.Message = LzErrorMessage(handle);
        return -1;
    }
    return handle;
}

void KeepFailure(int message, const char* value, void* context) {
    Expansion& e = *static_cast<Expansion*>(context);
    e.Message = message;
    CopyText(e.Value, value);
}

// The pieces of a compressed item built into a temporary file by the
// assembly's own pipeline: joined and expanded, or expanded, as SETUP.EXE
// builds them.
void CheckExpansion(const ItemView& item) {
    if (!AllFound(item)) return;
    // The files it is about: the piece, or the pieces joined.
    char files[kMessageLen] = "";
    for (int piece = item.FirstPiece; piece < item.FirstPiece + item.Files; ++piece) {
        if (piece > item.FirstPiece) AppendText(files, " + ");
        AppendText(files, SetupInfo.Pieces.File[piece]);
    }
    DropPartialCharacter(files);
    TempFile expanded;
    Expansion e = {0, ""};
    if (!expanded.Make()) {
        Report(kError, item.Section, ItemKey(item.Name, "Compressed"),
               "%s can't be expanded here: no temporary file can be made", files);
        return;
    }
    const PieceSource source = {OpenFound, KeepFailure, &e};
    if (WritePieces(ModeOfItem(item), item.Files, item.FirstPiece, expanded.Handle, source, 0) == 1) {
        const long length = _llseek(expanded.Handle, 0, FILE_END);
        if (length > 0) ExpandedBytes += static_cast<unsigned long>(length);
        return;
    }
    Report(kError, item.Section, ItemKey(item.Name, "Compressed"),
           "%s%s can't be expanded by the LZ library: SETUP.EXE shows message %d, \"%s\"", files,
           item.Files > 1 ? ", joined," : "", e.Message, BuildMessage(e.Message, e.Value));
}

// The disk whose directory dir is, or -1.
int DiskAt(const char* dir) {
    for (int disk = 0; disk < DiskCount(); ++disk)
        if (DiskDir(disk) != nullptr && SameDirectory(DiskDir(disk), dir)) return disk;
    return -1;
}

// A copy of piece, which is on its own disk, found in dir, where SETUP.EXE
// takes it without asking for that disk.
void ReportCopyTaken(int piece, const char* dir) {
    int k = 0;
    const ItemView item = OwnerOf(piece, &k);
    const char* file = SetupInfo.Pieces.File[piece];
    const int disk = FoundOn[piece];
    const int at = DiskAt(dir);
    char own[kPathLen];
    char copy[kPathLen];
    const bool same = JoinPath(own, DiskDir(disk), file) && JoinPath(copy, dir, file) &&
                      SameBytes(own, copy);
    Report(same ? kWarning : kError, item.Section, ItemKey(item.Name, "Disk", k),
           "%s of \"%s\" is also on \"%s\" (%s), %s: SETUP.EXE, still there, takes that copy "
           "without asking for \"%s\"",
           file, DiskName(disk), at >= 0 ? DiskName(at) : dir, dir,
           same ? "the same bytes" : "with other bytes", DiskName(disk));
}

}  // namespace

void CheckPieces() {
    RunStep steps[kMaxRunSteps];
    const int count = EveryStep(steps);
    for (int s = 0; s < count; ++s) {
        const ItemView item = ViewOf(steps[s].Kind, steps[s].Index);
        LocatePieces(item);
        CheckNotCompressed(item);
        if (item.Kind == kFontKind)
            CheckFontSize(SetupInfo.FontItems[steps[s].Index], item);
        else if (item.Compressed)
            CheckExpansion(item);
    }
    UseLzSource = 0;
}

void CheckSourceWalk() {
    RunStep steps[kMaxRunSteps];
    const int count = EveryStep(steps);
    // SETUP.EXE starts in its own directory; a prompt answered with the
    // disk that holds the piece moves it there.
    char current[kPathLen];
    CopyText(current, SetupInfo.SourceDir);
    for (int s = 0; s < count; ++s) {
        const ItemView item = ViewOf(steps[s].Kind, steps[s].Index);
        for (int piece = item.FirstPiece; piece < item.FirstPiece + item.Files; ++piece) {
            if (FoundOn[piece] < 0) continue;  // reported where it was looked for
            const char* home = DiskDir(FoundOn[piece]);
            if (!PieceIn(piece, current, ModeOfItem(item))) {
                CopyText(current, home);
            } else if (!SameDirectory(current, home) &&
                       FoundOn[piece] == DiskOf(SetupInfo.Pieces.Disk[piece])) {
                ReportCopyTaken(piece, current);
            }
        }
    }
    UseLzSource = 0;
}

void CheckDestinations() {
    RunStep steps[kMaxRunSteps];
    const int count = EveryStep(steps);
    // Accessory files and tables each in their own directory; fonts all in
    // the one the user gives, compared here in the default one.
    static char paths[kMaxRunSteps][kPathLen];
    for (int s = 0; s < count; ++s) {
        const ItemView item = ViewOf(steps[s].Kind, steps[s].Index);
        char joined[kPathLen];
        paths[s][0] = '\0';
        if (CheckDestination(item.DstDir, item.FirstPiece, joined) != kDestinationOk) continue;
        const DWORD n = GetFullPathNameA(joined, kPathLen, paths[s], nullptr);
        if (n == 0 || n >= static_cast<DWORD>(kPathLen)) paths[s][0] = '\0';
        for (int t = 0; t < s && paths[s][0] != '\0'; ++t) {
            const ItemView earlier = ViewOf(steps[t].Kind, steps[t].Index);
            if ((earlier.Kind == kFontKind) != (item.Kind == kFontKind) || paths[t][0] == '\0' ||
                !SameFullPath(paths[s], paths[t]))
                continue;
            if (item.Kind == kFontKind)
                Report(kError, item.Section, ItemKey(item.Name, "File", 1),
                       "%s is the file of font \"%s\" too: in the fonts' directory one overwrites "
                       "the other",
                       SetupInfo.Pieces.File[item.FirstPiece], earlier.Name);
            else
                Report(kError, item.Section, ItemKey(item.Name, "File", 1),
                       "%s is written by \"%s\" [%s] too: one item overwrites the other", paths[s],
                       earlier.Name, earlier.Section);
            break;
        }
    }
}
