// Functions bound at run time, for calls that not every Windows has.
#pragma once

#include <windows.h>

// The export name of module as a function of type Proc, or null. Cast by way
// of a plain function pointer: FARPROC is a function of another type.
template <typename Proc>
Proc ProcAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The same from KERNEL32, which every process has loaded.
template <typename Proc>
Proc KernelProc(const char* name) {
    return ProcAddress<Proc>(GetModuleHandleA("KERNEL32.DLL"), name);
}
