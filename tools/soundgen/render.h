// Turning scores into sound: notes mixed in stereo, a room, seamless loops,
// and the levelling that keeps effects and music at their loudness.
#pragma once

#include "tools/soundgen/score.h"

#include <vector>

namespace soundgen {

struct Stereo {
    std::vector<float> left, right;
    size_t size() const { return left.size(); }
};

// A looping score (bars > 0) comes out exactly one loop long, periodic:
// whatever sounds past the loop end (releases, the room's tail) is heard
// again at its start, so the last sample leads into the first. A one-shot
// score comes out as long as it sounds (or its `length`).
Stereo renderScore(const Score& score);

std::vector<float> mixToMono(const Stereo& sound);

// Loudness of the loudest 50 ms and the peak, both as fractions of full scale.
struct Levels {
    double loudest = 0.0;
    double peak = 0.0;
    double rms = 0.0;  // over the whole sound
};
Levels measure(const std::vector<float>& samples);
Levels measure(const Stereo& sound);

// Effects: scaled so that the loudest 50 ms reach `targetDb`, never letting
// the peak above -3 dB; ends with a short fade so nothing clicks. Returns
// the gain applied.
double levelEffect(std::vector<float>& samples, double targetDb);

// Music (a loop): scaled so the whole track's RMS reaches `targetDb`, with a
// gentle limiter keeping the peaks under -6 dB, so that effects on top keep
// their room.
double levelMusic(Stereo& sound, double targetDb);

constexpr double kEffectCeilingDb = -3.0;
constexpr double kMusicCeilingDb = -6.0;

}  // namespace soundgen
