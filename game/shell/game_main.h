// Start-up, the main loop and shut-down.
#pragma once

#include "game/shell/command_line.h"

// The program from its command line: --help and --version answer at once, a
// bad command line says what is wrong with the usage and gives 2, anything
// else runs the game.
int runProgram(int argc, const char* const* argv);

// Runs the whole program; returns 0 after a normal run, 1 when a file could
// not be saved (each such failure is reported on standard error and in
// Log.txt), 2 when an option's folder or file is unusable, -1 when the media
// layer could not start.
int runGame(const CommandLine& options = {});
