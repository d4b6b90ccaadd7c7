// CheckKey and GetPadInput through the real paths: key events in SDL's queue
// and SDL's virtual joysticks.
#include "media/input/joypad_axis.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <SDL.h>

namespace {

using testing_support::HeadlessMedia;
using testing_support::pressKey;
using testing_support::releaseKey;
using testing_support::ScratchDirectory;
using testing_support::waitNextMillisecond;

class Input : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(media_.ok()); }
    ScratchDirectory dir_{"input"};
    HeadlessMedia media_;
};

TEST_F(Input, KeysAreHeldFromPressToRelease) {
    EXPECT_EQ(CheckKey(44), 0);
    pressKey(SDL_SCANCODE_Z);
    pressKey(SDL_SCANCODE_UP);
    EXPECT_EQ(CheckKey(44), 1);
    EXPECT_EQ(CheckKey(200), 1);
    EXPECT_EQ(CheckKey(45), 0);
    releaseKey(SDL_SCANCODE_Z);
    EXPECT_EQ(CheckKey(44), 0);
    EXPECT_EQ(CheckKey(200), 1);
}

TEST_F(Input, AKeyTappedBetweenTwoLooksIsSeenHeldOnceAtTheNextLook) {
    // Press and release arrive together, as on a busy machine between frames.
    for (SDL_EventType type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = SDL_SCANCODE_Z;
        SDL_PushEvent(&event);
    }
    ProcessMessage();
    waitNextMillisecond();
    EXPECT_EQ(CheckKey(44), 1);
    waitNextMillisecond();
    EXPECT_EQ(CheckKey(44), 0);
}

TEST_F(Input, CodesOutsideTheTableReadAsReleased) {
    pressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(CheckKey(1), 1);
    EXPECT_EQ(CheckKey(-1), 0);
    EXPECT_EQ(CheckKey(256), 0);
    EXPECT_EQ(CheckKey(1 + 256), 0);
}

TEST_F(Input, QueriesWithinOneMillisecondSeeTheSameKeys) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        waitNextMillisecond();
        const uint32_t t0 = GetTimeMs();
        const int before = CheckKey(57);
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.scancode = SDL_SCANCODE_SPACE;
        SDL_PushEvent(&event);
        ProcessMessage();
        const int after = CheckKey(57);
        const uint32_t t1 = GetTimeMs();
        if (t0 != t1) {  // the millisecond ran out; try again
            releaseKey(SDL_SCANCODE_SPACE);
            // The press stays latched until a look in a later millisecond.
            waitNextMillisecond();
            CheckKey(57);
            continue;
        }
        EXPECT_EQ(before, 0);
        EXPECT_EQ(after, 0);
        waitNextMillisecond();
        EXPECT_EQ(CheckKey(57), 1);
        return;
    }
    GTEST_SKIP() << "the machine is too busy to finish two queries in one millisecond";
}

TEST_F(Input, LosingFocusReleasesEveryKey) {
    pressKey(SDL_SCANCODE_X);
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    testing_support::pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    ProcessMessage();
    waitNextMillisecond();
    EXPECT_EQ(CheckKey(45), 0);
}

TEST_F(Input, KeyboardAsAPad) {
    EXPECT_EQ(GetPadInput(kPadWithKeyboard), 0);
    struct Case { SDL_Scancode key; int bit; };
    const Case cases[] = {
        {SDL_SCANCODE_DOWN, kPadDown},   {SDL_SCANCODE_KP_2, kPadDown},
        {SDL_SCANCODE_LEFT, kPadLeft},   {SDL_SCANCODE_KP_4, kPadLeft},
        {SDL_SCANCODE_RIGHT, kPadRight}, {SDL_SCANCODE_KP_6, kPadRight},
        {SDL_SCANCODE_UP, kPadUp},       {SDL_SCANCODE_KP_8, kPadUp},
        {SDL_SCANCODE_Z, 0x10},  {SDL_SCANCODE_X, 0x20},  {SDL_SCANCODE_C, 0x40},
        {SDL_SCANCODE_A, 0x80},  {SDL_SCANCODE_S, 0x100}, {SDL_SCANCODE_D, 0x200},
        {SDL_SCANCODE_Q, 0x400}, {SDL_SCANCODE_W, 0x800}, {SDL_SCANCODE_ESCAPE, 0x1000},
        {SDL_SCANCODE_SPACE, 0x2000},
    };
    for (const Case& c : cases) {
        pressKey(c.key);
        EXPECT_EQ(GetPadInput(kPadWithKeyboard), c.bit) << SDL_GetScancodeName(c.key);
        // A joypad number that is not there adds nothing.
        EXPECT_EQ(GetPadInput(kPadWithKeyboard | 3), c.bit);
        EXPECT_EQ(GetPadInput(1), 0);  // the keyboard only with 0x1000
        releaseKey(c.key);
    }
}

// ---------------------------------------------------------------------------
// Joypads
// ---------------------------------------------------------------------------

// A virtual device, opened by the media layer once it has seen it arrive.
class VirtualPad {
public:
    VirtualPad(SDL_JoystickType type, int axes, int buttons, int hats) {
        deviceIndex_ = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
        EXPECT_GE(deviceIndex_, 0) << SDL_GetError();
        id_ = SDL_JoystickGetDeviceInstanceID(deviceIndex_);
        ProcessMessage();
        joystick_ = SDL_JoystickFromInstanceID(id_);
        EXPECT_NE(joystick_, nullptr) << "the media layer did not open the pad";
    }
    ~VirtualPad() { detach(); }
    void detach() {
        if (id_ < 0) return;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
        id_ = -1;
        ProcessMessage();
        waitNextMillisecond();
    }
    void axis(int n, int value) { SDL_JoystickSetVirtualAxis(joystick_, n, static_cast<Sint16>(value)); settle(); }
    void button(int n, bool down) { SDL_JoystickSetVirtualButton(joystick_, n, down ? 1 : 0); settle(); }
    void hat(int n, Uint8 value) { SDL_JoystickSetVirtualHat(joystick_, n, value); settle(); }

private:
    static void settle() {
        ProcessMessage();  // SDL reads the device while pumping
        waitNextMillisecond();
    }
    int deviceIndex_ = -1;
    SDL_JoystickID id_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

TEST(AxisScale, DeadZoneIsAQuarterOfTheTravel) {
    using media::input::ScaleAxis;
    EXPECT_EQ(ScaleAxis(0), 0);
    EXPECT_EQ(ScaleAxis(8192), 0);
    EXPECT_EQ(ScaleAxis(-8192), 0);
    EXPECT_EQ(ScaleAxis(8193), 1);    // just past: a direction, however small
    EXPECT_EQ(ScaleAxis(-8193), -1);
    EXPECT_EQ(ScaleAxis(32767), 1000);
    EXPECT_EQ(ScaleAxis(-32768), -1000);
    EXPECT_EQ(ScaleAxis(20480), 500);
    EXPECT_EQ(ScaleAxis(-20480), -500);
}

TEST_F(Input, NoJoypadReadsAsNothing) {
    EXPECT_EQ(GetPadInput(1), 0);
    EXPECT_EQ(GetPadInput(7), 0);
}

TEST_F(Input, StandardControllerBitsAndDeadZone) {
    VirtualPad pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    // The virtual controller's layout: a b x y back guide start ls rs lb rb
    // dpad up down left right; axes leftx lefty rightx righty lt rt.
    EXPECT_EQ(GetPadInput(1), 0);
    pad.axis(0, 8192);
    EXPECT_EQ(GetPadInput(1), 0) << "inside the dead zone";
    pad.axis(0, 8300);
    EXPECT_EQ(GetPadInput(1), kPadRight);
    pad.axis(0, -8300);
    EXPECT_EQ(GetPadInput(1), kPadLeft);
    pad.axis(0, 0);
    pad.axis(1, 30000);
    EXPECT_EQ(GetPadInput(1), kPadDown);
    pad.axis(1, -30000);
    EXPECT_EQ(GetPadInput(1), kPadUp);
    pad.axis(1, 0);

    struct Case { int virtualButton; int bit; };
    const Case buttons[] = {
        {0, 0x10},       // A
        {1, 0x20},       // B
        {2, 0x40},       // X
        {3, 0x80},       // Y
        {9, 0x100},      // left shoulder
        {10, 0x200},     // right shoulder
        {4, 0x400},      // back
        {6, 0x800},      // start
        {7, 0x1000},     // left stick
        {8, 0x2000},     // right stick
        {5, 0x10 << 12}, // guide comes after the triggers
        {11, kPadUp},    // the D-pad moves
        {12, kPadDown},
        {13, kPadLeft},
        {14, kPadRight},
    };
    for (const Case& c : buttons) {
        pad.button(c.virtualButton, true);
        EXPECT_EQ(GetPadInput(1), c.bit) << "virtual button " << c.virtualButton;
        pad.button(c.virtualButton, false);
    }
    pad.axis(4, 30000);  // left trigger, pressed past halfway
    EXPECT_EQ(GetPadInput(1), 0x10 << 10);
    pad.axis(4, -32768);
    pad.axis(5, 32767);
    EXPECT_EQ(GetPadInput(1), 0x10 << 11);
    pad.axis(5, -32768);

    // With the keyboard ORed in.
    pad.button(0, true);
    pressKey(SDL_SCANCODE_X);
    EXPECT_EQ(GetPadInput(1 | kPadWithKeyboard), 0x10 | 0x20);
    EXPECT_EQ(GetPadInput(1), 0x10);
    releaseKey(SDL_SCANCODE_X);
}

TEST_F(Input, RawJoystickAxesAndTwentyFourButtons) {
    VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 30, 1);
    pad.axis(0, -32768);
    pad.axis(1, 32767);
    EXPECT_EQ(GetPadInput(1), kPadLeft | kPadDown);
    pad.axis(0, 0);
    pad.axis(1, 0);
    pad.hat(0, SDL_HAT_UP);
    EXPECT_EQ(GetPadInput(1), 0) << "a hat switch sets no direction";
    pad.hat(0, SDL_HAT_CENTERED);
    for (int n : {0, 5, 23}) {
        pad.button(n, true);
        EXPECT_EQ(GetPadInput(1), 0x10 << n) << "button " << n;
        pad.button(n, false);
    }
    pad.button(24, true);  // beyond the 24 buttons
    EXPECT_EQ(GetPadInput(1), 0);
}

TEST_F(Input, PadsArriveAndLeaveAndTheRestMoveUp) {
    VirtualPad first(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    VirtualPad second(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    second.button(1, true);
    EXPECT_EQ(GetPadInput(1), 0);
    EXPECT_EQ(GetPadInput(2), 0x20);
    EXPECT_EQ(GetPadInput(3), 0);
    first.detach();
    EXPECT_EQ(GetPadInput(1), 0x20);
    EXPECT_EQ(GetPadInput(2), 0);
}

TEST_F(Input, AtMostEightPadsAreRead) {
    std::vector<std::unique_ptr<VirtualPad>> pads;
    for (int i = 0; i < 8; ++i)
        pads.push_back(std::make_unique<VirtualPad>(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0));
    // A ninth device is attached but not taken as a joypad.
    const int ninth = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0);
    ASSERT_GE(ninth, 0);
    ProcessMessage();
    pads[7]->button(2, true);
    EXPECT_EQ(GetPadInput(8), 0x40);
    EXPECT_EQ(GetPadInput(9), 0);
}

}  // namespace
