// Times the layout program's compressor inside the process (Wine's start-up
// left out) and checks the platform's LZ library expands what it wrote.
//   lzcompress_bench INPUT OUTPUT ROUNDS
// prints "compress BYTES_IN BYTES_OUT BEST_SECONDS".
#include <windows.h>
// after windows.h, which it needs
#include <lzexpand.h>

#include <cstdio>
#include <cstdlib>

#include "layout/lzcompress.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const int rounds = std::atoi(argv[3]);
    double best = 1e9;
    long out = -1;
    unsigned long length = 0;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int r = 0; r < rounds; ++r) {
        const HFILE in = _lopen(argv[1], OF_READ);
        const HFILE to = _lcreat(argv[2], 0);
        if (in == HFILE_ERROR || to == HFILE_ERROR) return 1;
        length = static_cast<unsigned long>(_llseek(in, 0, FILE_END));
        _llseek(in, 0, FILE_BEGIN);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        out = LzCompress(in, length, to, 'T');
        QueryPerformanceCounter(&end);
        _lclose(in);
        _lclose(to);
        const double s = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        if (s < best) best = s;
    }
    // The library must give back every byte.
    OFSTRUCT record;
    const int lz = LZOpenFileA(argv[2], &record, OF_READ);
    const long expanded = lz < 0 ? lz : LZSeek(lz, 0, FILE_END);
    if (lz >= 0) LZClose(lz);
    if (out < 0 || expanded != static_cast<long>(length)) {
        std::printf("compress failed: wrote %ld, expands to %ld of %lu\n", out, expanded, length);
        return 1;
    }
    std::printf("compress %lu %ld %.4f\n", length, out, best);
    return 0;
}
