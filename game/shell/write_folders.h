// Where the game writes. Beside its data (the saved files in its folder 01,
// lumotta.ini, Log.txt, screenshots/) when that folder may be written;
// otherwise, always for an installed game, in the user's folders:
// $XDG_DATA_HOME/lumotta (else ~/.local/share/lumotta) for the saved files,
// lumotta.ini and screenshots, $XDG_STATE_HOME/lumotta (else
// ~/.local/state/lumotta) for Log.txt. The stage files and pictures are read
// from the data folder either way.
#pragma once

#include <string>

struct WriteFolders {
    std::string saves;        // holds 01/ and lumotta.ini
    std::string log;          // holds Log.txt
    std::string screenshots;  // holds screenshots/
    bool userFolders = false; // the user's folders, not the data folder
};

// $XDG_DATA_HOME/lumotta, else $HOME/.local/share/lumotta; a relative
// XDG_DATA_HOME is ignored, as the XDG rules ask. Empty without a home.
std::string userDataFolder();
// $XDG_STATE_HOME/lumotta, else $HOME/.local/state/lumotta.
std::string userStateFolder();

// True when the game may write beside the data in `dataDir`: the folder and
// its folder 01 are writable, and it is not an installed game's data (which
// stays as the package made it, also for root).
bool writesBesideData(const std::string& dataDir);

// The folders for the data folder `dataDir` (an absolute path).
WriteFolders chooseWriteFolders(const std::string& dataDir);
