// Times AssembleFile inside the process (Wine's start-up left out): a plain
// item of three pieces and a compressed item of several pieces.
//   assemble_bench PIECES_DIR OUT_DIR PLAIN_PIECES LZ_PIECES ROUNDS
// Prints one line per item: "<name> <bytes> <best seconds>".
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "common/globals.h"
#include "common/path.h"
#include "install/assemble.h"
#include "setup/catalogue.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

long long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &a)) return -1;
    return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

// Best of rounds, so page-cache warm-up doesn't count against us.
double TimeItem(const char* out, int first, int files, int compressed, int rounds) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        AssembledFile result;
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        const int ok = AssembleFile(nullptr, out, files, first, compressed, 0, &result);
        QueryPerformanceCounter(&t1);
        if (!ok) {
            fprintf(stderr, "assembly failed\n");
            exit(1);
        }
        const double s = Seconds(t0, t1);
        if (s < best) best = s;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: assemble_bench PIECES_DIR OUT_DIR PLAIN_PIECES LZ_PIECES ROUNDS\n");
        return 2;
    }
    AppInstance = GetModuleHandleA(nullptr);
    const int plain = atoi(argv[3]), packed = atoi(argv[4]), rounds = atoi(argv[5]);
    CopyText(SetupInfo.SourceDir, argv[1]);
    for (int k = 0; k < plain; ++k) FormatText(SetupInfo.Pieces.File[k], "plain.%d", k + 1);
    for (int k = 0; k < packed; ++k) FormatText(SetupInfo.Pieces.File[plain + k], "packed.%d", k + 1);
    for (int k = 0; k < plain + packed; ++k) CopyText(SetupInfo.Pieces.Disk[k], "Disk 1");

    const double plainSeconds = TimeItem(argv[2], 0, plain, 0, rounds);
    char path[kPathLen];
    JoinPath(path, argv[2], "plain.1");
    printf("plain %lld %.4f\n", FileSize(path), plainSeconds);
    const double packedSeconds = TimeItem(argv[2], plain, packed, 1, rounds);
    JoinPath(path, argv[2], "packed.1");
    printf("expand %lld %.4f\n", FileSize(path), packedSeconds);
    return 0;
}
