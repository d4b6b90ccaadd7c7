#include "game/play/picture_cycles.h"
#include "game/play/player_pictures.h"
#include "game/state/play_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Player playerIn(int state, int stateTimer, int headWasBlocked = 0) {
    Player p{};
    p.state = static_cast<int16_t>(state);
    p.stateTimer = static_cast<int16_t>(stateTimer);
    p.headWasBlocked = static_cast<int16_t>(headWasBlocked);
    return p;
}

std::vector<int> picturesOver(int state, int ticks, int headWasBlocked = 0) {
    std::vector<int> out;
    for (int s = 0; s < ticks; ++s) out.push_back(playerPicture(playerIn(state, s, headWasBlocked)));
    return out;
}

TEST(PictureCycles, RunsLastTheirTicksAndWrap) {
    constexpr FrameRun runs[] = {{5, 2}, {6, 1}};
    EXPECT_EQ(cyclePicture(runs, 0), 5);
    EXPECT_EQ(cyclePicture(runs, 1), 5);
    EXPECT_EQ(cyclePicture(runs, 2), 6);
    EXPECT_EQ(cyclePicture(runs, 3), 5);
    EXPECT_EQ(cyclePicture(runs, -1), 6);
    EXPECT_EQ(sequencePicture(runs, 3, 42), 42);
}

TEST(PlayerPictures, IdleBreathesOverFortyTwoTicks) {
    const std::vector<int> idle = picturesOver(kPlayerStanding, 84);
    EXPECT_EQ(idle[0], 0);
    EXPECT_EQ(idle[6], 0);
    EXPECT_EQ(idle[7], 1);
    EXPECT_EQ(idle[28], 4);
    EXPECT_EQ(idle[35], 0);
    EXPECT_EQ(idle[42], 0);
    EXPECT_EQ(idle[49], 1);
    // Looking at a block overhead, she holds one picture.
    EXPECT_EQ(playerPicture(playerIn(kPlayerStanding, 9, 1)), 12);
}

// The cycles of the picture table, tick by tick over two rounds: each run
// is (picture, ticks) as the table lists it.
TEST(PlayerPictures, EveryCycleShowsEachPictureForItsTicks) {
    struct Run {
        int picture, ticks;
    };
    const struct {
        int16_t state;
        int headWasBlocked;
        std::vector<Run> runs;
    } cycles[] = {
        {kPlayerStanding, 0, {{0, 7}, {1, 7}, {2, 7}, {3, 7}, {4, 7}, {0, 7}}},
        {kPlayerWalking, 0, {{6, 5}, {7, 5}, {8, 5}, {9, 5}, {10, 5}}},
        {kPlayerWalking, 1, {{12, 5}, {13, 5}, {14, 5}, {15, 5}, {16, 5}}},
        {kPlayerCrouchWalking, 0, {{31, 5}, {32, 5}, {33, 5}, {34, 5}}},
        {kPlayerCrouchWalking, 1, {{36, 5}, {37, 5}, {38, 5}, {39, 5}}},
        {kPlayerMagicStanding, 0, {{83, 5}, {84, 5}, {85, 5}, {86, 5}}},
        {kPlayerMagicStanding, 1, {{88, 4}, {89, 4}, {90, 4}, {91, 4}, {95, 4}}},
        {kPlayerShotStanding, 0, {{83, 5}, {84, 5}, {85, 5}, {86, 5}}},
        {kPlayerMagicInAir, 0, {{152, 5}, {153, 5}, {154, 10}}},
        {kPlayerShotInAir, 1, {{152, 5}, {153, 5}, {154, 10}}},
        {kPlayerMagicCrouching, 0, {{108, 5}, {109, 5}, {110, 5}, {111, 5}}},
        {kPlayerShotCrouching, 1, {{155, 5}, {156, 5}, {157, 5}, {158, 2}, {159, 3}}},
    };
    for (const auto& c : cycles) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " looking up " << c.headWasBlocked);
        std::vector<int> want;
        for (int round = 0; round < 2; ++round)
            for (const Run& run : c.runs) want.insert(want.end(), static_cast<size_t>(run.ticks), run.picture);
        for (size_t s = 0; s < want.size(); ++s)
            ASSERT_EQ(playerPicture(playerIn(c.state, static_cast<int>(s), c.headWasBlocked)), want[s]) << "tick " << s;
    }
}

TEST(PlayerPictures, WindUpPlaysOnceThenShowsTheFirstIdlePicture) {
    const std::vector<int> windUp = picturesOver(kPlayerJumpWindUp, 60);
    EXPECT_EQ(windUp[3], 18);
    EXPECT_EQ(windUp[4], 19);
    EXPECT_EQ(windUp[16], 19);
    EXPECT_EQ(windUp[17], 20);
    EXPECT_EQ(windUp[29], 21);
    EXPECT_EQ(windUp[33], 22);
    EXPECT_EQ(windUp[52], 22);
    EXPECT_EQ(windUp[53], 0);
}

TEST(PlayerPictures, HeadroomChoosesTheUpwardVariants) {
    EXPECT_EQ(playerPicture(playerIn(kPlayerWalking, 5, 0)), 7);
    EXPECT_EQ(playerPicture(playerIn(kPlayerWalking, 5, 1)), 13);
    EXPECT_EQ(playerPicture(playerIn(kPlayerCrouchWalking, 10, 0)), 33);
    EXPECT_EQ(playerPicture(playerIn(kPlayerCrouchWalking, 10, 1)), 38);
    EXPECT_EQ(playerPicture(playerIn(kPlayerMagicStanding, 16, 1)), 95);
    EXPECT_EQ(playerPicture(playerIn(kPlayerShotStanding, 8, 1)), 90);
    EXPECT_EQ(playerPicture(playerIn(kPlayerShotStanding, 8, 0)), 84);
    EXPECT_EQ(playerPicture(playerIn(kPlayerShotCrouching, 17, 1)), 159);
}

TEST(PlayerPictures, TimedStatesEndOnTheirLastPicture) {
    EXPECT_EQ(playerPicture(playerIn(kPlayerLyingDead, 19)), 154);
    EXPECT_EQ(playerPicture(playerIn(kPlayerLyingDead, 20)), 155);
    EXPECT_EQ(playerPicture(playerIn(kPlayerAtExit, 43)), 81);
    EXPECT_EQ(playerPicture(playerIn(kPlayerAtExit, 44)), 81);
    EXPECT_EQ(playerPicture(playerIn(kPlayerStumble, 28)), 104);
    EXPECT_EQ(playerPicture(playerIn(kPlayerStumble, 47)), 104);
    EXPECT_EQ(playerPicture(playerIn(kPlayerStumble, 48)), 105);
    EXPECT_EQ(playerPicture(playerIn(kPlayerSpellFinish, 36)), 142);
    EXPECT_EQ(playerPicture(playerIn(kPlayerSpellTrigger, 7)), 130);
    EXPECT_EQ(playerPicture(playerIn(kPlayerSpellTrigger, 8)), -1);
}

TEST(PlayerPictures, StatesWithoutPicturesShowNothing) {
    EXPECT_EQ(playerPicture(playerIn(6, 0)), -1);
    EXPECT_EQ(playerPicture(playerIn(20, 0)), -1);
    EXPECT_EQ(playerPicture(playerIn(48, 0)), -1);
}

}  // namespace
