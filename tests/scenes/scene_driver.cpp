#include "tests/scenes/scene_driver.h"

#include "game/shell/controls.h"
#include "game/shell/frame_tick.h"
#include "game/shell/saved_files.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace scene_test {

namespace {

// The media layer runs headless for the whole program.
class HeadlessEnvironment : public ::testing::Environment {
public:
    void SetUp() override { media_ = new testing_support::HeadlessMedia; }
    void TearDown() override { delete media_; }

private:
    testing_support::HeadlessMedia* media_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

}  // namespace

void startIn(int scene) {
    game = GameGlobals{};
    setDefaultKeyAssignment();
    setSavedDefaults();
    // As the start-up does: pure green is the colour key of every picture.
    SetDrawTarget(kDrawTargetBack);
    SetTransparentColor(0, 255, 0);
    game.scene = scene;
    enterScene();
}

void tick(const Pad& pad) {
    // The real frame tick, with a one-tick script in place of the devices.
    InputState records[2] = {};
    records[0].horizontal = pad.horizontal;
    records[0].vertical = pad.vertical;
    records[0].button[0] = pad.button1 ? 1 : 0;
    records[0].button[1] = pad.button2 ? 1 : 0;
    installInputScript(records, 1);
    FrameTick();
    removeInputScript();
}

void ticks(int count, const Pad& pad) {
    for (int i = 0; i < count; ++i) tick(pad);
}

void press(const Pad& pad) {
    tick(kNothing);
    tick(pad);
}

}  // namespace scene_test
