// The disks of a medium: the directory of disk 1 and the others given on
// the command line, matched to the disk names the description uses.
#pragma once

// Takes the arguments: disk 1's directory, then DIR or NAME=DIR for the
// others. false (after saying why) when there is no disk 1.
bool TakeDiskArguments(int argc, char** argv);

// Disk 1's directory, in full.
const char* FirstDiskDir();

// Matches every disk name of the loaded catalogue's pieces to a directory:
// by its NAME=DIR, else in the order the names first come, the directories
// in the order given. Says which it used, and reports a name or directory
// left over.
void MatchDisks();

int DiskCount();
const char* DiskName(int disk);
// The directory of a disk, or null when none was given for it.
const char* DiskDir(int disk);
// The disk of a name, or -1.
int DiskOf(const char* name);
