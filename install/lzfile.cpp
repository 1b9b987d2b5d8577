#include "install/lzfile.h"

#include <lzexpand.h>

#include "common/text.h"
#include "res/resource.h"

bool FitsRecord(const char* path) {
    char full[kPathLen];
    const DWORD n = GetFullPathNameA(path, kPathLen, full, nullptr);
    return n > 0 && n < OFS_MAXPATHNAME;
}

int LzInitFile(HFILE file) {
    const int handle = LZInit(file);
    if (handle < 0) _lclose(file);
    return handle;
}

// The library hands a file that is not compressed back as it was.
bool IsLzCompressed(const char* path) {
    const HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return false;
    const int handle = LZInit(file);
    if (handle >= 0 && handle != file) {
        LZClose(handle);
        return true;
    }
    _lclose(file);
    return handle == LZERROR_UNKNOWNALG;
}

// LZOpenFileA is LzInitFile over the record's open: a longer path gets the
// same without the record.
int OpenLzFile(const char* path) {
    if (FitsRecord(path)) {
        OFSTRUCT record;
        return LZOpenFileA(const_cast<char*>(path), &record, OF_READ);
    }
    const HFILE file = _lopen(path, OF_READ);
    return file == HFILE_ERROR ? -1 : LzInitFile(file);
}

long ExpandAll(int source, HFILE destination) {
    const long expected = LZSeek(source, 0, FILE_END);
    LZSeek(source, 0, FILE_BEGIN);
    const long written = LZCopy(source, destination);
    if (written >= 0 && expected >= 0 && written != expected) return LZERROR_READ;
    return written;
}

int LzErrorMessage(long code) {
    if (code >= LZERROR_UNKNOWNALG && code <= LZERROR_BADINHANDLE)
        return IDS_LZ_BASE + static_cast<int>(code);
    // Undocumented: the data could not be expanded.
    return IDS_LZ_READ;
}
