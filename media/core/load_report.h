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
// A load that failed, by its file: counted as NoteLoad does, and the file
// named in English on standard error and in the log, once a run (a stage
// that plays on black says which picture it lacks). `missing`: the file is
// not there at all, rather than unreadable.
void NoteFailedLoad(cache::Kind kind, const char* fileName, bool missing);
// A new run: every file may be named again.
void ForgetNamedFailures();
// Writes the line when anything was loaded since the change began.
void SceneChangeEnds();

// Every load of a kind since the program started, scene change or not (for
// tests and benchmarks).
Counts Totals(cache::Kind kind);

}  // namespace media::report
