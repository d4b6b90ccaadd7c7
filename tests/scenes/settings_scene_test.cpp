#include "game/scenes/front_end_framework.h"
#include "media/media.h"
#include "tests/scenes/scene_driver.h"
#include "tests/support/test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

using namespace scene_test;

// A joystick with plain buttons, attached through SDL's virtual joysticks
// and read by the media layer like a real one: button n is bit 0x10 << n.
class VirtualJoypad {
public:
    VirtualJoypad() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 12, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        id_ = SDL_JoystickGetDeviceInstanceID(index);
        ProcessMessage();  // the media layer sees it arrive and opens it
        joystick_ = SDL_JoystickFromInstanceID(id_);
        EXPECT_NE(joystick_, nullptr) << "the media layer did not open the joypad";
    }
    ~VirtualJoypad() {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
        ProcessMessage();
        testing_support::waitNextMillisecond();
    }
    void hold(int button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
        ProcessMessage();  // SDL reads the device while pumping
        testing_support::waitNextMillisecond();
    }

private:
    SDL_JoystickID id_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

void enterOnRow(int row) {
    startIn(kSceneSettings);
    for (int i = 0; i < row; ++i) press(kDown);
    ASSERT_EQ(game.optionsRow, row);
    game.sceneSoundStarts[kSoundCursor] = 0;
}

TEST(SettingsScene, EntryOpensTheOptionsPageOnItsFirstRow) {
    startIn(kSceneSettings);
    game.settingsPage = 1;
    game.optionsRow = 3;
    game.padRow = 5;
    changeScene(kSceneSettings);
    EXPECT_EQ(game.settingsPage, 0);
    EXPECT_EQ(game.optionsRow, 0);
    EXPECT_EQ(game.padRow, 0);
    EXPECT_EQ(game.fadeCounter, 25);
}

TEST(SettingsScene, RowsClampWithTheirSound) {
    startIn(kSceneSettings);
    press(kUp);
    EXPECT_EQ(game.optionsRow, 0);
    for (int i = 0; i < 7; ++i) press(kDown);
    EXPECT_EQ(game.optionsRow, 4);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 8);
}

TEST(SettingsScene, HeldRightRepeatsAfter60TicksUpTo99) {
    enterOnRow(1);
    game.settings.startLives = 2;
    tick(kRight);
    EXPECT_EQ(game.settings.startLives, 3);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
    ticks(59, kRight);  // ticks 2..60
    EXPECT_EQ(game.settings.startLives, 3);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
    tick(kRight);  // tick 61
    EXPECT_EQ(game.settings.startLives, 4);
    tick(kRight);
    EXPECT_EQ(game.settings.startLives, 5);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 3);
    ticks(94, kRight);
    EXPECT_EQ(game.settings.startLives, 99);
    ticks(20, kRight);
    EXPECT_EQ(game.settings.startLives, 99);

    // Letting go and pressing again starts the delay afresh.
    tick();
    tick(kLeft);
    ticks(59, kLeft);
    EXPECT_EQ(game.settings.startLives, 98);
    tick(kLeft);
    EXPECT_EQ(game.settings.startLives, 97);
}

TEST(SettingsScene, LeftAtNoLivesSoundsAndStaysAtZero) {
    enterOnRow(1);
    game.settings.startLives = 0;
    tick(kLeft);
    EXPECT_EQ(game.settings.startLives, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
}

TEST(SettingsScene, TimeLimitTogglesOncePerPressEitherWay) {
    enterOnRow(2);
    ticks(10, kRight);
    EXPECT_EQ(game.settings.noTimeLimit, 1);
    press(kLeft);
    EXPECT_EQ(game.settings.noTimeLimit, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 2);
    EXPECT_EQ(game.settings.startLives, 2);  // other rows untouched
}

TEST(SettingsScene, FullScreenTogglesAndShowsTheCursor) {
    enterOnRow(3);
    // Hidden, as a window made in full screen starts: the switch to full
    // screen shows it, the way back leaves it as it is.
    SetMouseCursorVisible(0);
    press(kRight);
    EXPECT_EQ(game.settings.fullScreen, 1);
    EXPECT_EQ(game.scene, kSceneSettings);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    SetMouseCursorVisible(0);
    press(kLeft);
    EXPECT_EQ(game.settings.fullScreen, 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 2);
    SetMouseCursorVisible(1);
}

TEST(SettingsScene, SidewaysOnRowsWithoutAValueDoesNothing) {
    for (int row : {0, 4}) {
        enterOnRow(row);
        const SettingsRecord before = game.settings;
        press(kLeft);
        press(kRight);
        EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 0);
        EXPECT_EQ(game.settings.startLives, before.startLives);
        EXPECT_EQ(game.settings.noTimeLimit, before.noTimeLimit);
        EXPECT_EQ(game.settings.fullScreen, before.fullScreen);
    }
}

TEST(SettingsScene, JoypadPageOpensFromRow0AndReturnsFromItsRow4) {
    startIn(kSceneSettings);
    press(kButton1);
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);

    for (int i = 0; i < 7; ++i) press(kDown);
    EXPECT_EQ(game.padRow, 5);
    press(kButton1);  // the spare row only sounds
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 2);

    press(kUp);
    press(kButton1);
    EXPECT_EQ(game.settingsPage, 0);
    EXPECT_EQ(game.padRow, 4);  // kept for the next visit
    EXPECT_EQ(game.optionsRow, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 3);

    press(kButton1);
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.padRow, 4);
}

TEST(SettingsScene, JoypadPageAssignsTheHighestHeldButtonOfJoypad1) {
    VirtualJoypad joypad1;
    VirtualJoypad joypad2;
    startIn(kSceneSettings);
    // Player 1 plays on joypad 2; the page reads joypad 1 all the same.
    game.padButtons[0].padIndex = 1;
    press(kButton1);
    ASSERT_EQ(game.settingsPage, 1);
    ASSERT_EQ(game.padRow, 0);

    joypad2.hold(5, true);
    tick();
    EXPECT_EQ(game.padButtons[0].buttonMask[0], 0x10) << "joypad 2 was read";
    joypad2.hold(5, false);

    // Buttons 1 and 3 held together: the higher bit wins, shown as 2.
    joypad1.hold(0, true);
    joypad1.hold(2, true);
    tick();
    EXPECT_EQ(game.padButtons[0].buttonMask[0], 0x40);
    joypad1.hold(0, false);
    joypad1.hold(2, false);
    tick();
    EXPECT_EQ(game.padButtons[0].buttonMask[0], 0x40) << "letting go keeps the assignment";

    // Holding is enough: no press edge. Button 10 (0x2000) is the highest
    // that may be assigned; button 11 held with it is not taken.
    press(kDown);
    ASSERT_EQ(game.padRow, 1);
    joypad1.hold(9, true);
    joypad1.hold(10, true);
    tick();
    EXPECT_EQ(game.padButtons[0].buttonMask[1], 0x2000);
    joypad1.hold(9, false);
    tick();
    EXPECT_EQ(game.padButtons[0].buttonMask[1], 0x2000) << "button 11 alone is not assignable";
    joypad1.hold(10, false);

    // On the back row a held joypad button assigns nothing.
    for (int i = 0; i < 3; ++i) press(kDown);
    ASSERT_EQ(game.padRow, 4);
    joypad1.hold(4, true);
    ticks(3);
    joypad1.hold(4, false);
    const int32_t expected[4] = {0x40, 0x2000, 0x40, 0x80};
    for (int b = 0; b < 4; ++b) EXPECT_EQ(game.padButtons[0].buttonMask[b], expected[b]) << "game button " << b + 1;
    // The other player's assignment and player 1's other buttons are left alone.
    for (int b = 4; b < 8; ++b) EXPECT_EQ(game.padButtons[0].buttonMask[b], 0x10 << b);
    for (int b = 0; b < 8; ++b) EXPECT_EQ(game.padButtons[1].buttonMask[b], 0x10 << b);
}

TEST(SettingsScene, Row4LeavesForTheTitleAfterTheFade) {
    enterOnRow(4);
    press(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    press(kUp);  // dead while fading out
    EXPECT_EQ(game.optionsRow, 4);
    ticks(22);
    EXPECT_EQ(game.scene, kSceneSettings);
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
}

}  // namespace
