// lumotta.ini: the comforts of our own, beside the saved files, kept apart
// from the game's settings in 01/K.dat (whose layout is fixed). Plain lines
// of "name = value"; "#" or ";" start a comment. Without the file, or for a
// line that cannot be read, the defaults stand, which are the game as it
// always was.
//
//   scaling = smooth        smooth | sharp
//   volume = 100            0..100
//   muted = no              yes | no
//   window = 320,150,640,480    where the window was: x, y, width, height
#pragma once

#include <string>
#include <vector>

struct UserSettings {
    int scaling = 0;          // kScalingSmooth or kScalingSharp
    int volume = 100;         // percent
    bool muted = false;
    bool windowKnown = false; // the window's place was remembered
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
};

// Every line that cannot be used goes to `problems` ("line 3: ...").
UserSettings parseUserSettings(const std::string& text, std::vector<std::string>& problems);
std::string formatUserSettings(const UserSettings& settings);

// "<folder>/lumotta.ini", or "lumotta.ini" for the current directory.
std::string userSettingsPath(const std::string& folder);

// Reads the file when it is there, the defaults else; what could not be used
// goes to `problems` ("<path>, line 3: ...") for the log.
UserSettings readUserSettings(const std::string& path, std::vector<std::string>& problems);
// Replaces the file whole; a failure is reported (file_writing.h).
bool writeUserSettings(const std::string& path, const UserSettings& settings);
