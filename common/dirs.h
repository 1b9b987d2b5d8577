// Typed directories: what the user types as the destination becomes the full
// path of an existing directory, asked for in the destination dialog.
#pragma once

#include <windows.h>

#include "common/text.h"

// Rewrites path in place as a full path, by its form: empty (the current
// directory), \DIR (the current drive), C:\DIR (as it is), C: or C:DIR
// (drive C's remembered directory), DIR (the current directory). "." and
// ".." stay. A drive that is not there leaves the text as typed; a text
// whose full path would not fit kPathLen is refused: path becomes empty.
void NormalizeDir(char (&path)[kPathLen]);

// Removes one trailing backslash, but not the one of a root such as C:\ .
void TrimDirSlash(char* path);

// 1 when path names an existing directory that is neither moduleDir nor
// sourceDir (compared by their full forms, without case), else 0. The
// current drive and directory are as before when it returns.
int IsExistingDir(const char* path, const char* moduleDir, const char* sourceDir = nullptr);

// Runs the destination dialog (IDD_TARGET_DIR) on targetDir, which it edits in
// place. 1: a directory was accepted and is in targetDir. 0: the user
// cancelled, or the dialog could not be shown. systemDir is what the box
// falls back to after a refused or declined creation.
int AskTargetDir(HWND owner, char (&targetDir)[kPathLen], const char* systemDir,
                 const char* moduleDir, const char* sourceDir = nullptr);

