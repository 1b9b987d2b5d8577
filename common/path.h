// Paths in the ANSI code page. In code page 950 the second byte of many
// common characters (許, 功, 蓋 ...) is 0x5C, the backslash: every test for a
// backslash in a path must go through these, which look at whole characters.
#pragma once

#include "common/text.h"

// Start of the last character of text (one or two bytes), or null when empty.
const char* LastCharacter(const char* text);

// Drops a lead byte left alone at the end by a cut through a character.
void DropPartialCharacter(char* text);

// True when the last character of path is a backslash.
bool EndsWithBackslash(const char* path);

// The last backslash of path that is a character of its own, or null.
char* FindLastBackslash(char* path);

// True for C:\... and \\server\...; false for every form that depends on
// a current drive or directory.
bool IsFullPath(const char* path);

// The full form of dir (GetFullPathNameA) without a trailing backslash:
// C:\ gives C:. A drive alone, such as the program's own directory at a
// root (A:), stands for its root. false when it can't be had whole.
bool FullDirectory(const char* dir, char (&full)[kPathLen]);

// True when the full paths a and b are on one drive (C: and c:) or one
// network share (\\server\share), without regard to case.
bool SameRoot(const char* a, const char* b);

// True when the full paths a and b are the same without regard to case or,
// where both exist on one root, have the same short (8.3) form. A SUBST
// drive or a mapped drive against its network name is not seen through.
bool SameFullPath(const char* a, const char* b);

// True when a and b name the same directory, by SameFullPath of their full
// forms; false when either is empty or can't be had whole.
bool SameDirectory(const char* a, const char* b);

// out = directory + "\" + name; the backslash only when directory does not
// already end in one, and an empty directory gives name alone. out must not
// overlap the inputs. Returns false when the result was cut to fit.
bool JoinPathN(char* out, size_t size, const char* directory, const char* name);

template <size_t N>
inline bool JoinPath(char (&out)[N], const char* directory, const char* name) {
    return JoinPathN(out, N, directory, name);
}
