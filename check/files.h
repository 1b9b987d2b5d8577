// The pieces on the disks, and the files the items build from them.
#pragma once

// Each piece on the disk its key names; a font's pieces against its Size;
// a compressed piece where none is expected; each compressed item expanded
// as the assembly expands it.
void CheckPieces();

// The pieces in the order a run opens them, from the directory SETUP.EXE
// would be in: a copy found there is taken without asking for its disk.
void CheckSourceWalk();

// Two items that write one file.
void CheckDestinations();
