// The layout program: a medium from a list of files.
#pragma once

// QLAYOUT LAYOUT.INI OUTDIR: lays out the disks of the layout file in
// OUTDIR\DISK1, DISK2 ..., checks them with the loader and QCHECK.EXE, and
// prints the layout. 0 when the medium is there and checked; 2 when it was
// refused or failed, with nothing left of it; 0 after the usage /? asks for.
// programDir holds the SETUP.EXE a layout takes by default, and QCHECK.EXE.
int RunLayout(int argc, char** argv, const char* programDir);
