// Start-up time under Wine: from process start to the main dialog on the
// screen, for SETUP.EXE and for a bare program that only shows a dialog,
// started by turns in one run; and the loading of a 120-font description.
//   startup_bench SETUP_DIR BARE_EXE ROUNDS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/catalogue.h"
#include "setup/loader.h"
#include "support/testutil.h"

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Found {
    DWORD pid;
    const char* cls;
    HWND window;
};

BOOL CALLBACK Match(HWND w, LPARAM lp) {
    Found* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (pid == f->pid && IsWindowVisible(w) && std::string(cls) == f->cls) {
        f->window = w;
        return FALSE;
    }
    return TRUE;
}

// Seconds from CreateProcess to a visible top-level window of class cls.
double TimeStart(const std::string& exe, const std::string& dir, const char* cls) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + exe + "\"";
    const double t0 = Now();
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        std::fprintf(stderr, "cannot start %s\n", exe.c_str());
        std::exit(1);
    }
    Found f = {pi.dwProcessId, cls, nullptr};
    double seconds = -1;
    while (Now() - t0 < 30) {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
        if (f.window) {
            seconds = Now() - t0;
            break;
        }
        Sleep(1);
    }
    if (f.window) PostMessageA(f.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (seconds < 0) {
        std::fprintf(stderr, "%s showed no %s window\n", exe.c_str(), cls);
        std::exit(1);
    }
    return seconds;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A description of 120 fonts, each with one piece and one face name.
std::string FontsDescription() {
    std::string s = "[Fonts]\r\nFonts=120\r\n";
    for (int i = 1; i <= 120; ++i) s += "Font" + std::to_string(i) + "=Font " + std::to_string(i) + "\r\n";
    s += "[Font Files]\r\n";
    for (int i = 1; i <= 120; ++i) {
        const std::string n = "Font " + std::to_string(i);
        s += n + " Size=900\r\n" + n + " Files=1\r\n" + n + " FontName=Base (TrueType)\r\n" + n +
             " AFiles=1\r\n" + n + " AFontName1=Face " + std::to_string(i) + "\r\n" + n +
             " File1=F" + std::to_string(i) + ".TTE\r\n" + n + " Disk1=Disk 1\r\n";
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: startup_bench SETUP_DIR BARE_EXE ROUNDS\n");
        return 2;
    }
    const std::string setupDir = argv[1];
    const int rounds = std::atoi(argv[3]);
    std::vector<double> setup, bare;
    TimeStart(setupDir + "\\SETUP.EXE", setupDir, "qsetup");  // warm both up once
    TimeStart(argv[2], "", "#32770");
    for (int r = 0; r < rounds; ++r) {
        setup.push_back(TimeStart(setupDir + "\\SETUP.EXE", setupDir, "qsetup"));
        bare.push_back(TimeStart(argv[2], "", "#32770"));
    }
    std::printf("startup setup %.4f bare %.4f\n", Median(setup), Median(bare));

    // The loader, in this process, on a description of 120 fonts.
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    // Dated back, as a medium's description is: Wine's profile reader
    // parses a file changed in the last two seconds anew on every call,
    // which would more than double the time measured.
    const std::string file = WriteBytes(std::string(path) + "bench120.ini", FontsDescription(), true);
    std::vector<double> loads;
    for (int r = 0; r < std::max(rounds, 5); ++r) {
        CopyText(SetupInfo.SetupFilePath, file.c_str());
        CopyText(SetupInfo.WindowsDir, "C:\\WINDOWS");
        const double t0 = Now();
        const int code = ReadSetupDescription();
        loads.push_back(Now() - t0);
        if (code != 0 || SetupInfo.FontCount != 120) {
            std::fprintf(stderr, "the 120-font description did not load (%d)\n", code);
            return 1;
        }
    }
    DeleteFileA(file.c_str());
    std::printf("load120 first %.4f median %.4f\n", loads.front(), Median(loads));
    return 0;
}
