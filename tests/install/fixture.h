// A catalogue of pieces on "disks" (directories) of the test's making, the
// messages loaded from this program's own resources, and a status line;
// the test's registry keys are removed before and after.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "common/globals.h"
#include "common/messages.h"
#include "install/pieces.h"
#include "setup/catalogue.h"
#include "support/testutil.h"
#include "support/winui.h"

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        LoadCaption();
        memset(&SetupInfo, 0, sizeof SetupInfo);
        CopyText(SetupInfo.SourceDir, disk1.Path().c_str());
        CancelRequested = 0;
        UseLzSource = 0;
        RemoveTestKeys();
    }
    void TearDown() override {
        RemoveTestKeys();
        EXPECT_TRUE(script.Unexpected.empty()) << "unexpected: " << Utf8(script.Unexpected[0]);
        EXPECT_TRUE(script.Done()) << "a scripted dialog never came";
    }

    // Steps of the script: a message box that must say text (ANSI bytes),
    // answered with OK; a press of button id in whatever comes; the disk
    // prompt answered with dir and OK.
    static DialogScript::Step Box(const std::string& text) {
        return [text](HWND box) {
            EXPECT_EQ(DialogScript::BoxText(box), text) << Utf8(DialogScript::BoxText(box));
            DialogScript::Press(box, IDOK);
        };
    }
    static DialogScript::Step Press(int id) {
        return [id](HWND dialog) { DialogScript::Press(dialog, id); };
    }
    static DialogScript::Step Typed(const std::string& dir) {
        return [dir](HWND prompt) {
            DialogScript::SetText(prompt, IDC_PROMPT_DIR, dir);
            DialogScript::Press(prompt, IDOK);
        };
    }

    // A piece of the catalogue; its bytes go to dir unless dir is null.
    int Piece(const std::string& file, const std::string& disk, const TempDir* dir,
              const std::string& bytes = "") {
        const int i = pieces_++;
        CopyText(SetupInfo.Pieces.File[i], file.c_str());
        CopyText(SetupInfo.Pieces.Disk[i], disk.c_str());
        if (dir) dir->Write(file, bytes);
        return i;
    }

    TempDir disk1, disk2;
    StatusRecorder status;
    DialogScript script;

private:
    int pieces_ = 0;
};
