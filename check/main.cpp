// QCHECK.EXE, the medium checker: a console program.
#include "check/check.h"

int main(int argc, char** argv) { return RunCheck(argc, argv); }
