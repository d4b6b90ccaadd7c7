// Keyboard and joypads.
//
// The keyboard state is kept from SDL's key events, indexed by the keyboard
// codes of key_map.h. CheckKey reads a copy of it that is refreshed at most
// once per millisecond, so every query within one millisecond sees the same
// keys.
//
// Joypads: up to 8, in the order they were found (joypad 1 first; when one is
// unplugged the later ones move up). A device SDL knows as a game controller
// (its shipped mappings, or one of the player's own in
// SDL_GAMECONTROLLERCONFIG) is read through the controller interface, so
// every such pad has the same button layout; any other device as a raw
// joystick.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/core/message_pump.h"
#include "media/input/joypad_axis.h"
#include "media/input/key_map.h"
#include "media/media.h"

#include <SDL.h>

#include <array>
#include <chrono>
#include <cstring>

namespace {

using media::input::kMaxPads;
constexpr int kPadButtons = 24;

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

std::array<unsigned char, 256> gKeysLive{};      // from the events
// Keys that went down since the last look: a tap whose press and release
// arrive between two frames (a busy machine, a quick finger) still shows as
// held at the next look, once.
std::array<unsigned char, 256> gKeysTapped{};
uint32_t gMouseButtons = 0;                      // held mouse buttons, bit n-1 for button n
std::array<unsigned char, 256> gKeysSeen{};      // what CheckKey reads
uint32_t gKeysSeenMs = 0;
bool gKeysSeenValid = false;

const std::array<unsigned char, 256>& keyboard() {
    const uint32_t now = GetTimeMs();
    if (!gKeysSeenValid || now != gKeysSeenMs) {
        for (size_t i = 0; i < gKeysSeen.size(); ++i) gKeysSeen[i] = gKeysLive[i] | gKeysTapped[i];
        gKeysTapped.fill(0);
        gKeysSeenMs = now;
        gKeysSeenValid = true;
    }
    return gKeysSeen;
}

// ---------------------------------------------------------------------------
// Joypads
// ---------------------------------------------------------------------------

struct Pad {
    SDL_JoystickID id = -1;
    SDL_GameController* controller = nullptr;
    SDL_Joystick* joystick = nullptr;  // the raw device (also behind a controller)
    int bits = 0;                      // last reading
    uint32_t readMs = 0;
    bool read = false;
};

std::array<Pad, kMaxPads> gPads;
int gPadCount = 0;
bool gPadsStarted = false;
uint32_t gPadRetryMs = 0;  // when joypads last failed to start

// A standard controller's buttons, in the order of the pad's button bits.
// The triggers count as buttons once pressed halfway.
constexpr SDL_GameControllerButton kControllerButtons[] = {
    SDL_CONTROLLER_BUTTON_A,          SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,          SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,  SDL_CONTROLLER_BUTTON_RIGHTSTICK,
};
constexpr int kFirstTriggerButton = 10;  // left trigger 10, right trigger 11
constexpr SDL_GameControllerButton kMoreControllerButtons[] = {
    SDL_CONTROLLER_BUTTON_GUIDE,    SDL_CONTROLLER_BUTTON_MISC1,
    SDL_CONTROLLER_BUTTON_PADDLE1,  SDL_CONTROLLER_BUTTON_PADDLE2,
    SDL_CONTROLLER_BUTTON_PADDLE3,  SDL_CONTROLLER_BUTTON_PADDLE4,
    SDL_CONTROLLER_BUTTON_TOUCHPAD,
};
constexpr int kTriggerThreshold = 16384;

int directionBits(int x, int y) {
    int bits = 0;
    if (y > 0) bits |= kPadDown;
    if (x < 0) bits |= kPadLeft;
    if (x > 0) bits |= kPadRight;
    if (y < 0) bits |= kPadUp;
    return bits;
}

int readController(SDL_GameController* c) {
    const int x = media::input::ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
    const int y = media::input::ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    int bits = directionBits(x, y);
    // Players expect the D-pad of a standard controller to move too.
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) bits |= kPadDown;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) bits |= kPadLeft;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) bits |= kPadRight;
    if (SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP)) bits |= kPadUp;
    int n = 0;
    for (SDL_GameControllerButton b : kControllerButtons) {
        if (SDL_GameControllerGetButton(c, b)) bits |= kPadButton0 << n;
        ++n;
    }
    if (SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT) >= kTriggerThreshold)
        bits |= kPadButton0 << kFirstTriggerButton;
    if (SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) >= kTriggerThreshold)
        bits |= kPadButton0 << (kFirstTriggerButton + 1);
    n = kFirstTriggerButton + 2;
    for (SDL_GameControllerButton b : kMoreControllerButtons) {
        if (SDL_GameControllerGetButton(c, b)) bits |= kPadButton0 << n;
        ++n;
    }
    return bits;
}

// A raw joystick: axis 0 is X, axis 1 is Y, buttons 0..23; hats set nothing.
int readJoystick(SDL_Joystick* j) {
    const int axes = SDL_JoystickNumAxes(j);
    const int x = axes > 0 ? media::input::ScaleAxis(SDL_JoystickGetAxis(j, 0)) : 0;
    const int y = axes > 1 ? media::input::ScaleAxis(SDL_JoystickGetAxis(j, 1)) : 0;
    int bits = directionBits(x, y);
    const int buttons = SDL_JoystickNumButtons(j);
    for (int n = 0; n < kPadButtons && n < buttons; ++n)
        if (SDL_JoystickGetButton(j, n)) bits |= kPadButton0 << n;
    return bits;
}

int readPad(Pad& pad) {
    const uint32_t now = GetTimeMs();
    if (pad.read && pad.readMs == now) return pad.bits;
    if (pad.controller)
        pad.bits = SDL_GameControllerGetAttached(pad.controller) ? readController(pad.controller) : 0;
    else
        pad.bits = SDL_JoystickGetAttached(pad.joystick) ? readJoystick(pad.joystick) : 0;
    pad.readMs = now;
    pad.read = true;
    return pad.bits;
}

void closePad(Pad& pad) {
    if (pad.controller) SDL_GameControllerClose(pad.controller);
    else if (pad.joystick) SDL_JoystickClose(pad.joystick);
    pad = Pad{};
}

void addPad(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (int i = 0; i < gPadCount; ++i)
        if (gPads[i].id == id) return;  // already open
    if (gPadCount == kMaxPads) {
        media::log::Write("Joypad ignored, %d are in use already: %s\n", kMaxPads,
                          SDL_JoystickNameForIndex(deviceIndex));
        return;
    }
    Pad pad;
    if (SDL_IsGameController(deviceIndex)) {
        pad.controller = SDL_GameControllerOpen(deviceIndex);
        if (pad.controller) pad.joystick = SDL_GameControllerGetJoystick(pad.controller);
    }
    if (!pad.joystick) pad.joystick = SDL_JoystickOpen(deviceIndex);
    if (!pad.joystick) {
        media::log::Write("A joypad could not be opened: %s\n", SDL_GetError());
        return;
    }
    pad.id = SDL_JoystickInstanceID(pad.joystick);
    gPads[gPadCount] = pad;
    ++gPadCount;
    const char* name = pad.controller ? SDL_GameControllerName(pad.controller) : SDL_JoystickName(pad.joystick);
    media::log::Write("Joypad %d: %s (%s, %d axes, %d buttons)\n", gPadCount, name ? name : "?",
                      pad.controller ? "standard controller" : "joystick",
                      SDL_JoystickNumAxes(pad.joystick), SDL_JoystickNumButtons(pad.joystick));
}

void removePad(SDL_JoystickID id) {
    for (int i = 0; i < gPadCount; ++i) {
        if (gPads[i].id != id) continue;
        media::log::Write("Joypad %d was unplugged\n", i + 1);
        closePad(gPads[i]);
        for (int k = i; k + 1 < gPadCount; ++k) gPads[k] = gPads[k + 1];
        --gPadCount;
        gPads[gPadCount] = Pad{};
        return;
    }
}

bool startPads() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
        media::log::Write("Joypads are not available: %s\n", SDL_GetError());
        gPadRetryMs = GetTimeMs();
        return false;
    }
    gPadsStarted = true;
    gPadCount = 0;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) addPad(i);
    if (gPadCount == 0) media::log::Write("No joypad found\n");
    return true;
}

void stopPads() {
    for (int i = 0; i < gPadCount; ++i) closePad(gPads[i]);
    gPadCount = 0;
    if (gPadsStarted) SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    gPadsStarted = false;
}

// The keyboard's part of GetPadInput with 0x1000.
int keyboardPadBits() {
    const auto& keys = keyboard();
    auto held = [&keys](int code) { return (keys[code] & 0x80) != 0; };
    int bits = 0;
    if (held(0x50) || held(0xD0)) bits |= kPadDown;
    if (held(0x4B) || held(0xCB)) bits |= kPadLeft;
    if (held(0x4D) || held(0xCD)) bits |= kPadRight;
    if (held(0x48) || held(0xC8)) bits |= kPadUp;
    // Z X C A S D Q W Escape Space
    static constexpr unsigned char kButtonKeys[] = {0x2C, 0x2D, 0x2E, 0x1E, 0x1F,
                                                    0x20, 0x10, 0x11, 0x01, 0x39};
    int n = 0;
    for (unsigned char code : kButtonKeys) {
        if (held(code)) bits |= kPadButton0 << n;
        ++n;
    }
    return bits;
}

}  // namespace

namespace media::input {

bool Start() {
    gKeysLive.fill(0);
    gKeysTapped.fill(0);
    gMouseButtons = 0;
    gKeysSeenValid = false;
    // The keyboard always works; a machine without joypad support still plays.
    startPads();
    return true;
}

uint32_t MouseButtonsHeld() { return gMouseButtons; }

void Stop() {
    stopPads();
    gMouseButtons = 0;
    gKeysLive.fill(0);
    gKeysTapped.fill(0);
    gKeysSeenValid = false;
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int code = KeyCodeOf(event.key.keysym.scancode);
            if (code == 0) break;
            gKeysLive[code] = event.type == SDL_KEYDOWN ? 0x80 : 0;
            if (event.type == SDL_KEYDOWN) gKeysTapped[code] = 0x80;
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int button = event.button.button;
            if (button < 1 || button > 32) break;
            const uint32_t bit = 1u << (button - 1);
            if (event.type == SDL_MOUSEBUTTONDOWN) gMouseButtons |= bit;
            else gMouseButtons &= ~bit;
            break;
        }
        case SDL_WINDOWEVENT:
            // Keys and buttons released while the window was not looking
            // stay held otherwise.
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                gKeysLive.fill(0);
                gKeysTapped.fill(0);
                gMouseButtons = 0;
            }
            break;
        case SDL_JOYDEVICEADDED:
            if (gPadsStarted) addPad(event.jdevice.which);
            break;
        case SDL_JOYDEVICEREMOVED:
            if (gPadsStarted) removePad(event.jdevice.which);
            break;
        default:
            break;
    }
}

}  // namespace media::input

int CheckKey(int keyCode) {
    media::ApiLockGuard lock;
    if (keyCode < 0 || keyCode > 255) return 0;
    return (keyboard()[keyCode] & 0x80) ? 1 : 0;
}

int GetPadInput(int source) {
    media::ApiLockGuard lock;
    if (!media::core::Running()) return 0;
    int bits = 0;
    if (source & kPadWithKeyboard) bits |= keyboardPadBits();
    const int number = source & ~kPadWithKeyboard;
    if (number >= 1 && number <= gPadCount) {
        bits |= readPad(gPads[number - 1]);
    } else if (!gPadsStarted && number >= 1 && GetTimeMs() - gPadRetryMs >= 1000) {
        // Joypads could not start; try again now and then, and report
        // nothing this time.
        startPads();
    }
    return bits;
}
