// Apart from the rest of text.cpp: its 64-bit division brings the compiler's
// division routines, which only a program that prints such a number needs.
#include "common/text.h"

const char* DecimalTextN(char* dst, size_t size, unsigned long long n) {
    char digits[24];
    char* p = digits + sizeof digits - 1;
    *p = '\0';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    CopyTextN(dst, size, p);
    return dst;
}
