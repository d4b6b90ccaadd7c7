// Comforts outside the game's own rules, in every scene: Alt+Enter and F11
// switch full screen, - and + set the volume, M mutes, each with a short note
// on the screen; and lumotta.ini's choices (scaling, volume, the window's
// place) given to the media layer and read back for saving.
#pragma once

#include "game/shell/user_settings.h"

// Before InitMedia: the choices of lumotta.ini. The window's remembered place
// only when `placeWindow` (a --scale on the command line sizes it instead).
void applyUserSettings(const UserSettings& settings, bool placeWindow);

// The choices as they are now, for lumotta.ini: volume, muting, scaling and
// the window's last place while windowed (`before` where it is not known).
UserSettings userSettingsNow(const UserSettings& before);

// In the frame tick, after the controls are sampled: acts on fresh presses.
void handleComfortKeys();
// After the scene has drawn: the note of the last change, for a moment.
void drawComfortNote();

// The comfort keys' codes (keyboard codes, media.h).
constexpr int kKeyEnter = 0x1C;
constexpr int kKeyLeftAlt = 0x38;
constexpr int kKeyRightAlt = 0xB8;
constexpr int kKeyF11 = 0x57;
constexpr int kKeyMinus = 0x0C;
constexpr int kKeyNextToMinus = 0x90;   // "=" / "+" on a US keyboard
constexpr int kKeyPadMinus = 0x4A;
constexpr int kKeyPadPlus = 0x4E;
constexpr int kKeyM = 0x32;

constexpr int kVolumeStep = 10;         // percent per press
constexpr int kNoteTicks = 90;          // a note shows for a second and a half
// Where the note shows: its top, height and the space a letter takes. In
// play it is centred on the status band's empty stretch (x 393..512, between
// the magic charges and the scores: the lives, stage and time stay seen);
// elsewhere it starts at the left.
constexpr int kNoteTop = 4, kNoteHeight = 26, kNoteCharWidth = 9, kNotePadding = 4;
constexpr int kNoteInPlayCentre = 451;
constexpr int kNoteLeft = 12;
