// Watching a recorded attempt (--replay FILE): its stage as it started, the
// recorded input in place of the devices, and the program ends when the
// attempt does. Nothing saved changes by watching.
#pragma once

#include "game/shell/replay.h"

#include <string>

// Reads and checks a replay file; false with the reason.
bool readReplayFile(const std::string& path, Replay& out, std::string& error);

// Enters the replay's stage with its pictures and sounds and feeds its input
// from the next tick on. The media layer runs and the saved files are read.
void startReplayPlayback(const Replay& replay);

// After each tick: true once the attempt is over (the stage cleared, a life
// lost, the scene left) or, when the recording stops before that, some
// seconds after its last tick.
bool replayPlaybackEnded();

// "replay of stage 1 (stage file 00): cleared after 812 ticks, score 300":
// the stage as the game shows it (STAGE 01), then its file's number.
std::string replayPlaybackOutcome();
