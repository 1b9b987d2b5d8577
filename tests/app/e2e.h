// Helpers of the tests that run a whole install through the real program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "driver/driver.h"

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

// Selects the fonts, presses Install and answers the destination dialog
// with target. Returns the main dialog.
inline HWND StartInstall(qdriver::Process& setup, const std::vector<int>& fonts, const std::string& target) {
    using namespace qdriver;
    HWND dialog = setup.WaitWindow("qsetup", Ansi("Quill字型Win95'安裝程式").c_str());
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
