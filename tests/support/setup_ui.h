// The real SETUP.EXE's windows as a driver finds them, without GoogleTest:
// the tests and the demo's driver share it.
#pragma once

#include <windows.h>

#include <string>

#include "driver/driver.h"
#include "res/resource.h"

// Texts the program shows (UTF-8).
constexpr char kMainTitle[] = "Quill字型Win95'安裝程式";
constexpr char kDestinationTitle[] = "目的目錄";
constexpr char kPromptTitle[] = "安裝Quill字型Win95'";
constexpr char kCaption[] = "Quill字型Win 95'安裝程式";
constexpr char kDone[] = "安裝完成 ! 謝謝您使用合法之Quill字型軟體 。";

inline HWND WaitMainDialog(const qdriver::Process& setup) {
    return setup.WaitWindow("qsetup", Ansi(kMainTitle).c_str());
}
inline HWND WaitDestination(const qdriver::Process& setup) {
    return setup.WaitWindow("#32770", Ansi(kDestinationTitle).c_str());
}
inline HWND WaitPrompt(const qdriver::Process& setup) {
    return setup.WaitWindow("#32770", Ansi(kPromptTitle).c_str());
}

// The piece a disk prompt's text names: "...含有 NAME 之磁片放入...".
inline std::string PromptedPiece(const std::string& text) {
    const size_t end = text.find(Ansi(" 之磁片"));
    if (end == std::string::npos || end == 0) return "";
    const size_t start = text.rfind(' ', end - 1) + 1;
    return text.substr(start, end - start);
}
