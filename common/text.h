// Bounded text: every copy into a fixed buffer and every formatted text goes
// through these. Each takes the destination array itself, so the size can't
// be got wrong, and cuts at the buffer size less one, always terminated.
// Data is never a format: pass it as an argument to "%s".
#pragma once

#include <stddef.h>
#include <stdarg.h>

// The fixed widths of the program's texts.
constexpr int kPathLen = 260;     // paths and file names
constexpr int kNameLen = 72;      // item, group, base-font and key names
constexpr int kDiskLen = 40;      // disk labels
constexpr int kMessageLen = 256;  // message and status texts

// Copies src (null counts as empty). Returns false when it had to cut.
bool CopyTextN(char* dst, size_t size, const char* src);
// Appends src to the text already in dst. Returns false when it had to cut.
bool AppendTextN(char* dst, size_t size, const char* src);
// printf-style formatting. Returns false when it had to cut.
bool FormatTextV(char* dst, size_t size, const char* format, va_list args);
bool FormatTextN(char* dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

template <size_t N>
inline bool CopyText(char (&dst)[N], const char* src) {
    return CopyTextN(dst, N, src);
}

template <size_t N>
inline bool AppendText(char (&dst)[N], const char* src) {
    return AppendTextN(dst, N, src);
}

template <size_t N>
inline bool FormatTextArgs(char (&dst)[N], const char* format, va_list args) {
    return FormatTextV(dst, N, format, args);
}

// Compiles only for a true array, never for a pointer.
template <typename T, size_t N>
char (&ArrayBytes(T (&)[N]))[N];
#define ARRAY_COUNT(a) (sizeof(ArrayBytes(a)))

// A template can't carry the format attribute through to its callers' pack,
// so the checked variadic form is a macro over the sized function.
#define FormatText(dst, ...) FormatTextN((dst), ARRAY_COUNT(dst), __VA_ARGS__)

// n in decimal, for "%s": the C run-time of the oldest Windows has no
// 64-bit conversion. Returns dst.
const char* DecimalTextN(char* dst, size_t size, unsigned long long n);
template <size_t N>
inline const char* DecimalText(char (&dst)[N], unsigned long long n) {
    return DecimalTextN(dst, N, n);
}

// Length of a terminated text, never reading past size bytes.
size_t TextLengthN(const char* text, size_t size);
template <size_t N>
inline size_t TextLength(const char (&text)[N]) {
    return TextLengthN(text, N);
}
