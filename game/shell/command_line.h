// The program's options. With none the game starts as it always has: its
// data found as data_directory.h says, the window as the saved settings say.
#pragma once

#include <string>

struct CommandLine {
    bool help = false;
    bool version = false;
    std::string dataFolder;    // --data DIR: the game's data is there
    int windowed = -1;         // --windowed 1, --fullscreen 0, -1 as saved
    double scale = 0;          // --scale N: the window is N times 640x480; 0 as remembered
    std::string recordFolder;  // --record DIR: a replay of every stage played
    std::string replayFile;    // --replay FILE: watch a recorded attempt, then end
};

// Reads argv[1..]; false with a message for an unknown option, a missing or
// bad value. Both "--data DIR" and "--data=DIR" are taken.
bool parseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);

// The --help text, and the --version line ("Lumotta 1.0.0").
std::string usageText();
std::string versionText();

// Exit statuses of the program.
constexpr int kExitSavedFilesFailed = 1;  // it ran, but a file could not be written
constexpr int kExitUsage = 2;             // a bad command line
