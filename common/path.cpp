#include "common/path.h"

#include <windows.h>

// Walks from the start: only there are lead and trail bytes known apart.
const char* LastCharacter(const char* text) {
    if (text == nullptr) return nullptr;
    const char* last = nullptr;
    const char* p = text;
    while (*p != '\0') {
        last = p;
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            p += 2;
        else
            p += 1;
    }
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
    char* p = path;
    while (*p != '\0') {
        if (*p == '\\') found = p;
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            p += 2;
        else
            p += 1;
    }
    return found;
}

bool JoinPathN(char* out, size_t size, const char* directory, const char* name) {
    if (directory == nullptr || directory[0] == '\0') return CopyTextN(out, size, name);
    bool whole = CopyTextN(out, size, directory);
    if (!EndsWithBackslash(directory)) whole = AppendTextN(out, size, "\\") && whole;
    return AppendTextN(out, size, name) && whole;
}
