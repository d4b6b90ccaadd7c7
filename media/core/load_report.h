// One log line per scene change: how many pictures and sounds were loaded,
// how many of them came from the decoded cache and how many were decoded,
// and how long it took. A scene change starts with DeleteAllImages or
// DeleteAllSounds and ends at the next ClearScreen (the next frame); loads
// between frames otherwise (an animation's next picture) are not counted.
#pragma once

#include "media/core/decoded_cache.h"

namespace media::report {

enum class Outcome { Reused, Decoded, Streamed, Failed };

struct Counts {
    int reused = 0, decoded = 0, streamed = 0, failed = 0;
    int total() const { return reused + decoded + streamed + failed; }
};

void SceneChangeBegins();
void NoteLoad(cache::Kind kind, Outcome outcome);
// Writes the line when anything was loaded since the change began.
void SceneChangeEnds();

// Every load of a kind since the program started, scene change or not (for
// tests and benchmarks).
Counts Totals(cache::Kind kind);

}  // namespace media::report
