// Settings: the options page (starting lives, time limit, full screen) and
// the joypad page (which joypad buttons act as game buttons 1 to 4). Changes
// take effect at once; the program's exit writes them to the files.
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"
#include "media/media.h"

#include <cstdio>

namespace {

// sceneImages slots.
constexpr int kPictureBackdrop = 0;
constexpr int kPictureOptionsPanel = 1;
constexpr int kPictureFirstScreenValue = 2;     // 2 windowed, 3 full screen
constexpr int kPictureFirstTimeLimitValue = 4;  // 4 timer runs, 5 no time limit
constexpr int kPictureFirstDigit = 10;
constexpr int kPictureCursor = 20;
constexpr int kPictureJoypadPanel = 21;

constexpr int kOptionsPage = 0;
constexpr int kJoypadPage = 1;

// Options page rows.
constexpr int kRowJoypad = 0;
constexpr int kRowLives = 1;
constexpr int kRowTimeLimit = 2;
constexpr int kRowScreen = 3;
constexpr int kRowBack = 4;
constexpr int kOptionsRows = 5;

// Joypad page rows: 0..3 game buttons 1..4, then back, then a spare row.
constexpr int kAssignedButtons = 4;
constexpr int kPadRowBack = 4;
constexpr int kPadRowSpare = 5;
constexpr int kPadRows = 6;

constexpr int kMaxLives = 99;
constexpr int kRepeatDelay = 60;  // ticks a direction is held before it repeats
constexpr int kAssignablePadButtons = 10;  // joypad buttons 1..10
constexpr int kSettingsJoypad = 1;         // the page always reads joypad 1

int clampRow(int row, int rows) { return row < 0 ? 0 : row > rows - 1 ? rows - 1 : row; }

void switchDisplay() {
    if (game.settings.fullScreen == 1) {
        ChangeWindowMode(0);
        SetDrawTarget(kDrawTargetBack);
        SetMouseCursorVisible(1);
    } else {
        ChangeWindowMode(1);
        SetDrawTarget(kDrawTargetBack);
    }
    sceneEntry().loadImages();  // the pictures are made again for the new screen
}

}  // namespace

void toggleFullScreen() {
    game.settings.fullScreen = static_cast<int16_t>(1 - game.settings.fullScreen);
    switchDisplay();
}

namespace {

void changeLives(int by) {
    int lives = game.settings.startLives + by;
    if (lives < 0) lives = 0;
    if (lives > kMaxLives) lives = kMaxLives;
    game.settings.startLives = static_cast<int16_t>(lives);
}

// Left (-1) or right (+1) held on the options page.
void optionsSideways(int h) {
    const int row = game.optionsRow;
    if (freshHorizontal(h)) {
        if (row == kRowLives) {
            game.settings.startLives = static_cast<int16_t>(game.settings.startLives + h);
            playMenuSound(kSoundCursor);
        } else if (row == kRowTimeLimit) {
            game.settings.noTimeLimit = static_cast<int16_t>(1 - game.settings.noTimeLimit);
            playMenuSound(kSoundCursor);
        } else if (row == kRowScreen) {
            toggleFullScreen();
            playMenuSound(kSoundCursor);
        }
    }
    if (row == kRowLives) {
        game.repeatCounter += 1;
        if (game.repeatCounter > kRepeatDelay) {
            playMenuSound(kSoundCursor);
            game.settings.startLives = static_cast<int16_t>(game.settings.startLives + h);
        }
        changeLives(0);
    }
}

void optionsInput() {
    const int h = game.input[0].horizontal;
    if (h != game.prevDirection[0].horizontal) game.repeatCounter = 0;
    if (h == -1 || h == 1) optionsSideways(h);

    if (freshVertical(-1)) {
        playMenuSound(kSoundCursor);
        game.optionsRow = clampRow(game.optionsRow + 1, kOptionsRows);
    }
    if (freshVertical(1)) {
        playMenuSound(kSoundCursor);
        game.optionsRow = clampRow(game.optionsRow - 1, kOptionsRows);
    }
    rememberDirections();

    if (freshPress(0)) {
        playMenuSound(kSoundDecide);
        if (game.optionsRow == kRowJoypad) game.settingsPage = kJoypadPage;
        if (game.optionsRow == kRowBack) game.exitCounter = 1;
    }
}

void joypadInput() {
    if (freshVertical(-1)) {
        playMenuSound(kSoundCursor);
        game.padRow = clampRow(game.padRow + 1, kPadRows);
    }
    if (freshVertical(1)) {
        playMenuSound(kSoundCursor);
        game.padRow = clampRow(game.padRow - 1, kPadRows);
    }
    rememberDirections();

    if (game.padRow < kAssignedButtons) {
        // Holding a joypad button assigns it; with several held the highest wins.
        const int bits = GetPadInput(kSettingsJoypad);
        for (int b = 0; b < kAssignablePadButtons; ++b)
            if (bits & (kPadButton0 << b)) game.padButtons[0].buttonMask[game.padRow] = kPadButton0 << b;
    } else if (game.padRow == kPadRowBack) {
        if (freshPress(0)) {
            playMenuSound(kSoundDecide);
            game.settingsPage = kOptionsPage;
        }
    } else if (game.padRow == kPadRowSpare) {
        if (freshPress(0)) playMenuSound(kSoundDecide);
    }
}

void drawOptionsPage() {
    const int32_t* images = game.sceneImages;
    DrawFullScreenGrey(255);
    DrawScrollingBackdrop(images[kPictureBackdrop]);
    setOpaque();
    drawPicture(320, 260, images[kPictureOptionsPanel]);
    drawNumber(468, 24, 225, game.settings.startLives, 2, images + kPictureFirstDigit);
    // Values read from a damaged file are shown as the nearer of the two.
    const int noTimeLimit = game.settings.noTimeLimit != 0;
    const int fullScreen = game.settings.fullScreen != 0;
    drawPicture(480, 305, images[kPictureFirstTimeLimitValue + noTimeLimit]);
    drawPicture(480, 385, images[kPictureFirstScreenValue + fullScreen]);
    drawPicture(100, 150 + 75 * game.optionsRow, images[kPictureCursor]);
    DrawFades();
}

// The joypad button number b whose bit is `mask`, or -1.
int padButtonNumber(int32_t mask) {
    for (int b = 0; b < kAssignablePadButtons; ++b)
        if (mask == (kPadButton0 << b)) return b;
    return -1;
}

void drawJoypadPage() {
    const int32_t* images = game.sceneImages;
    DrawFullScreenGrey(255);
    DrawScrollingBackdrop(images[kPictureBackdrop]);
    const int row = game.padRow;
    if (row < kAssignedButtons)
        drawPicture(90, 212 + 52 * row, images[kPictureCursor]);
    else
        drawPicture(row == kPadRowBack ? 90 : 230, 440, images[kPictureCursor]);
    setOpaque();
    drawPicture(320, 240, images[kPictureJoypadPanel]);

    const int white = GetColorValue(255, 255, 255);
    DrawText(512, 14, "↑", white, 0);
    DrawText(450, 80, "←", white, 0);
    DrawText(585, 80, "→", white, 0);
    DrawText(512, 145, "↓", white, 0);
    for (int r = 0; r < kAssignedButtons; ++r) {
        const int number = padButtonNumber(game.padButtons[0].buttonMask[r]);
        if (number < 0) continue;
        char text[4];
        std::snprintf(text, sizeof text, "%d", number);
        DrawText(520, 196 + 52 * r, text, white, 0);
    }
}

}  // namespace

void resetSettingsScene() {
    game.settingsPage = kOptionsPage;
    game.padRow = 0;
    game.optionsRow = 0;
    game.sceneFrame = 0;
    game.exitCounter = 0;
    game.fadeCounter = kMenuFadeTicks;
    SetDefaultFontSize(32);
}

void updateSettingsScene() {
    advanceMenuCounters();
    if (game.exitCounter == 0) {
        if (game.settingsPage == kOptionsPage)
            optionsInput();
        else
            joypadInput();
    }
    if (game.settingsPage == kOptionsPage)
        drawOptionsPage();
    else
        drawJoypadPage();
    if (game.exitCounter == kMenuExitTick) changeScene(kSceneTitle);
}
