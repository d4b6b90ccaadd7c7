// What the front-end scenes share: the per-tick counters, fresh presses and
// directions of player 1, the menu sounds, the fades, the scrolling backdrop,
// digits drawn from pictures and a few ways of placing a picture.
#pragma once

#include "game/play/play_pictures.h"  // pictureSize

#include <cstdint>

// soundSlots of every front-end scene.
constexpr int kSoundMusic = 0;
constexpr int kSoundCancel = 1;
constexpr int kSoundCursor = 2;
constexpr int kSoundDecide = 3;

// The fade in on entry and the fade out before leaving take 25 ticks; the
// scene changes on the tick exitCounter reaches kMenuExitTick.
constexpr int kMenuFadeTicks = 25;
constexpr int kMenuExitTick = 26;

// Step 1 of a menu scene's tick: sceneFrame +1, exitCounter +1 while
// running, fadeCounter -1 while above 0.
void advanceMenuCounters();

// Game button `button` (0 = button 1) of player 1 is held now and was not at
// the previous test. Every test remembers the current value.
bool freshPress(int button);

// Player 1's direction equals `value` and the remembered one does not.
bool freshVertical(int value);
bool freshHorizontal(int value);
// Remembers both of player 1's current directions.
void rememberDirections();

// Starts soundSlots[slot] (restarting it if it still sounds) and counts it
// in sceneSoundStarts.
void playSceneSound(int slot, int playType);
// A menu sound: played once.
void playMenuSound(int slot);

// Sets game.scene and runs the scene-entry routines (reset, images, sounds).
void changeScene(int scene);

// Blend modes around a single draw.
void setAlpha(int parameter);
void setAdditive(int parameter);
void setOpaque();

// Pictures placed by their centre, transparent, not turned or flipped.
void drawPicture(int x, int y, int image);                    // at its own size
void drawPictureSized(int x, int y, int w, int h, int image);
void drawPictureAsSizeOf(int x, int y, int image, int sizeOf);  // at another picture's size
void drawPictureAtAlpha(int x, int y, int image, int alpha);

// A rectangle over the whole screen in grey v (255 white, 0 black).
void DrawFullScreenGrey(int v);
void drawBlackAtAlpha(int alpha);

// The last drawing step of the menu scenes: the fade out, then the fade in.
void DrawFades();

// The backdrop pattern drifting right 1.2 and up 1 pixel per tick, four
// copies of the picture.
struct BackdropCentres {
    int x[4];
    int y[4];
};
BackdropCentres scrollingBackdropCentres(int sceneFrame, int w, int h);
void DrawScrollingBackdrop(int picture);

// Digit picture d (0..9) of `table` centred at (x, y); anything else draws
// nothing.
void DrawDigit(int x, int y, int d, const int32_t* table);
// `digits` decimal digits of value, leading zeros included, the most
// significant leftmost at x and each next one `step` pixels to its right.
void drawNumber(int x, int step, int y, int value, int digits, const int32_t* table);
