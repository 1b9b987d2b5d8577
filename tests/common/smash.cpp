// The program's own stack guard (app/guard.cpp) in a program that can be
// made to smash its stack:
//   smash guard   prints the guard as start-up set it
//   smash         overruns a protected buffer, then says it survived
#include <stdio.h>
#include <string.h>

extern "C" void* __stack_chk_guard;

namespace {

__attribute__((noinline)) void Overrun(const char* text, size_t n) {
    char buffer[8];
    memcpy(buffer, text, n);
    fwrite(buffer, 1, 1, stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "guard") == 0) {
        printf("%p\n", __stack_chk_guard);
        return 0;
    }
    char text[64];
    memset(text, 'x', sizeof text);
    volatile size_t n = sizeof text;
    Overrun(text, n);
    printf("survived\n");
    fflush(stdout);
    return 0;
}
