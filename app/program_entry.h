// The program's course from start to end, platform-free.
#pragma once
#include <stdint.h>

// Loads the marker, finds and reads the package in the program's own file,
// takes the command-line path of a one-target package, runs the main window
// and releases the package. Returns the exit code: always 0 (a fatal error
// ends the process on its own). Without a package, or with no target in it,
// it returns before any window exists.
int32_t RunProgram();
