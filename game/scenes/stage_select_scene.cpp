// Stage select: start from any stage up to the furthest ever reached, in
// stage-select mode (two spare lives, back here after every clear or the
// last life). Button 2 returns to the title.
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

// tileImages slots.
constexpr int kTileBanner = 20;
constexpr int kTileTop = 21;
constexpr int kTileBottom = 22;
constexpr int kTileFirstFrame = 1;  // a 16-frame animation, a new frame every 8 ticks
constexpr int kAnimationFrames = 16;
constexpr int kTileFirstDigit = 30;

constexpr int kLastStageChoice = 51;  // stage 50
constexpr int kStageSelectLives = 2;

// The highest choice: the stage after the furthest one reached. After the
// last stage highestStage counts one beyond it, and a value from a damaged
// file may be anything, so the choice stays within the stages that exist.
int highestChoice() {
    const int highest = game.highestStage + 1;
    if (highest < 1) return 1;
    if (highest > kLastStageChoice) return kLastStageChoice;
    return highest;
}

void moveChoice(int by) {
    playMenuSound(kSoundCursor);
    int choice = game.stageSelectChoice + by;
    if (by < 0 && choice < 1) choice = 1;
    if (by > 0 && choice > highestChoice()) choice = highestChoice();
    game.stageSelectChoice = choice;
}

void stageSelectInput() {
    if (freshHorizontal(-1)) moveChoice(-1);
    if (freshHorizontal(1)) moveChoice(1);
    if (freshVertical(-1)) moveChoice(-10);
    if (freshVertical(1)) moveChoice(10);
    rememberDirections();
    if (freshPress(0)) {
        playMenuSound(kSoundDecide);
        game.exitCounter = 1;
    }
    if (freshPress(1)) {
        game.stageSelectCancel = 1;
        playMenuSound(kSoundCancel);
        game.exitCounter = 1;
    }
}

void drawStageSelect() {
    const int32_t* tiles = game.tileImages;
    const int choice = game.stageSelectChoice;
    DrawFullScreenGrey(255);
    DrawScrollingBackdrop(game.sceneImages[0]);
    setOpaque();

    drawPicture(320, 160, tiles[kTileBanner]);
    drawNumber(400, 34, 160, choice, 2, tiles + kTileFirstDigit);
    drawPicture(320, 20 + pictureSize(tiles[kTileTop]).h / 2, tiles[kTileTop]);
    const int frame = kTileFirstFrame + (game.sceneFrame / 8) % kAnimationFrames;
    drawPictureAsSizeOf(320, 260, tiles[frame], tiles[kTileFirstFrame]);
    drawPicture(320, 460 - pictureSize(tiles[kTileBottom]).h / 2, tiles[kTileBottom]);
    DrawFades();
}

void leaveStageSelect() {
    game.score = 0;
    if (game.stageSelectCancel == 1) {
        game.stageNumber = 0;
        game.players[0].lives = game.settings.startLives;
        changeScene(kSceneTitle);
    } else {
        game.stageNumber = game.stageSelectChoice - 1;
        game.stageSelectMode = 1;
        game.players[0].lives = kStageSelectLives;
        changeScene(kScenePlay);
    }
}

}  // namespace

void resetStageSelectScene() {
    game.stageSelectCancel = 0;
    game.sceneFrame = 0;
    game.exitCounter = 0;
    game.fadeCounter = kMenuFadeTicks;
}

void updateStageSelectScene() {
    advanceMenuCounters();
    if (game.exitCounter == 0) stageSelectInput();
    drawStageSelect();
    if (game.exitCounter == kMenuExitTick) leaveStageSelect();
}
