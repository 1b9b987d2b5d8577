#include "install/assemble.h"

#include <lzexpand.h>

#include "common/messages.h"
#include "common/path.h"
#include "common/proc.h"
#include "common/trace.h"
#include "install/lzfile.h"
#include "install/pieces.h"
#include "setup/catalogue.h"

namespace {

// The names of the work file beside the destination and of the old file
// that the rename path keeps aside: a prefix, digits, ".tmp".
constexpr char kWorkPrefix[] = "qst";
constexpr char kAsidePrefix[] = "qso";

// The destination is written as a work file beside it and moved over it
// only when the whole item succeeded, so a failed reinstall leaves the file
// that was there as it was.
struct Destination {
    char Path[kPathLen];      // the joined path, as the caller knows it
    OFSTRUCT Record;          // its qualified path
    char Work[kPathLen];      // the work file beside it
    HFILE Handle = HFILE_ERROR;
};

// A new empty file of a unique name (prefix, then digits) in the directory
// of path, made by GetTempFileNameA; false when none can be made.
bool TempNameBeside(const char* path, const char* prefix, char (&name)[kPathLen]) {
    char directory[kPathLen];
    CopyText(directory, path);
    char* slash = FindLastBackslash(directory);
    if (slash == nullptr) return false;
    slash[1] = '\0';
    return GetTempFileNameA(directory, prefix, 0, name) != 0;
}

void DeleteByRecord(OFSTRUCT& record) {
    OpenFile(record.szPathName, &record, OF_REOPEN | OF_DELETE);
}

bool OpenDestination(Destination& d) {
    if (OpenFile(d.Path, &d.Record, OF_PARSE) == HFILE_ERROR) return false;
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
    if (!TempNameBeside(d.Record.szPathName, kWorkPrefix, d.Work)) return false;
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
    const auto moveFileEx = RunTime().MoveFileReplacing;
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

// The temporary file of joined compressed pieces (kConcatenateThenExpand),
// in the system's temporary directory.
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

// Expands the joined pieces in the temporary file into the destination.
// Returns 0, or the message of the failure.
int ExpandTempFile(TempFile& t, HFILE destination) {
    // Reopened through its record the file is plain; the library's own
    // LZInit sets up the expansion, and says so when it can't.
    OFSTRUCT record = t.Record;
    const HFILE file = LZOpenFileA(t.Record.szPathName, &record, OF_REOPEN | OF_READ);
    SetStatus(IDS_PROCESSING_FONT, "");
    SetBusy(1);
    const int source = file < 0 ? -1 : LzInitFile(file);  // -1: the library's invalid source
    long written = source;
    if (source >= 0) {
        written = ExpandAll(source, destination);
        LZClose(source);
    }
    return written < 0 ? LzErrorMessage(written) : 0;
}

}  // namespace

bool ReplaceByRenaming(const char* work, const char* destination, RenameProc rename) {
    if (GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES)
        return rename(work, destination) != FALSE;
    // The old file is kept under a name of its own beside it until the work
    // file has its name, and put back when that fails.
    char aside[kPathLen];
    if (!TempNameBeside(destination, kAsidePrefix, aside)) return false;
    // Made empty; the old file takes its place.
    DeleteFileA(aside);
    if (!rename(destination, aside)) return false;
    if (rename(work, destination)) {
        DeleteFileA(aside);
        return true;
    }
    rename(aside, destination);
    return false;
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
    return n > 0 && n < static_cast<DWORD>(kPathLen) && SameFullPath(full, dest.Record.szPathName);
}

// True for a name of the work files' form, as GetTempFileNameA makes it:
// "qst", one to four hexadecimal digits, ".tmp", in either case.
bool IsWorkFileName(const char* name) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const char* p = name;
    for (const char* w = kWorkPrefix; *w != '\0'; ++w, ++p)
        if (lower(*p) != *w) return false;
    int digits = 0;
    for (; (*p >= '0' && *p <= '9') || (lower(*p) >= 'a' && lower(*p) <= 'f'); ++p) ++digits;
    return digits >= 1 && digits <= 4 && lstrcmpiA(p, ".tmp") == 0;
}

// The work files that a killed run left in directory go before an item
// writes there: only names of their form, only files, and only what can be
// deleted (one that another running setup holds open stays). The old file
// that the rename path moves aside has another form and is never touched.
void RemoveLeftoverWork(const char* directory) {
    char pattern[kPathLen];
    if (!JoinPath(pattern, directory, "qst*.tmp")) return;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        char path[kPathLen];
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsWorkFileName(found.cFileName) &&
            JoinPath(path, directory, found.cFileName))
            DeleteFileA(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Appends or expands one open piece into output: 0, or the message.
int WritePiece(int source, HFILE output, AssemblyMode mode) {
    if (mode != kExpandDirect) return CopyFileData(output, source);
    SetBusy(1);
    const long written = ExpandAll(source, output);
    SetBusy(0);
    return written < 0 ? LzErrorMessage(written) : 0;
}

// Each piece opened, written and closed under its status text; the first
// failure ends the loop, said while its piece's text still shows. true when
// all were written.
bool WriteEachPiece(AssemblyMode mode, int files, int firstPiece, HFILE output,
                    const PieceSource& source) {
    for (int piece = firstPiece; piece < firstPiece + files; ++piece) {
        const int handle = source.Open(piece, source.Context);
        if (handle == -1) return false;
        SetStatus(IDS_COPYING, SetupInfo.Pieces.File[piece]);
        const int code = WritePiece(handle, output, mode);
        if (code != 0) source.Fail(code, "", source.Context);
        if (mode == kExpandDirect)
            LZClose(handle);
        else
            _lclose(handle);
        ClearStatus();
        if (code != 0) return false;
    }
    return true;
}

// How SETUP.EXE gets a piece: from SourceDir, or through the disk prompt.
struct Assembly {
    HWND Owner;
    const Destination* Dest;
};

int OpenForAssembly(int piece, void* context) {
    const Assembly& a = *static_cast<const Assembly*>(context);
    const int source = OpenSourcePiece(a.Owner, piece);
    if (source == -1) return -1;
    // The prompt may have pointed at the destination's own directory:
    // building over a piece would lose it.
    if (!IsDestination(*a.Dest, piece)) return source;
    if (UseLzSource)
        LZClose(source);
    else
        _lclose(source);
    ShowError(a.Owner, IDS_CANT_CREATE_FILE, a.Dest->Path);
    return -1;
}

void ShowFailure(int message, const char* value, void* context) {
    ShowError(static_cast<const Assembly*>(context)->Owner, message, value);
}

// Everything after the destination is named: opened, built from the
// pieces, and put in place, or gone again. 1 on success.
int BuildFile(HWND owner, Destination& dest, int files, int firstPiece, int compressed, int trace) {
    if (!OpenDestination(dest)) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }
    Assembly assembly = {owner, &dest};
    const PieceSource source = {OpenForAssembly, ShowFailure, &assembly};
    const int written =
        WritePieces(ModeOf(files, compressed), files, firstPiece, dest.Handle, source, trace);
    if (written != 1) {
        DiscardDestination(dest);
        // Nothing was written when the temporary file could not be made.
        if (trace && written == 0) Trace("\tFile deleted on error\n");
        return 0;
    }
    if (!CommitDestination(dest)) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }
    return 1;
}

}  // namespace

AssemblyMode ModeOf(int files, int compressed) {
    if (compressed == 0) return kConcatenate;
    return files == 1 ? kExpandDirect : kConcatenateThenExpand;
}

DestinationProblem CheckDestination(const char* directory, int firstPiece, char (&path)[kPathLen]) {
    // A joined path cut to fit would name another file; a directory that is
    // not a full path would be the current one's (usually the medium), and
    // nothing is ever installed onto the medium.
    if (!JoinPath(path, directory, SetupInfo.Pieces.File[firstPiece])) return kDestinationCut;
    if (!IsFullPath(directory)) return kDestinationNotFull;
    if (SameDirectory(directory, SetupInfo.ModuleDir) || SameDirectory(directory, SetupInfo.SourceDir))
        return kDestinationOnMedium;
    if (!FitsRecord(path)) return kDestinationPastRecord;
    return kDestinationOk;
}

int WritePieces(AssemblyMode mode, int files, int firstPiece, HFILE output,
                const PieceSource& source, int trace) {
    UseLzSource = mode == kExpandDirect ? 1 : 0;
    if (mode != kConcatenateThenExpand)
        return WriteEachPiece(mode, files, firstPiece, output, source) ? 1 : 0;
    TempFile temp;
    if (!CreateTempFile(temp)) {
        source.Fail(IDS_CANT_CREATE_TEMP, temp.Name, source.Context);
        return -1;
    }
    if (trace) Trace("\tTemp File \"%s\" created\n", temp.Record.szPathName);
    const bool copied = WriteEachPiece(mode, files, firstPiece, temp.Handle, source);
    _lclose(temp.Handle);
    const int code = copied ? ExpandTempFile(temp, output) : 0;
    if (code != 0) source.Fail(code, "", source.Context);
    DeleteByRecord(temp.Record);
    if (copied) SetBusy(0);
    if (trace) Trace(copied ? "\tTemp File deleted\n" : "\tTemp File deleted on error\n");
    return copied && code == 0 ? 1 : 0;
}

int AssembleFile(HWND owner, const char* directory, int files, int firstPiece, int compressed,
                 int trace, AssembledFile* result) {
    UseLzSource = 0;
    Destination dest;
    const DestinationProblem problem = CheckDestination(directory, firstPiece, dest.Path);
    if (trace) Trace("Dest %s\n", dest.Path);
    if (problem != kDestinationOk) {
        ShowError(owner, IDS_CANT_CREATE_FILE, dest.Path);
        return 0;
    }
    // A directory this item made goes again when the item fails: it is
    // empty then.
    const bool madeDirectory = CreateDirectoryA(directory, nullptr) != FALSE;
    if (!madeDirectory) RemoveLeftoverWork(directory);
    const int built = BuildFile(owner, dest, files, firstPiece, compressed, trace);
    if (!built && madeDirectory) RemoveDirectoryA(directory);
    if (built && result) {
        CopyText(result->Path, dest.Path);
        CopyText(result->QualifiedPath, dest.Record.szPathName);
    }
    return built;
}
