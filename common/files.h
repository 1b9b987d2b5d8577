// Whole files, compared.
#pragma once

// True when the files at a and b can both be read and hold the same bytes.
bool SameBytes(const char* a, const char* b);
