#include "common/files.h"

#include <string.h>
#include <windows.h>

bool SameBytes(const char* a, const char* b) {
    static char bytesA[1UL << 14];
    static char bytesB[1UL << 14];
    const HFILE fileA = _lopen(a, OF_READ);
    const HFILE fileB = _lopen(b, OF_READ);
    bool same = fileA != HFILE_ERROR && fileB != HFILE_ERROR;
    while (same) {
        const UINT n = _lread(fileA, bytesA, sizeof bytesA);
        same = n != static_cast<UINT>(HFILE_ERROR) && _lread(fileB, bytesB, sizeof bytesB) == n &&
               memcmp(bytesA, bytesB, n) == 0;
        if (n == 0 || n == static_cast<UINT>(HFILE_ERROR)) break;
    }
    if (fileA != HFILE_ERROR) _lclose(fileA);
    if (fileB != HFILE_ERROR) _lclose(fileB);
    return same;
}
