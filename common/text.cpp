#include "common/text.h"

#include <windows.h>
#include <strsafe.h>

// strsafe cuts at size - 1 and terminates; it reports the cut as
// STRSAFE_E_INSUFFICIENT_BUFFER, which is the only failure left once the
// size is known to be sane.

bool CopyTextN(char* dst, size_t size, const char* src) {
    if (dst == nullptr || size == 0) return false;
    return SUCCEEDED(StringCchCopyA(dst, size, src ? src : ""));
}

bool AppendTextN(char* dst, size_t size, const char* src) {
    if (dst == nullptr || size == 0) return false;
    // A destination without a terminator in range is not a text: start over
    // rather than let strsafe refuse and leave it unterminated.
    if (TextLengthN(dst, size) >= size) dst[0] = '\0';
    return SUCCEEDED(StringCchCatA(dst, size, src ? src : ""));
}

bool FormatTextV(char* dst, size_t size, const char* format, va_list args) {
    if (dst == nullptr || size == 0) return false;
    HRESULT hr = StringCchVPrintfA(dst, size, format ? format : "", args);
    if (FAILED(hr) && hr != STRSAFE_E_INSUFFICIENT_BUFFER) dst[0] = '\0';
    return SUCCEEDED(hr);
}

bool FormatTextN(char* dst, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool whole = FormatTextV(dst, size, format, args);
    va_end(args);
    return whole;
}

size_t TextLengthN(const char* text, size_t size) {
    if (text == nullptr) return 0;
    size_t n = 0;
    while (n < size && text[n] != '\0') ++n;
    return n;
}
