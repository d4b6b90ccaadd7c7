#include "game/shell/comforts.h"

#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "media/media.h"

#include <cstdio>
#include <cstring>

namespace {

struct Comforts {
    int volume = 100;
    bool muted = false;
    int scaling = kScalingSmooth;
    // Fresh presses: what was held at the last tick.
    bool toggleHeld = false, downHeld = false, upHeld = false, muteHeld = false;
    char note[64] = {};
    int noteTicks = 0;
};

Comforts gComforts;

// True on the tick a key combination starts being held.
bool freshPress(bool heldNow, bool& heldBefore) {
    const bool fresh = heldNow && !heldBefore;
    heldBefore = heldNow;
    return fresh;
}

void showNote(const char* text) {
    std::snprintf(gComforts.note, sizeof gComforts.note, "%s", text);
    gComforts.noteTicks = kNoteTicks;
}

void showVolume() {
    char text[64];
    if (gComforts.muted)
        std::snprintf(text, sizeof text, "Sound off");
    else
        std::snprintf(text, sizeof text, "Volume %d %%", gComforts.volume);
    showNote(text);
}

void changeVolume(int by) {
    int volume = gComforts.volume + by;
    volume = volume < 0 ? 0 : volume > 100 ? 100 : volume;
    gComforts.volume = volume;
    SetMasterVolume(volume);
    if (gComforts.muted) {  // changing the volume means wanting to hear it
        gComforts.muted = false;
        SetSoundMute(0);
    }
    showVolume();
}

}  // namespace

void applyUserSettings(const UserSettings& settings, bool placeWindow) {
    gComforts = Comforts{};
    gComforts.volume = settings.volume;
    gComforts.muted = settings.muted;
    gComforts.scaling = settings.scaling;
    SetMasterVolume(settings.volume);
    SetSoundMute(settings.muted ? 1 : 0);
    SetScalingMode(settings.scaling);
    if (placeWindow && settings.windowKnown)
        SetWindowPlacement(settings.windowX, settings.windowY, settings.windowWidth, settings.windowHeight);
}

UserSettings userSettingsNow(const UserSettings& before) {
    UserSettings now = before;
    now.volume = gComforts.volume;
    now.muted = gComforts.muted;
    now.scaling = gComforts.scaling;
    int x = 0, y = 0, w = 0, h = 0;
    if (GetWindowPlacement(&x, &y, &w, &h) == 0) {
        now.windowKnown = true;
        now.windowX = x;
        now.windowY = y;
        now.windowWidth = w;
        now.windowHeight = h;
    }
    return now;
}

void handleComfortKeys() {
    const bool alt = CheckKey(kKeyLeftAlt) || CheckKey(kKeyRightAlt);
    if (freshPress((alt && CheckKey(kKeyEnter)) || CheckKey(kKeyF11), gComforts.toggleHeld)) toggleFullScreen();
    if (freshPress(CheckKey(kKeyMinus) || CheckKey(kKeyPadMinus), gComforts.downHeld)) changeVolume(-kVolumeStep);
    if (freshPress(CheckKey(kKeyNextToMinus) || CheckKey(kKeyPadPlus), gComforts.upHeld)) changeVolume(kVolumeStep);
    if (freshPress(CheckKey(kKeyM), gComforts.muteHeld)) {
        gComforts.muted = !gComforts.muted;
        SetSoundMute(gComforts.muted ? 1 : 0);
        showVolume();
    }
}

void drawComfortNote() {
    if (gComforts.noteTicks <= 0) return;
    --gComforts.noteTicks;
    const int width = static_cast<int>(std::strlen(gComforts.note)) * kNoteCharWidth + 2 * kNotePadding;
    // In play, the status band's empty stretch between the magic charges and
    // the scores; elsewhere the top left corner.
    const int left = game.scene == kScenePlay ? kNoteInPlayCentre - width / 2 : kNoteLeft;
    SetDrawArea(0, 0, kScreenWidth, kScreenHeight);
    SetBlendMode(kBlendAlpha, 170);
    DrawRectangle(left, kNoteTop, left + width, kNoteTop + kNoteHeight, GetColorValue(0, 0, 0), 1);
    SetBlendMode(kBlendNone, 0);
    DrawText(left + kNotePadding, kNoteTop + 4, gComforts.note, GetColorValue(255, 255, 255), 0);
}
