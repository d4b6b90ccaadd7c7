#include "game/shell/saved_files.h"

#include "game/shell/globals.h"

#include <cstdio>

namespace {

void readInto(const char* path, void* record, size_t size) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return;
    std::fread(record, 1, size, f);  // a short file replaces only its leading bytes
    std::fclose(f);
}

void writeFrom(const char* path, const void* record, size_t size) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return;
    std::fwrite(record, 1, size, f);
    std::fclose(f);
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
}

void writeSavedFiles() {
    writeFrom("01/K.dat", &game.settings, sizeof game.settings);
    writeFrom("01/S.dat", game.highScores, sizeof game.highScores);
    writeFrom("01/B.dat", game.padButtons, sizeof game.padButtons);
    writeFrom("01/H.dat", &game.highestStage, sizeof game.highestStage);
}

void InsertHighScore(int score, int stageNumber) {
    for (int r = 0; r < 10; ++r) {
        if (score > game.highScores[r].score) {
            for (int k = 9; k > r; --k) game.highScores[k] = game.highScores[k - 1];
            game.highScores[r] = {score, stageNumber + 1};
            return;
        }
    }
}
