#include "common/path.h"

#include <windows.h>

namespace {

// Calls visit with the start of each character of text, first to last.
// Walks from the start: only there are lead and trail bytes known apart.
template <typename Char, typename Visit>
void ForEachCharacter(Char* text, Visit visit) {
    Char* p = text;
    while (*p != '\0') {
        visit(p);
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            p += 2;
        else
            p += 1;
    }
}

}  // namespace

const char* LastCharacter(const char* text) {
    if (text == nullptr) return nullptr;
    const char* last = nullptr;
    ForEachCharacter(text, [&last](const char* p) { last = p; });
    return last;
}

void DropPartialCharacter(char* text) {
    const char* last = LastCharacter(text);
    if (last != nullptr && last[1] == '\0' && IsDBCSLeadByte(static_cast<BYTE>(last[0])))
        text[last - text] = '\0';
}

bool EndsWithBackslash(const char* path) {
    const char* last = LastCharacter(path);
    return last != nullptr && last[0] == '\\' && last[1] == '\0';
}

char* FindLastBackslash(char* path) {
    if (path == nullptr) return nullptr;
    char* found = nullptr;
    ForEachCharacter(path, [&found](char* p) { if (*p == '\\') found = p; });
    return found;
}

bool IsFullPath(const char* path) {
    if (path == nullptr) return false;
    if (path[0] == '\\' && path[1] == '\\') return true;
    return path[0] != '\0' && path[1] == ':' && path[2] == '\\';
}

bool FullDirectory(const char* dir, char (&full)[kPathLen]) {
    if (dir == nullptr || dir[0] == '\0') return false;
    char text[kPathLen];
    if (!CopyText(text, dir)) return false;
    if (text[1] == ':' && text[2] == '\0') AppendText(text, "\\");
    const DWORD n = GetFullPathNameA(text, kPathLen, full, nullptr);
    if (n == 0 || n >= static_cast<DWORD>(kPathLen)) return false;
    if (EndsWithBackslash(full)) full[n - 1] = '\0';
    return true;
}

namespace {

// The short (8.3) form of an existing full path; a drive alone (C:) is its
// root. false when the path is not there or the form does not fit.
bool ShortForm(const char* full, char (&out)[kPathLen]) {
    char text[kPathLen];
    if (!CopyText(text, full)) return false;
    if (text[0] != '\0' && text[1] == ':' && text[2] == '\0') AppendText(text, "\\");
    const DWORD n = GetShortPathNameA(text, out, kPathLen);
    return n > 0 && n < static_cast<DWORD>(kPathLen);
}

// The root of a full path: C: for C:\..., \\server\share for a network
// path (up to the backslash after the share, found by whole characters);
// empty when it has neither.
void RootOf(const char* path, char (&root)[kPathLen]) {
    root[0] = '\0';
    if (path == nullptr || path[0] == '\0') return;
    if (path[1] == ':') {
        CopyTextN(root, 3, path);
        return;
    }
    if (path[0] != '\\' || path[1] != '\\') return;
    const char* p = path + 2;
    for (int separators = 0; *p != '\0'; p = CharNextA(p))
        if (*p == '\\' && ++separators == 2) break;
    const size_t length = static_cast<size_t>(p - path);
    CopyTextN(root, length < sizeof root ? length + 1 : sizeof root, path);
}

}  // namespace

bool SameRoot(const char* a, const char* b) {
    char rootA[kPathLen];
    char rootB[kPathLen];
    RootOf(a, rootA);
    RootOf(b, rootB);
    return rootA[0] != '\0' && lstrcmpiA(rootA, rootB) == 0;
}

bool SameFullPath(const char* a, const char* b) {
    if (lstrcmpiA(a, b) == 0) return true;
    // C:\PROGRA~1\QSETUP is C:\Program Files\QSETUP: the full form keeps
    // whichever spelling it was given. An alias never changes the drive or
    // the share, and another drive is not touched: it may be a floppy
    // drive with no disk in it.
    if (!SameRoot(a, b)) return false;
    char shortA[kPathLen];
    char shortB[kPathLen];
    return ShortForm(a, shortA) && ShortForm(b, shortB) && lstrcmpiA(shortA, shortB) == 0;
}

bool SameDirectory(const char* a, const char* b) {
    char fullA[kPathLen];
    char fullB[kPathLen];
    return FullDirectory(a, fullA) && FullDirectory(b, fullB) && SameFullPath(fullA, fullB);
}

bool JoinPathN(char* out, size_t size, const char* directory, const char* name) {
    if (directory == nullptr || directory[0] == '\0') return CopyTextN(out, size, name);
    bool whole = CopyTextN(out, size, directory);
    if (!EndsWithBackslash(directory)) whole = AppendTextN(out, size, "\\") && whole;
    return AppendTextN(out, size, name) && whole;
}
