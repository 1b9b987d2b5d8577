#include "common/trace.h"

#include <fcntl.h>
#include <io.h>
#include <stdarg.h>
#include <stdio.h>

void Trace(const char* format, ...) {
    // Binary, so that "\n" stays one byte instead of becoming CR LF.
    static bool binary = false;
    if (!binary) {
        _setmode(_fileno(stdout), _O_BINARY);
        binary = true;
    }
    va_list args;
    va_start(args, format);
    (void)vfprintf(stdout, format, args);
    va_end(args);
    // Flushed per line: whoever reads the trace may read it while we run.
    (void)fflush(stdout);
}
