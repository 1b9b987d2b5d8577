// The stack protector's guard and its failure, defined here so that the
// compiler's run-time library for them is not linked: that one sets the
// guard from CryptoAPI, which the first Windows 95 lacks, and so would keep
// the program from starting there.
#include <windows.h>

#include <stdint.h>

namespace {

// What a smashed stack ends the program with, as Windows itself reports it.
constexpr UINT kStackSmashed = 0xC0000409;  // STATUS_STACK_BUFFER_OVERRUN

// Mixes the bits of x into all the others (a 64-bit finaliser).
uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ULL;
    return x ^ (x >> 33);
}

}  // namespace

extern "C" {

// Compared by every protected function on its return. A fixed value until
// start-up sets it; never 0, and its lowest byte 0, so that a string copy
// running over a buffer can't write it back.
void* __stack_chk_guard = reinterpret_cast<void*>(static_cast<uintptr_t>(0x5EC0DE00));

// The stack can't be trusted any more: nothing of the program runs again.
__attribute__((noreturn, no_stack_protector)) void __stack_chk_fail(void) {
    TerminateProcess(GetCurrentProcess(), kStackSmashed);
    for (;;) ExitProcess(kStackSmashed);
}

}  // extern "C"

namespace {

// Run before anything of the program (constructors of priority 101 come
// first). It is itself unprotected: the guard changes under it.
__attribute__((constructor(101), no_stack_protector)) void SetStackGuard() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter;
    if (!QueryPerformanceCounter(&counter)) counter.QuadPart = 0;
    uint64_t seed = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    seed = Mix(seed ^ static_cast<uint64_t>(counter.QuadPart));
    seed = Mix(seed ^ GetTickCount() ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32));
    seed = Mix(seed ^ GetCurrentThreadId() ^
               (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&now)) << 16));
    uintptr_t guard = static_cast<uintptr_t>(seed) & ~static_cast<uintptr_t>(0xFF);
    if (guard == 0) guard = 0x5EC0DE00;
    __stack_chk_guard = reinterpret_cast<void*>(guard);
}

}  // namespace
