#include "game/shell/saved_files.h"

#include "game/state/globals.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kSavedFolder = "01";

void readInto(const char* path, void* record, size_t size) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return;
    // A short file replaces only its leading bytes.
    const size_t got = std::fread(record, 1, size, f);
    (void)got;
    std::fclose(f);
}

// Writes the record to a temporary file in the same folder and renames it
// over the old file, so the old file stays whole until the new one is
// complete on disk.
void writeFrom(const char* path, const void* record, size_t size) {
    const std::string temporary = std::string(path) + ".new";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return;
    bool ok = std::fwrite(record, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path) != 0) std::remove(temporary.c_str());
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

void readSavedFiles() {
    readInto("01/H.dat", &game.highestStage, sizeof game.highestStage);
    readInto("01/B.dat", game.padButtons, sizeof game.padButtons);
    readInto("01/S.dat", game.highScores, sizeof game.highScores);
    readInto("01/K.dat", &game.settings, sizeof game.settings);
    // padIndex picks one of seven joypads, startLives is shown with two digits.
    for (PadAssignment& pad : game.padButtons) pad.padIndex = clampTo(pad.padIndex, 0, 6);
    game.settings.startLives = clampTo<int16_t>(game.settings.startLives, 0, 99);
}

void writeSavedFiles() {
    mkdir(kSavedFolder, 0777);  // an existing folder is fine
    writeFrom("01/K.dat", &game.settings, sizeof game.settings);
    writeFrom("01/S.dat", game.highScores, sizeof game.highScores);
    writeFrom("01/B.dat", game.padButtons, sizeof game.padButtons);
    writeFrom("01/H.dat", &game.highestStage, sizeof game.highestStage);
}
