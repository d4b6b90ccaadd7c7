// The game shell's part of GameGlobals: the scene, the game values, the saved
// records, the controls and the asset handle tables.
#pragma once

#include <cstdint>

// Scene numbers.
enum SceneId : int32_t {
    kScenePlay = 0,
    kSceneGameOver = 1,
    kSceneTitle = 2,
    kSceneStageSelect = 3,
    kSceneRanking = 4,
    kSceneSettings = 5,
    kSceneOpeningMovie = 6,
    kSceneStartupMovie = 7,
    kSceneInterlude = 8,
    kSceneEndingMovie = 9,
    kSceneMidGameMovie = 10,
};

struct HighScoreEntry {
    int32_t score;
    int32_t stageReached;  // stageNumber + 1 at the time of entry
};
static_assert(sizeof(HighScoreEntry) == 8);

struct PadAssignment {
    int32_t buttonMask[8];  // GetPadInput bit that drives game buttons 1..8
    int32_t spare;          // saved, never read
    int32_t padIndex;       // joypad 1..7 as 0..6
};
static_assert(sizeof(PadAssignment) == 40);

struct SettingsRecord {
    int16_t reserved[5];    // saved as they were read
    int16_t noTimeLimit;
    int16_t startLives;
    int16_t fullScreen;
};
static_assert(sizeof(SettingsRecord) == 16);

struct InputState {
    int32_t horizontal;     // -1 left, +1 right
    int32_t vertical;       // +1 up, -1 down
    int32_t button[8];
    int32_t spare[2];
};
static_assert(sizeof(InputState) == 48);

struct DirectionMemory {
    int32_t vertical;
    int32_t horizontal;
};

struct ShellState {
    int32_t scene;
    uint8_t quitRequested;

    // Game values handed from scene to scene.
    int32_t stageNumber;
    int32_t score;
    int32_t stageSelectMode;

    // Saved records.
    HighScoreEntry highScores[10];
    PadAssignment padButtons[2];
    int32_t highestStage;
    SettingsRecord settings;

    // Controls.
    int32_t keyAssignment[2][11];
    int32_t stageSelectChoice;
    InputState input[2];
    int32_t prevButtons[2][4];
    DirectionMemory prevDirection[2];

    // The random generator's state (state * 214013 + 2531011).
    uint32_t randomState;

    // Asset handle tables.
    int32_t pictures[500];
    int32_t tileImages[500];
    int32_t sceneImages[100];
    int32_t sheetCells[40][10];
    int32_t soundSlots[4];
    int32_t effectSounds[24];
    int32_t stageStartSound;
    int32_t exitReachedSound;  // 10\06.wav
    int32_t timeUpSound;
    int32_t stageMusic;
};
