// Calls that not every Windows has, bound at run time: a static import of
// one would keep the program from starting where it is missing. A call
// that is missing stays null, and its caller takes the older way.
#pragma once

#include <windows.h>

// Why a call was not bound.
enum class Binding { Found, NoLibrary, NoFunction };

// The export name of module (loaded when it is not yet) as a function of
// type Proc, or null; the reason goes to *binding when one is given. Cast
// by way of a plain function pointer: FARPROC is a function of another type.
template <typename Proc>
Proc BindProc(const char* module, const char* name, Binding* binding = nullptr) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) handle = LoadLibraryA(module);
    if (handle == nullptr) {
        if (binding != nullptr) *binding = Binding::NoLibrary;
        return nullptr;
    }
    const auto proc = reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
    if (binding != nullptr) *binding = proc != nullptr ? Binding::Found : Binding::NoFunction;
    return proc;
}

// Program Manager's DDE service and topic.
constexpr char kProgman[] = "PROGMAN";

// What the program binds at run time, and the DDE service it talks to.
struct RunTimeCalls {
    // KERNEL32: free space in 64 bits; the first Windows 95 lacks it.
    BOOL(WINAPI* DiskFreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    // KERNEL32: a move over an existing file; only a stub on Windows 9x.
    BOOL(WINAPI* MoveFileReplacing)(LPCSTR, LPCSTR, DWORD);
    // GDI32: switches EUDC fonts off and on; only Chinese editions have it.
    BOOL(WINAPI* EnableEudc)(BOOL);
    Binding EnableEudcBinding;
    // Program Manager's DDE service.
    const char* ProgmanService;
};

// The table, bound on the first call. A test puts its own entries in after
// that first call, and the whole table back when it is done.
RunTimeCalls& RunTime();
