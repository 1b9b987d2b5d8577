// The disks of a medium from the command line: the directory of disk 1 and
// the others, matched to the disk labels the description's pieces use.
#pragma once

// Takes the arguments: disk 1's directory, then DIR or NAME=DIR for the
// others. true to go on; false, with *exit set, after the usage asked for
// (/?, -?, -h, --help: 0) or when there is no disk 1 or too much (2).
bool TakeDiskArguments(int argc, char** argv, int* exit);

// Disk 1's directory, in full.
const char* FirstDiskDir();

// Matches every disk label of the loaded catalogue's pieces to a directory:
// by its NAME=DIR, else in the order the labels first come, the directories
// in the order given. Says which it used, and reports a label or directory
// left over, a directory that can't be read, and labels that differ only
// in letter case or blanks.
void MatchDisks();
