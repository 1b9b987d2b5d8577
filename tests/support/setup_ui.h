// The real SETUP.EXE's windows as a driver finds them, without GoogleTest:
// the tests and the demo's driver share it.
#pragma once

#include <windows.h>

#include <string>

#include "driver/driver.h"
#include "res/resource.h"

// The titles of the program's windows (UTF-8), and the windows.
constexpr char kMainTitle[] = "Quill字型Win95'安裝程式";
constexpr char kDestinationTitle[] = "目的目錄";
constexpr char kPromptTitle[] = "安裝Quill字型Win95'";

inline HWND WaitMainDialog(const qdriver::Process& setup) {
    return setup.WaitWindow("qsetup", Ansi(kMainTitle).c_str());
}
inline HWND WaitDestination(const qdriver::Process& setup) {
    return setup.WaitWindow("#32770", Ansi(kDestinationTitle).c_str());
}
inline HWND WaitPrompt(const qdriver::Process& setup) {
    return setup.WaitWindow("#32770", Ansi(kPromptTitle).c_str());
}

// The title of its message boxes, and its last one (UTF-8).
constexpr char kCaption[] = "Quill字型Win 95'安裝程式";
constexpr char kDone[] = "安裝完成 ! 謝謝您使用合法之Quill字型軟體 。";

// Waits for a message box of the program's (except one that is not) or a
// disk prompt that takes input; returns the box, or null and the prompt.
inline HWND WaitBoxOrPrompt(const qdriver::Process& setup, HWND* prompt, HWND except = nullptr) {
    const std::string title = Ansi(kPromptTitle);
    HWND box = nullptr;
    setup.WaitUntil(
        [&] {
            *prompt = setup.Find("#32770", title.c_str());
            if (*prompt && !IsWindowEnabled(*prompt)) *prompt = nullptr;  // a box over it
            box = nullptr;
            for (const qdriver::WindowInfo& w : setup.Windows())
                if (w.hwnd != except && w.visible && w.enabled && qdriver::IsMessageBox(w.hwnd)) box = w.hwnd;
            return box || *prompt;
        },
        "a message box or a disk prompt");
    return box;
}

// The piece a disk prompt's text names: "...含有 NAME 之磁片放入...".
inline std::string PromptedPiece(const std::string& text) {
    const size_t end = text.find(Ansi(" 之磁片"));
    if (end == std::string::npos || end == 0) return "";
    const size_t start = text.rfind(' ', end - 1) + 1;
    return text.substr(start, end - start);
}
