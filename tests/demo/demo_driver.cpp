// Works a whole install of the sample medium through the real program's
// windows, for `make demo` without a display, saving the screen at each step.
//   demo_driver DISK1 DISK2 TARGET OUT_DIR
// It starts DISK1\SETUP.EXE itself, so the program shares its desktop. The
// screens go to OUT_DIR as BMP files; what it did goes to OUT_DIR\driver.log
// (it has no console), the program's trace to OUT_DIR\setup-trace.txt.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "support/setup_ui.h"

using namespace qdriver;

namespace {

// The sample's Program Manager group (scripts/make-medium).
constexpr char kGroup[] = "Font Kit";

std::string outDir;
FILE* logFile = nullptr;

void Log(const std::string& utf8) {
    if (!logFile) return;
    std::fprintf(logFile, "%s\n", utf8.c_str());
    std::fflush(logFile);
}

// Waits until done, or kWait; false when it never came.
bool WaitFor(const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > kWait) return false;
    return true;
}

// Nothing of window, nor of any control in it, is left to paint.
bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (const WindowInfo& c : Children(window))
        if (c.visible && GetUpdateRect(c.hwnd, nullptr, FALSE)) return false;
    return true;
}

// The whole screen (the Wine desktop) as a 24-bit BMP file, once the
// program waits for input with every window of its painted.
void SaveScreen(const Process& setup, const std::string& name) {
    if (setup.Running()) {
        WaitForInputIdle(setup.handle(), kWait);
        const bool painted = WaitFor([&] {
            for (const WindowInfo& w : setup.Windows())
                if (w.visible && !Painted(w.hwnd)) return false;
            return true;
        });
        if (!painted) Log("screen: the windows never finished painting");
    }
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    const std::string path = outDir + "\\" + name + ".bmp";
    FILE* f = copied && bits ? std::fopen(path.c_str(), "wb") : nullptr;
    if (f) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
        std::fwrite(bits, 1, size, f);
        std::fclose(f);
        Log("screen: " + name);
    } else {
        Log("screen: could not save " + name);
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Wine shows the Program Manager group in a folder window, which comes up
// a moment after the item was added, over the prompt that is then open: as
// a user would, bring the setup's windows back in front of it.
void BringUp(HWND dialog, HWND prompt) {
    const bool shown = WaitFor([] {
        HWND folder = FindWindowA(nullptr, kGroup);
        return folder != nullptr && IsWindowVisible(folder) && Painted(folder);
    });
    if (!shown) Log("the group's folder window did not show");
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, keep);
    SetWindowPos(prompt, HWND_TOP, 0, 0, 0, 0, keep);
    SetForegroundWindow(prompt);
}

void Install(Process& setup, const std::string& disk1, const std::string& disk2,
             const std::string& target) {
    HWND dialog = WaitMainDialog(setup);
    HWND list = Control(dialog, IDC_FONT_LIST);
    std::string names;
    for (const std::string& line : ListLines(list)) names += " [" + Utf8(line) + "]";
    Log("main dialog: fonts" + names + "; status \"" + Utf8(Text(dialog, IDC_STATUS)) + "\"");
    SaveScreen(setup, "01-main");

    SelectListItem(list, 0);
    SelectListItem(list, 1);
    Log("selected both fonts");
    SaveScreen(setup, "02-selected");

    Click(dialog, IDC_INSTALL);
    HWND ask = WaitDestination(setup);
    Log("destination dialog: it offered \"" + Utf8(Text(ask, IDC_TARGET_DIR)) + "\"");
    SetText(ask, IDC_TARGET_DIR, target);
    Log("typed " + target);
    SaveScreen(setup, "03-destination");
    Click(ask, IDOK);

    // Then the question (over the destination dialog, which holds a static
    // like a message box's), the disk prompts and the end, in the
    // program's order: each is answered as it comes.
    int prompts = 0;
    for (;;) {
        HWND prompt = nullptr;
        if (HWND box = WaitBoxOrPrompt(setup, &prompt, ask)) {
            const std::string text = Utf8(MessageBoxText(box));
            Log("message box \"" + Utf8(Text(box)) + "\": " + text);
            if (text == "建立一個新的目錄 ？") {
                SaveScreen(setup, "04-question");
                Answer(box, IDOK);
                Log("answered OK");
                setup.WaitGone(ask);
                continue;
            }
            if (text.rfind("安裝完成", 0) == 0) {
                SaveScreen(setup, "06-done");
                Answer(box, IDOK);
                Log("answered OK");
                break;
            }
            throw Failure("unexpected message: " + text);
        }
        const std::string text = Text(prompt, IDC_PROMPT_TEXT);
        const std::string piece = PromptedPiece(text);
        const std::string dir = Exists(disk1 + "\\" + piece) ? disk1 : disk2;
        Log("disk prompt: " + Utf8(text));
        SetText(prompt, IDC_PROMPT_DIR, dir);
        Log("typed " + dir);
        BringUp(dialog, prompt);
        SaveScreen(setup, ++prompts == 1 ? "05-disk-prompt" : "05-disk-prompt-" + std::to_string(prompts));
        Click(prompt, IDOK);
        // Gone, or under a message saying why not.
        setup.WaitUntil([&] { return !IsWindow(prompt) || !IsWindowEnabled(prompt); },
                        "the disk prompt to close");
    }

    Log("status line: \"" + Utf8(Text(dialog, IDC_STATUS)) + "\"");
    Click(dialog, IDC_EXIT);
    const DWORD code = setup.WaitExit();
    Log("SETUP.EXE ended with exit code " + std::to_string(code));
    if (code != 0) throw Failure("exit code " + std::to_string(code));
}

void SaveTrace(const Process& setup) {
    if (FILE* f = std::fopen((outDir + "\\setup-trace.txt").c_str(), "wb")) {
        const std::string text = Utf8(setup.Output());
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

void Run(const std::string& disk1, const std::string& disk2, const std::string& target) {
    Process setup(disk1 + "\\SETUP.EXE", "", disk1);
    try {
        Install(setup, disk1, disk2, target);
    } catch (...) {
        // While the program's windows are still up.
        SaveScreen(setup, "failure");
        SaveTrace(setup);
        throw;
    }
    SaveTrace(setup);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    outDir = argv[4];
    logFile = std::fopen((outDir + "\\driver.log").c_str(), "wb");
    try {
        Run(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        Log(std::string("FAILED: ") + e.what());
        return 1;
    }
    Log("finished");
    std::fclose(logFile);
    return 0;
}
