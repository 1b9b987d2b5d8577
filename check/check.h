// The medium checker: the description read by the loader SETUP.EXE uses,
// every piece opened and every compressed item expanded by the install
// layer's own routines, so that it can't disagree with SETUP.EXE on what a
// medium means. It writes nothing on the medium.
#pragma once

// The program: QCHECK DISK1 [DIR | NAME=DIR]... 0 when the medium is clean,
// 1 for warnings only, 2 for errors (or when it could not be checked); 0
// after the usage that /? asks for.
int RunCheck(int argc, char** argv);
