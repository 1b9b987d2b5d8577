#include "install/assemble.h"

#include <lzexpand.h>

#include "common/messages.h"
#include "common/path.h"
#include "common/proc.h"
#include "common/trace.h"
#include "install/pieces.h"
#include "setup/catalogue.h"

namespace {

enum Mode { kConcatenate = 1, kExpandDirect = 2, kConcatenateThenExpand = 3 };

// The destination is written as a work file beside it and moved over it
// only when the whole item succeeded, so a failed reinstall leaves the file
// that was there as it was.
struct Destination {
    char Path[kPathLen];      // the joined path, as the caller knows it
    OFSTRUCT Record;          // its qualified path
    char Work[kPathLen];      // the work file beside it
    HFILE Handle = HFILE_ERROR;
};

void DeleteByRecord(OFSTRUCT& record) {
    OpenFile(record.szPathName, &record, OF_REOPEN | OF_DELETE);
}

bool OpenDestination(Destination& d) {
    if (!FitsRecord(d.Path) || OpenFile(d.Path, &d.Record, OF_PARSE) == HFILE_ERROR) return false;
    // A file there that can't be replaced fails now, before any disk is
    // asked for, and is not touched: read-only (which Wine lets root write),
    // or held open by another program.
    const DWORD attributes = GetFileAttributesA(d.Record.szPathName);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
        OFSTRUCT probe;
        const HFILE h = OpenFile(d.Record.szPathName, &probe, OF_WRITE | OF_SHARE_EXCLUSIVE);
        if (h == HFILE_ERROR) return false;
        _lclose(h);
    }
    char directory[kPathLen];
    CopyText(directory, d.Record.szPathName);
    char* slash = FindLastBackslash(directory);
    if (slash == nullptr) return false;
    slash[1] = '\0';
    if (GetTempFileNameA(directory, "qst", 0, d.Work) == 0) return false;
    // Opened without a record: the work file's name may be longer than the
    // destination's, and the record's limit is the destination's to meet.
    d.Handle = _lcreat(d.Work, 0);
    if (d.Handle == HFILE_ERROR) {
        DeleteFileA(d.Work);
        return false;
    }
    return true;
}

void CloseDestination(Destination& d) {
    if (d.Handle != HFILE_ERROR) _lclose(d.Handle);
    d.Handle = HFILE_ERROR;
}

// The work file goes; the destination was never touched.
void DiscardDestination(Destination& d) {
    CloseDestination(d);
    DeleteFileA(d.Work);
}

bool CommitDestination(Destination& d) {
    CloseDestination(d);
    using MoveFileEx = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto moveFileEx = KernelProc<MoveFileEx>(ReplaceFunction);
    if (moveFileEx != nullptr && moveFileEx(d.Work, d.Record.szPathName, MOVEFILE_REPLACE_EXISTING))
        return true;
    // Windows 9x has MoveFileExA only as a stub that says so.
    if ((moveFileEx == nullptr || GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) &&
        ReplaceByRenaming(d.Work, d.Record.szPathName, MoveFileA))
        return true;
    DeleteFileA(d.Work);
    return false;
}

// The length of an open file, or -1 when it can't be had or passes what
// a long holds (2 GiB): nothing is copied then, and the copy fails.
long SourceLength(HFILE source) {
    const long end = _llseek(source, 0, FILE_END);
    if (end == HFILE_ERROR) return -1;
    DWORD high = 0;
    const DWORD low = GetFileSize(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(source)), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
    if (high != 0 || low > 0x7FFFFFFFUL || static_cast<long>(low) != end) return -1;
    return end;
}

// Mode 3's temporary file in the system's temporary directory.
struct TempFile {
    char Name[kPathLen];
    OFSTRUCT Record;
    HFILE Handle = HFILE_ERROR;
};

bool CreateTempFile(TempFile& t) {
    char directory[kPathLen];
    const DWORD n = GetTempPathA(kPathLen, directory);
    if (n == 0 || n >= static_cast<DWORD>(kPathLen)) {
        t.Name[0] = '\0';
        return false;
    }
    if (GetTempFileNameA(directory, "tmp", 0, t.Name) == 0) {
        CopyText(t.Name, directory);
        return false;
    }
    if (FitsRecord(t.Name)) t.Handle = LZOpenFileA(t.Name, &t.Record, OF_CREATE | OF_WRITE);
    if (t.Handle < 0) {
        t.Handle = HFILE_ERROR;
        DeleteFileA(t.Name);  // made empty by GetTempFileNameA
        return false;
    }
    return true;
}

// LZCopy, and a check that it wrote all the expanded data: the library
// copies a file of an unknown compression as nothing, and one cut short as
// far as it goes, and calls both a success.
long ExpandAll(int source, HFILE destination) {
    const long expected = LZSeek(source, 0, FILE_END);
    LZSeek(source, 0, FILE_BEGIN);
    const long written = LZCopy(source, destination);
    if (written >= 0 && expected >= 0 && written != expected) return LZERROR_READ;
    return written;
}

// Expands the joined pieces in the temporary file into the destination.
// Returns 0, or the message of the failure.
int ExpandTempFile(TempFile& t, HFILE destination) {
    // Reopened through its record the file is plain; the library's own
    // LZInit sets up the expansion, and says so when it can't.
    OFSTRUCT record = t.Record;
    const int file = LZOpenFileA(t.Record.szPathName, &record, OF_REOPEN | OF_READ);
    SetStatus(IDS_PROCESSING_FONT, "");
    SetBusy(1);
    long written = file;  // -1: the library's invalid source
    if (file >= 0) {
        const int source = LZInit(file);
        if (source < 0) {
            _lclose(file);
            written = source;
        } else {
            written = ExpandAll(source, destination);
            LZClose(source);
        }
    }
    return written < 0 ? LzErrorMessage(written) : 0;
}

}  // namespace

const char* ReplaceFunction = "MoveFileExA";

bool ReplaceByRenaming(const char* work, const char* destination, RenameProc rename) {
    if (GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES)
        return rename(work, destination) != FALSE;
    // The old file is kept under a name of its own beside it until the work
    // file has its name, and put back when that fails.
    char directory[kPathLen];
    char aside[kPathLen];
    CopyText(directory, destination);
    char* slash = FindLastBackslash(directory);
    if (slash == nullptr) return false;
    slash[1] = '\0';
    if (GetTempFileNameA(directory, "qso", 0, aside) == 0) return false;
    // GetTempFileNameA made it, empty; the old file takes its place.
    DeleteFileA(aside);
    if (!rename(destination, aside)) return false;
    if (rename(work, destination)) {
        DeleteFileA(aside);
        return true;
    }
    rename(aside, destination);
    return false;
}

bool FitsRecord(const char* path) {
    char full[kPathLen];
    const DWORD n = GetFullPathNameA(path, kPathLen, full, nullptr);
    return n > 0 && n < OFS_MAXPATHNAME;
}

int LzErrorMessage(long code) {
    if (code >= LZERROR_UNKNOWNALG && code <= LZERROR_BADINHANDLE)
        return IDS_LZ_BASE + static_cast<int>(code);
    // Undocumented: the data could not be expanded.
    return IDS_LZ_READ;
}

int CopyFileData(HFILE output, HFILE source) {
    SetBusy(1);
    int result = 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, kCopyChunk);
    char* buffer = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr;
    if (buffer == nullptr) {
        result = IDS_NO_MEMORY;
    } else {
        long remaining = SourceLength(source);
        if (remaining < 0 || _llseek(source, 0, FILE_BEGIN) != 0) result = IDS_READ_ERROR;
        while (result == 0 && remaining > 0) {
            const UINT n = remaining < kCopyChunk ? static_cast<UINT>(remaining) : kCopyChunk;
            if (_lread(source, buffer, n) != n) {
                result = IDS_READ_ERROR;
                break;
            }
            if (_lwrite(output, buffer, n) != n) {
                result = IDS_WRITE_ERROR;
                break;
            }
            remaining -= static_cast<long>(n);
        }
        GlobalUnlock(memory);
    }
    if (memory) GlobalFree(memory);
    SetBusy(0);
    return result;
}

namespace {

// True when piece, where it was found, is the destination file itself.
bool IsDestination(const Destination& dest, int piece) {
    char path[kPathLen];
    char full[kPathLen];
    if (!JoinPath(path, SetupInfo.SourceDir, SetupInfo.Pieces.File[piece])) return false;
    const DWORD n = GetFullPathNameA(path, kPathLen, full, nullptr);
    return n > 0 && n < static_cast<DWORD>(kPathLen) && lstrcmpiA(full, dest.Record.szPathName) == 0;
}

// Everything after the destination is named: opened, built from the
// pieces, committed. 1 on success.
int BuildFile(HWND owner, Destination& dest, int files, int firstPiece, int compressed, int trace) {
    if (!OpenDestination(dest)) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }

    const Mode mode = compressed == 0 ? kConcatenate
                      : files == 1    ? kExpandDirect
                                      : kConcatenateThenExpand;
    HFILE output = dest.Handle;
    TempFile temp;
    if (mode == kExpandDirect) UseLzSource = 1;
    if (mode == kConcatenateThenExpand) {
        if (!CreateTempFile(temp)) {
            ShowError(owner, IDS_CANT_CREATE_TEMP, temp.Name);
            DiscardDestination(dest);
            return 0;
        }
        output = temp.Handle;
        if (trace) Trace("\tTemp File \"%s\" created\n", temp.Record.szPathName);
    }

    bool failed = false;
    for (int i = 0; !failed && i < files; ++i) {
        const int piece = firstPiece + i;
        const int source = OpenSourcePiece(owner, piece);
        if (source == -1) {
            failed = true;  // the user cancelled the prompt: nothing to say
            break;
        }
        // The prompt may have pointed at the destination's own directory:
        // building over a piece would lose it.
        if (IsDestination(dest, piece)) {
            if (mode == kExpandDirect)
                LZClose(source);
            else
                _lclose(source);
            ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
            failed = true;
            break;
        }
        SetStatus(IDS_COPYING, SetupInfo.Pieces.File[piece]);
        if (mode == kExpandDirect) {
            SetBusy(1);
            const long written = ExpandAll(source, output);
            SetBusy(0);
            if (written < 0) {
                ShowError(owner, LzErrorMessage(written));
                failed = true;
            }
            LZClose(source);
        } else {
            const int code = CopyFileData(output, source);
            if (code != 0) {
                ShowError(owner, code);
                failed = true;
            }
            _lclose(source);
        }
        ClearStatus();
    }
    _lclose(output);
    if (mode != kConcatenateThenExpand) dest.Handle = HFILE_ERROR;

    if (failed) {
        if (mode == kConcatenateThenExpand) {
            CloseDestination(dest);
            DeleteByRecord(temp.Record);
            if (trace) Trace("\tTemp File deleted on error\n");
        }
        DiscardDestination(dest);
        if (trace) Trace("\tFile deleted on error\n");
        return 0;
    }

    if (mode == kConcatenateThenExpand) {
        const int code = ExpandTempFile(temp, dest.Handle);
        if (code != 0) ShowError(owner, code);
        CloseDestination(dest);
        DeleteByRecord(temp.Record);
        SetBusy(0);
        if (trace) Trace("\tTemp File deleted\n");
        if (code != 0) {
            DiscardDestination(dest);
            if (trace) Trace("\tFile deleted on error\n");
            return 0;
        }
    }

    if (!CommitDestination(dest)) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }
    return 1;
}

}  // namespace

int AssembleFile(HWND owner, const char* directory, int files, int firstPiece, int compressed,
                 int trace, AssembledFile* result) {
    UseLzSource = 0;
    Destination dest;
    // A joined path cut to fit would name another file; a directory that is
    // not a full path would be the current one's (usually the medium), and
    // nothing is ever installed onto the medium.
    const bool whole = JoinPath(dest.Path, directory, SetupInfo.Pieces.File[firstPiece]);
    if (trace) Trace("Dest %s\n", dest.Path);
    if (!whole || !IsFullPath(directory) || SameDirectory(directory, SetupInfo.ModuleDir) ||
        SameDirectory(directory, SetupInfo.SourceDir)) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }
    // A directory this item made goes again when the item fails: it is
    // empty then.
    const bool madeDirectory = CreateDirectoryA(directory, nullptr) != FALSE;
    const int built = BuildFile(owner, dest, files, firstPiece, compressed, trace);
    if (!built && madeDirectory) RemoveDirectoryA(directory);
    if (built && result) {
        CopyText(result->Path, dest.Path);
        CopyText(result->QualifiedPath, dest.Record.szPathName);
    }
    return built;
}
