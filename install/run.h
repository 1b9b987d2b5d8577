// The Install command: the destination, the space check, then every
// accessory file, every table and the selected fonts.
#pragma once

#include <windows.h>

#include "common/text.h"
#include "setup/catalogue.h"

// A step of a run: one item of one kind, by its index in its table.
enum ItemKind { kMiscKind, kTableKind, kFontKind };
struct RunStep {
    ItemKind Kind;
    int Index;
};
constexpr int kMaxRunSteps = kMaxMiscItems + kMaxTableItems + kMaxFontItems;

// The items a run installs, in the order it installs them: every accessory
// file, every table, then the count fonts given (FontItems indices). The
// number of steps.
int RunSteps(const int* fonts, int count, RunStep (&steps)[kMaxRunSteps]);

// Handles the Install button, Enter and a double click in the font list.
void InstallCommand(HWND dialog);

// True while a run is under way. Its dialogs are modal, but a Program
// Manager conversation runs a message loop of its own, in which the main
// dialog's commands would otherwise be handled.
bool InstallRunning();

// LinkDir for a destination: empty in the Fonts directory (letter case and
// one trailing backslash aside), the destination itself elsewhere.
void DecideLinkDir(const char* targetDir, const char* fontsDir, char (&linkDir)[kPathLen]);

// Free kilobytes on the drive whose root is given, asked in 64 bits where
// the platform can (the older 32-bit call serves where it can't); false
// when it can't be asked.
bool FreeKilobytes(const char* root, long long* freeKb);

// The free-space message when neededKb is more than freeKb; false (and no
// text) when the space suffices.
bool FreeSpaceText(long long neededKb, long long freeKb, char (&text)[kMessageLen]);
