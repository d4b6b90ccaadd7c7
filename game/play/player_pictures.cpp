#include "game/play/player_pictures.h"

#include "game/play/picture_cycles.h"
#include "game/state/play_state.h"

namespace {

// The runs of the player's animations, as tileImages numbers.
constexpr FrameRun kIdle[] = {{0, 7}, {1, 7}, {2, 7}, {3, 7}, {4, 7}, {0, 7}};
constexpr FrameRun kWalk[] = {{6, 5}, {7, 5}, {8, 5}, {9, 5}, {10, 5}};
constexpr FrameRun kWalkLookingUp[] = {{12, 5}, {13, 5}, {14, 5}, {15, 5}, {16, 5}};
constexpr FrameRun kWindUp[] = {{18, 4}, {19, 13}, {20, 12}, {21, 4}, {22, 4},
                                {21, 4}, {22, 4},  {21, 4},  {22, 4}};
constexpr FrameRun kCrouchWalk[] = {{31, 5}, {32, 5}, {33, 5}, {34, 5}};
constexpr FrameRun kCrouchWalkLookingUp[] = {{36, 5}, {37, 5}, {38, 5}, {39, 5}};
constexpr FrameRun kCast[] = {{83, 5}, {84, 5}, {85, 5}, {86, 5}};
constexpr FrameRun kCastUpward[] = {{88, 4}, {89, 4}, {90, 4}, {91, 4}, {95, 4}};
constexpr FrameRun kCastInAir[] = {{152, 5}, {153, 5}, {154, 10}};
constexpr FrameRun kCastCrouching[] = {{108, 5}, {109, 5}, {110, 5}, {111, 5}};
constexpr FrameRun kCastCrouchingUpward[] = {{155, 5}, {156, 5}, {157, 5}, {158, 2}, {159, 3}};
constexpr FrameRun kLandAfterBump[] = {{27, 4}, {28, 4}, {27, 4}, {28, 4}, {29, 4}};
constexpr FrameRun kKeyTaken[] = {{63, 5}, {64, 5}, {65, 5}, {66, 5}, {67, 5}, {68, 5}};
constexpr FrameRun kKeyRecovering[] = {{68, 2}, {69, 5}};
constexpr FrameRun kStumble[] = {{97, 4},  {98, 4},  {99, 4},  {100, 4}, {101, 4}, {102, 4},
                                 {103, 4}, {104, 20}, {105, 4}, {106, 4}, {107, 4}};

template <size_t N>
int played(const FrameRun (&runs)[N], int s) {
    // A state shows its list only for as long as it lasts; hold the last
    // picture should it run over.
    return sequencePicture(runs, s, runs[N - 1].picture);
}

}  // namespace

int playerPicture(const Player& player) {
    const int s = player.stateTimer < 0 ? 0 : player.stateTimer;
    const bool lookingUp = player.headWasBlocked != 0;
    switch (player.state) {
        case kPlayerStanding:
            return player.headWasBlocked == 1 ? 12 : cyclePicture(kIdle, s);
        case kPlayerWalking:
            return cyclePicture(lookingUp ? std::span<const FrameRun>(kWalkLookingUp)
                                          : std::span<const FrameRun>(kWalk), s);
        case kPlayerJumpWindUp:
            return sequencePicture(kWindUp, s, 0);
        case kPlayerInAir:
            return 21 + (s / 4) % 2;
        case kPlayerCrouching:
            return lookingUp ? 36 : 31;
        case kPlayerCrouchWalking:
            return cyclePicture(lookingUp ? std::span<const FrameRun>(kCrouchWalkLookingUp)
                                          : std::span<const FrameRun>(kCrouchWalk), s);
        case kPlayerMagicStanding:
            return cyclePicture(lookingUp ? std::span<const FrameRun>(kCastUpward)
                                          : std::span<const FrameRun>(kCast), s);
        case kPlayerShotStanding:
            return lookingUp ? 88 + s / 4 : cyclePicture(kCast, s);
        case kPlayerMagicInAir:
        case kPlayerShotInAir:
            return cyclePicture(kCastInAir, s);
        case kPlayerMagicCrouching:
        case kPlayerShotCrouching:
            return cyclePicture(lookingUp ? std::span<const FrameRun>(kCastCrouchingUpward)
                                          : std::span<const FrameRun>(kCastCrouching), s);
        case kPlayerLanded:
            return 23;
        case kPlayerHeadBump:
            return 26;
        case kPlayerLandedAfterBump:
            return played(kLandAfterBump, s);
        case kPlayerKeyTaken:
            return played(kKeyTaken, s);
        case kPlayerKeyRecovering:
            return played(kKeyRecovering, s);
        case kPlayerDeathJump:
            return 144;
        case kPlayerLyingDead:
            return s > 19 ? 155 : 150 + s / 4;
        case kPlayerAtExit:
            return s > 43 ? 81 : 71 + s / 4;
        case kPlayerLookingUp:
            return 41 + s / 4;
        case kPlayerStumble:
            return played(kStumble, s);
        case kPlayerSpellStart:
            return s > 11 ? 126 : 123 + s / 4;
        case kPlayerSpellCharge:
            return s > 3 ? 128 : 127;
        case kPlayerSpellTrigger:
            return s < 8 ? 129 + s / 4 : -1;
        case kPlayerSpellBeam:
            return 131 + (s / 4) % 3;
        case kPlayerSpellFinish:
            return s > 35 ? 142 : 134 + s / 4;
        default:
            return -1;
    }
}
