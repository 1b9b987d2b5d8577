// Helpers of the tests that start the real SETUP.EXE beside a description
// of their own making and work it through its windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/text.h"
#include "driver/driver.h"
#include "support/description.h"

// Texts the program shows (UTF-8).
constexpr char kMainTitle[] = "Quill字型Win95'安裝程式";
constexpr char kCaption[] = "Quill字型Win 95'安裝程式";
constexpr char kDone[] = "安裝完成 ! 謝謝您使用合法之Quill字型軟體 。";

inline std::string SetupExe() { return WinePath(SETUP_EXE_UNIX); }

// Disk 1 of a medium: a copy of SETUP.EXE (under another name if asked)
// and its description, once there is one.
class Medium : public TempDir {
public:
    explicit Medium(const std::string& description = "", const char* exeName = "SETUP.EXE")
        : exe_(Join(exeName)) {
        if (!CopyFileA(SetupExe().c_str(), exe_.c_str(), FALSE))
            throw std::runtime_error("cannot copy " + SetupExe());
        if (!description.empty()) Describe(description);
    }
    // Written in the ANSI code page with CR LF line ends.
    void Describe(const std::string& utf8) const { Write("QUILL95.INI", Ansi(Dos(utf8).c_str())); }
    // Started in dir, by default in its own directory.
    qdriver::Process Start(const std::string& dir = "") const {
        return qdriver::Process(exe_, "", dir.empty() ? Path() : dir);
    }

private:
    std::string exe_;
};

// The base font the test descriptions name, registered in the system's
// font list while a test runs.
constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
constexpr char kBaseFont[] = "QuillTest Base (TrueType)";

inline bool RegisterBaseFont() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool done = RegSetValueExA(key, kBaseFont, 0, REG_SZ, reinterpret_cast<const BYTE*>("base.ttf"),
                                     9) == ERROR_SUCCESS;
    RegCloseKey(key);
    return done;
}

inline void UnregisterBaseFont() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kBaseFont);
        RegCloseKey(key);
    }
}

// A string value, or "<no key>" / "<no value>".
inline std::string RegText(HKEY root, const char* path, const char* name) {
    char data[600] = "";
    DWORD size = sizeof data;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        CopyText(data, "<no value>");
    RegCloseKey(key);
    return data;
}

// A number under HKCU, or 0xDEADBEEF.
inline DWORD RegNumber(const char* path, const char* name) {
    DWORD value = 0xDEADBEEF, size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

// True when Wine reports Windows 95 or 98 to SETUP.EXE (scripts/run-tests
// sets its AppDefaults Version for the version sweep).
inline bool SetupRunsAs9x() {
    char version[32] = "";
    DWORD size = sizeof version;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\SETUP.EXE", "Version",
                     RRF_RT_REG_SZ, nullptr, version, &size) != ERROR_SUCCESS)
        return false;
    return lstrcmpiA(version, "win95") == 0 || lstrcmpiA(version, "win98") == 0 ||
           lstrcmpiA(version, "winme") == 0;
}

inline HWND WaitMainDialog(const qdriver::Process& setup) {
    return setup.WaitWindow("qsetup", Ansi(kMainTitle).c_str());
}

// Selects the fonts, presses Install and answers the destination dialog
// with target. Returns the main dialog.
inline HWND StartInstall(const qdriver::Process& setup, const std::vector<int>& fonts,
                         const std::string& target) {
    using namespace qdriver;
    HWND dialog = WaitMainDialog(setup);
    HWND list = Control(dialog, 202);
    for (int i : fonts) SelectListItem(list, i);
    Click(dialog, 1);
    HWND ask = setup.WaitWindow("#32770", Ansi("目的目錄").c_str());
    SetText(ask, 101, target);
    Click(ask, IDOK);
    return dialog;
}

// The disk prompt.
inline HWND WaitPrompt(const qdriver::Process& setup) {
    return setup.WaitWindow("#32770", Ansi("安裝Quill字型Win95'").c_str());
}

// The piece a disk prompt's text names: "...含有 NAME 之磁片放入...".
inline std::string PromptedPiece(const std::string& text) {
    const size_t end = text.find(Ansi(" 之磁片"));
    if (end == std::string::npos || end == 0) return "";
    const size_t start = text.rfind(' ', end - 1) + 1;
    return text.substr(start, end - start);
}

// The next message box must say text (UTF-8) under caption (UTF-8; null:
// any); it is answered with OK.
inline void ExpectBox(const qdriver::Process& setup, const std::string& text,
                      const char* caption = kCaption) {
    HWND box = setup.WaitMessageBox();
    EXPECT_EQ(Utf8(qdriver::MessageBoxText(box)), text);
    if (caption) {
        EXPECT_EQ(Utf8(qdriver::Text(box)), caption);
    }
    qdriver::Answer(box, IDOK);
}
