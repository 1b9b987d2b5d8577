// The layout file: [Medium], then the items of each kind as the
// description will list them, each with its whole source file.
#pragma once

// The value of key in section of the layout file, read whole into a buffer
// of the reader's; its length, or -1 when the key is missing.
int ReadLayoutValue(const char* section, const char* key, const char** value);

// Reads Layout.LayoutPath into Layout: the disk format, the label, the
// program for disk 1 (by default SETUP.EXE in programDir), and every item
// with its source, checked as the loader checks the description that will
// be made of it. false after the first key refused has been reported.
bool ReadLayout(const char* programDir);
