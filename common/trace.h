// The diagnostic trace: formatted lines on standard output, exactly as their
// formats say (each carries its own line feed). Without a standard output
// the lines are lost; nothing reads them back.
#pragma once

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
