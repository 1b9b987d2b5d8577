// Helpers of the tests that start the real SETUP.EXE beside a description
// of their own making and work it through its windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "support/description.h"
#include "support/setup_ui.h"

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

// A run of the real program: disk1 holds it and the description a test
// gives it, disk2 more pieces; kit, tables and fonts are directories under
// root for a test to make or leave. The base font is registered, the
// test's registry keys are removed before and after, and no temporary file
// may be left behind.
class SetupRun : public ::testing::Test {
protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override {
        RemoveTestKeys();
        EXPECT_EQ(TempFiles(), tempBefore_) << "a temporary file was left behind";
    }

    BaseFont base;
    TempDir root;
    Medium disk1;
    TempDir disk2;
    const std::string kit = root.Join("KIT"), tables = root.Join("TBL"), fonts = root.Join("FONTS");

private:
    const std::vector<std::string> tempBefore_ = TempFiles();
};

// True when Wine reports Windows 95 or 98 to SETUP.EXE (scripts/run-tests
// sets its AppDefaults Version for the version sweep).
inline bool SetupRunsAs9x() {
    const std::string v = ReadValue("Software\\Wine\\AppDefaults\\SETUP.EXE", "Version").text;
    return lstrcmpiA(v.c_str(), "win95") == 0 || lstrcmpiA(v.c_str(), "win98") == 0 ||
           lstrcmpiA(v.c_str(), "winme") == 0;
}

// Selects the fonts, presses Install and answers the destination dialog
// with target. Returns the main dialog.
inline HWND StartInstall(const qdriver::Process& setup, const std::vector<int>& fonts,
                         const std::string& target) {
    using namespace qdriver;
    HWND dialog = WaitMainDialog(setup);
    HWND list = Control(dialog, IDC_FONT_LIST);
    for (int i : fonts) SelectListItem(list, i);
    Click(dialog, IDC_INSTALL);
    HWND ask = WaitDestination(setup);
    SetText(ask, IDC_TARGET_DIR, target);
    Click(ask, IDOK);
    return dialog;
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

// The main dialog closed by its Exit button, or by WM_CLOSE when none is
// given: the program ends with 0.
inline void ExpectExit(qdriver::Process& setup, HWND dialog = nullptr) {
    if (dialog)
        qdriver::Click(dialog, IDC_EXIT);
    else
        qdriver::Close(WaitMainDialog(setup));
    EXPECT_EQ(setup.WaitExit(), 0u);
}
