// The four saved files in 01: ranking, joypad buttons, highest stage and
// settings, each the exact in-memory image of its record (little-endian, no
// header).
#pragma once

#include <string>

void setSavedDefaults();

// The folder that holds the folder 01 of saved files: the data folder when
// the game may write there, else the user's (write_folders.h). Empty (the
// default) is the current directory.
void setSavedFilesFolder(const std::string& folder);
// "<folder>/01/<name>", or "01/<name>" for the current directory.
std::string savedFilePath(const char* name);

// Reads 01/H.dat, 01/B.dat, 01/S.dat, 01/K.dat in that order. A missing file
// leaves the defaults; a short one replaces only its leading bytes. Values the
// game would misuse are brought into range (padIndex 0..6, startLives 0..99).
void readSavedFiles();

// Writes 01/K.dat, 01/S.dat, 01/B.dat, 01/H.dat, making the folder 01 (and
// the folders above it) when missing. Each file is written beside the old
// one and renamed over it, so a crash or a full disk leaves the old file
// whole. Each file that could not be written is reported (file_writing.h);
// false when any could not.
bool writeSavedFiles();
