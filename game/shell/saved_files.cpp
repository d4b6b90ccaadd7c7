#include "game/shell/saved_files.h"

#include "game/shell/file_writing.h"
#include "game/state/globals.h"

#include <cstdio>
#include <string>

namespace {

std::string gFolder;  // holds 01; "" = the current directory

std::string savedFolder() { return gFolder.empty() ? std::string("01") : gFolder + "/01"; }

void readInto(const std::string& path, void* record, size_t size) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    // A short file replaces only its leading bytes.
    const size_t got = std::fread(record, 1, size, f);
    (void)got;
    std::fclose(f);
}

// One saved file replaced whole from its record; a failure is reported.
bool writeFrom(const char* what, const char* name, const void* record, size_t size) {
    const std::string path = savedFilePath(name);
    std::string reason;
    if (replaceFile(path, record, size, reason)) return true;
    reportFailedWrite(what, path, reason);
    return false;
}

template <typename T>
T clampTo(T value, T low, T high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

void setSavedDefaults() {
    for (PadAssignment& pad : game.padButtons) {
        for (int b = 0; b < 8; ++b) pad.buttonMask[b] = 16 << b;
        pad.spare = 0;
    }
    game.padButtons[0].padIndex = 0;
    game.padButtons[1].padIndex = 1;
    game.settings.startLives = 2;
    game.stageSelectChoice = 1;
}

void setSavedFilesFolder(const std::string& folder) { gFolder = folder; }

std::string savedFilePath(const char* name) { return savedFolder() + "/" + name; }

void readSavedFiles() {
    readInto(savedFilePath("H.dat"), &game.highestStage, sizeof game.highestStage);
    readInto(savedFilePath("B.dat"), game.padButtons, sizeof game.padButtons);
    readInto(savedFilePath("S.dat"), game.highScores, sizeof game.highScores);
    readInto(savedFilePath("K.dat"), &game.settings, sizeof game.settings);
    // padIndex picks one of seven joypads, startLives is shown with two digits.
    for (PadAssignment& pad : game.padButtons) pad.padIndex = clampTo(pad.padIndex, 0, 6);
    game.settings.startLives = clampTo<int16_t>(game.settings.startLives, 0, 99);
}

bool writeSavedFiles() {
    std::string reason;
    if (!makeFolder(savedFolder(), reason)) {
        // Nothing can be saved: each file says so, so none is lost unseen.
        for (const char* what : {"The settings", "The ranking", "The joypad buttons", "The highest stage"})
            reportFailedWrite(what, savedFolder(), reason);
        return false;
    }
    bool ok = writeFrom("The settings", "K.dat", &game.settings, sizeof game.settings);
    ok = writeFrom("The ranking", "S.dat", game.highScores, sizeof game.highScores) && ok;
    ok = writeFrom("The joypad buttons", "B.dat", game.padButtons, sizeof game.padButtons) && ok;
    ok = writeFrom("The highest stage", "H.dat", &game.highestStage, sizeof game.highestStage) && ok;
    return ok;
}
