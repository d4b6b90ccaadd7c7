// Where the game's data lives: the working directory when it holds the
// game's folders, otherwise the default data set the build made.
#pragma once

#include <string>
#include <vector>

// True when `dir` holds game data: the pictures of folder 00 (a folder, or
// the archive 00.lmt) and the first stage's file 01/00.dat.
bool holdsGameData(const std::string& dir);

// The directories tried, in order, when the working directory holds no game
// data: "data" beside the program (the build's layout), the install
// location's share/lumotta, and the data directory of the build that made
// the program.
std::vector<std::string> defaultDataDirectories();

// Where an installed game keeps its data: share/lumotta beside the bin
// folder that holds the program. Empty when the program cannot be found.
std::string installedDataDirectory();

// Changes to the first default data directory that holds game data when the
// working directory holds none. Returns false when it stayed where it was.
bool moveToDataDirectory();
