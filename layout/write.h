// The medium on disk: the disks' directories under the output directory,
// SETUP.EXE and QUILL95.INI on disk 1, the pieces; and its removal.
#pragma once

// Makes Layout.OutDir (when it is not there) and its work directory.
// false, having said why, when either can't be made.
bool MakeOutDir();

// Writes every disk as planned. false, having said why, when anything
// could not be made or written whole.
bool WriteMedium();

// Removes the work directory and what is in it.
void RemoveWork();

// Removes everything the program made under the output directory, by the
// names it gave them, and the directory itself when the program made it:
// nothing of the user's is touched.
void RemoveMedium();
