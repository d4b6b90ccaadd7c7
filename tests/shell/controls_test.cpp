// ReadJoypads then ReadKeyboard, through the real devices: key events in
// SDL's queue and SDL's virtual joysticks.
#include "game/shell/controls.h"
#include "game/shell/saved_files.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

namespace {

using testing_support::HeadlessMedia;
using testing_support::pressKey;
using testing_support::releaseKey;
using testing_support::ScratchDirectory;
using testing_support::waitNextMillisecond;

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        game = GameGlobals{};
        setSavedDefaults();
        setDefaultKeyAssignment();
    }
    void sample() {
        ReadJoypads();
        ReadKeyboard();
    }
    // A raw virtual joypad the media layer has taken in.
    SDL_Joystick* attachPad() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 8, 0);
        EXPECT_GE(index, 0);
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        ProcessMessage();
        return SDL_JoystickFromInstanceID(id);
    }
    static void settle() {
        ProcessMessage();
        waitNextMillisecond();
    }
    ScratchDirectory dir_{"controls"};
    HeadlessMedia media_;
};

TEST_F(Controls, DefaultKeysOfPlayerOne) {
    struct Case { SDL_Scancode key; int horizontal, vertical, button; };
    const Case cases[] = {
        {SDL_SCANCODE_UP, 0, 1, -1},    {SDL_SCANCODE_DOWN, 0, -1, -1},
        {SDL_SCANCODE_LEFT, -1, 0, -1}, {SDL_SCANCODE_RIGHT, 1, 0, -1},
        {SDL_SCANCODE_Z, 0, 0, 0}, {SDL_SCANCODE_X, 0, 0, 1}, {SDL_SCANCODE_C, 0, 0, 2},
        {SDL_SCANCODE_A, 0, 0, 3}, {SDL_SCANCODE_S, 0, 0, 4}, {SDL_SCANCODE_D, 0, 0, 5},
        {SDL_SCANCODE_Q, 0, 0, 6},
    };
    for (const Case& c : cases) {
        pressKey(c.key);
        sample();
        const InputState& in = game.input[0];
        EXPECT_EQ(in.horizontal, c.horizontal) << SDL_GetScancodeName(c.key);
        EXPECT_EQ(in.vertical, c.vertical) << SDL_GetScancodeName(c.key);
        for (int b = 0; b < 8; ++b) EXPECT_EQ(in.button[b], b == c.button ? 1 : 0) << SDL_GetScancodeName(c.key);
        releaseKey(c.key);
    }
    sample();
    const InputState none{};
    EXPECT_EQ(std::memcmp(&game.input[0], &none, sizeof none), 0);
}

TEST_F(Controls, OppositeKeysGiveDownAndRight) {
    pressKey(SDL_SCANCODE_UP);
    pressKey(SDL_SCANCODE_DOWN);
    pressKey(SDL_SCANCODE_LEFT);
    pressKey(SDL_SCANCODE_RIGHT);
    sample();
    EXPECT_EQ(game.input[0].vertical, -1);
    EXPECT_EQ(game.input[0].horizontal, 1);
}

TEST_F(Controls, BackspaceDrivesEveryEntryOfPlayerTwo) {
    pressKey(SDL_SCANCODE_BACKSPACE);
    sample();
    const InputState& p2 = game.input[1];
    EXPECT_EQ(p2.horizontal, 1);
    EXPECT_EQ(p2.vertical, -1);
    for (int b = 0; b < 7; ++b) EXPECT_EQ(p2.button[b], 1) << b;
    EXPECT_EQ(p2.button[7], 0);  // button 8 has no key
    EXPECT_EQ(game.input[0].horizontal, 0);
}

TEST_F(Controls, TheKeyboardWinsOverTheJoypadButNeverClearsIt) {
    SDL_Joystick* pad = attachPad();
    ASSERT_NE(pad, nullptr);
    SDL_JoystickSetVirtualAxis(pad, 0, -32768);  // joypad left
    SDL_JoystickSetVirtualButton(pad, 1, 1);     // joypad button 2
    settle();
    pressKey(SDL_SCANCODE_RIGHT);
    sample();
    EXPECT_EQ(game.input[0].horizontal, 1);
    EXPECT_EQ(game.input[0].button[1], 1);  // no key held for it: stays set

    releaseKey(SDL_SCANCODE_RIGHT);
    sample();
    EXPECT_EQ(game.input[0].horizontal, -1);
}

TEST_F(Controls, JoypadDownWinsOverUpAndRightOverLeft) {
    // A raw joystick cannot report both ways at once; the controller's D-pad
    // and stick together can.
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    ASSERT_GE(index, 0);
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    ProcessMessage();
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(id);
    ASSERT_NE(pad, nullptr);
    SDL_JoystickSetVirtualAxis(pad, 1, -32768);  // stick up
    SDL_JoystickSetVirtualButton(pad, 12, 1);    // D-pad down
    SDL_JoystickSetVirtualAxis(pad, 0, 32767);   // stick right
    SDL_JoystickSetVirtualButton(pad, 13, 1);    // D-pad left
    settle();
    sample();
    EXPECT_EQ(game.input[0].vertical, -1);
    EXPECT_EQ(game.input[0].horizontal, 1);
}

TEST_F(Controls, ButtonMasksMapJoypadBitsToGameButtons) {
    SDL_Joystick* pad = attachPad();
    ASSERT_NE(pad, nullptr);
    game.padButtons[0].buttonMask[0] = 0x20;
    game.padButtons[0].buttonMask[2] = 0x10;  // joypad button 1 drives game button 3
    SDL_JoystickSetVirtualButton(pad, 0, 1);
    settle();
    sample();
    EXPECT_EQ(game.input[0].button[0], 0);
    EXPECT_EQ(game.input[0].button[2], 1);
    // Player 2 reads joypad 2, which is not there.
    EXPECT_EQ(game.input[1].button[0], 0);
}

TEST_F(Controls, PadIndexChoosesTheJoypad) {
    SDL_Joystick* first = attachPad();
    SDL_Joystick* second = attachPad();
    ASSERT_NE(second, nullptr);
    SDL_JoystickSetVirtualButton(second, 3, 1);
    (void)first;
    settle();
    sample();
    EXPECT_EQ(game.input[0].button[3], 0);  // player 1: joypad 1
    EXPECT_EQ(game.input[1].button[3], 1);  // player 2: joypad 2
    game.padButtons[0].padIndex = 1;
    game.padButtons[1].padIndex = 0;
    sample();
    EXPECT_EQ(game.input[0].button[3], 1);
    EXPECT_EQ(game.input[1].button[3], 0);
    // An index out of range reads the nearest end of the table, never beyond.
    game.padButtons[0].padIndex = 1000;
    game.padButtons[1].padIndex = -1000;
    sample();
    EXPECT_EQ(game.input[0].button[3], 0);
    EXPECT_EQ(game.input[1].button[3], 0);
}

TEST_F(Controls, EveryTickStartsFromNothing) {
    pressKey(SDL_SCANCODE_Z);
    sample();
    EXPECT_EQ(game.input[0].button[0], 1);
    game.input[0].spare[0] = 5;
    game.input[1].button[7] = 1;
    releaseKey(SDL_SCANCODE_Z);
    sample();
    EXPECT_EQ(game.input[0].button[0], 0);
    EXPECT_EQ(game.input[0].spare[0], 0);
    EXPECT_EQ(game.input[1].button[7], 0);
}

}  // namespace
