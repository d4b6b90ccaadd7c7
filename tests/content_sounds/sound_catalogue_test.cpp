// The default data set's sounds: every effect of folders 10 and 20 and the
// nine music tracks of folder 05 exist after the build, have the expected
// format, fit the moments they are played in, share one loudness, loop
// without a click and do not clip when the busiest moments mix.
#include "tests/content_sounds/sound_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace sound_files;

constexpr double kTick = 1.0 / 60.0;
constexpr int kRate = 44100;

struct EffectFile {
    const char* file;
    const char* role;
    double minSeconds;
    double maxSeconds;  // the time it has before the next thing happens
};

// Every sound effect the scenes load, with the window each one must fit.
constexpr EffectFile kEffects[] = {
    {"10/01.wav", "block made", 0.05, 0.7},
    {"10/02.wav", "magic refused", 0.05, 0.5},
    {"10/03.wav", "block broken", 0.05, 0.7},
    {"10/04.wav", "head bump (she hangs 20 ticks)", 0.05, 20 * kTick + 0.1},
    {"10/05.wav", "start jingle (music follows 124 ticks later)", 1.0, 124 * kTick},
    {"10/06.wav", "exit reached (fanfare 119 ticks later)", 0.3, 119 * kTick},
    {"10/07.wav", "time out and death", 0.5, 2.0},
    {"10/20.wav", "menu cancel", 0.03, 0.42},
    {"10/21.wav", "menu cursor", 0.02, 0.2},
    {"10/22.wav", "menu decide", 0.05, 0.6},
    {"10/30.wav", "key spark launched", 0.2, 1.5},
    {"10/31.wav", "exit opening", 0.2, 1.6},
    {"10/32.wav", "fire breath (walks again 20 ticks later)", 0.1, 0.75},
    {"10/33.wav", "shot hit and cannon", 0.05, 0.5},
    {"10/35.wav", "landing after a bump (20 ticks)", 0.05, 0.4},
    {"10/36.wav", "clear fanfare (stage ends 180 ticks later)", 1.5, 180 * kTick},
    {"10/37.wav", "spell start", 0.3, 1.6},
    {"10/38.wav", "spell backdrop (55 ticks left)", 0.3, 1.2},
    {"10/39.wav", "spell charge", 0.2, 0.7},
    {"10/40.wav", "spell release", 0.1, 0.5},
    {"10/41.wav", "spell beam (150 ticks, gone 24 later)", 2.0, 174 * kTick},
    {"10/42.wav", "spell end (48 ticks left)", 0.2, 1.0},
    {"10/43.wav", "small score item", 0.05, 0.8},
    {"10/44.wav", "big score item", 0.05, 0.9},
    {"10/45.wav", "magic charge", 0.05, 0.9},
    {"10/46.wav", "extra life", 0.2, 1.2},
    {"10/47.wav", "bonus key", 0.1, 1.0},
    {"10/48.wav", "2000-point bonus", 0.2, 1.2},
    {"10/50.wav", "key taken", 0.1, 1.0},
    {"10/51.wav", "shot", 0.05, 0.4},
    {"10/52.wav", "spawner", 0.1, 0.8},
    {"10/53.wav", "expiry puff (15 ticks)", 0.05, 0.35},
    {"20/1.wav", "game over (title 172 ticks later)", 1.0, 172 * kTick},
    {"20/2.wav", "continue countdown (last digit lands at tick 689)", 689 * kTick, 729 * kTick},
};

constexpr const char* kMusic[] = {"05/1.ogg", "05/2.ogg", "05/3.ogg", "05/4.ogg", "05/5.ogg",
                                  "05/6.ogg", "05/7.ogg", "05/8.ogg", "05/9.ogg"};
// The tracks the play scene loops under its effects.
constexpr const char* kStageMusic[] = {"05/3.ogg", "05/4.ogg", "05/5.ogg", "05/6.ogg", "05/8.ogg", "05/9.ogg"};

std::string dataPath(const std::string& relative) {
    const char* dir = std::getenv("LUMOTTA_DATA_DIR");
    return std::string(dir && *dir ? dir : LUMOTTA_BUILD_DATA_DIR) + "/" + relative;
}

// Decoding is the slow part; every file is decoded once per run.
const Pcm& load(const std::string& relative) {
    static std::map<std::string, Pcm> cache;
    auto found = cache.find(relative);
    if (found == cache.end()) {
        const std::string path = dataPath(relative);
        const bool ogg = relative.size() > 4 && relative.compare(relative.size() - 4, 4, ".ogg") == 0;
        found = cache.emplace(relative, ogg ? readOgg(path) : readWav(path)).first;
    }
    return found->second;
}

TEST(SoundCatalogue, EveryEffectIsMono16BitPcmThatFitsItsMoment) {
    for (const EffectFile& e : kEffects) {
        SCOPED_TRACE(std::string(e.file) + " (" + e.role + ")");
        const Pcm& pcm = load(e.file);
        ASSERT_EQ(pcm.error, "");
        EXPECT_EQ(pcm.formatTag, 1);
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_EQ(pcm.sampleRate, kRate);
        EXPECT_EQ(pcm.bitsPerSample, 16);
        EXPECT_EQ(pcm.blockAlign, 2);
        EXPECT_EQ(pcm.bytesPerSecond, 2 * kRate);
        EXPECT_GE(pcm.seconds(), e.minSeconds);
        EXPECT_LE(pcm.seconds(), e.maxSeconds);
    }
}

TEST(SoundCatalogue, EffectsShareOneLoudnessWithoutClipping) {
    double quietest = 0.0, loudest = -100.0;
    for (const EffectFile& e : kEffects) {
        SCOPED_TRACE(e.file);
        const Pcm& pcm = load(e.file);
        ASSERT_EQ(pcm.error, "");
        const std::vector<float> samples = pcm.channel(0);
        const double level = toDb(loudestWindow(samples));
        EXPECT_GT(level, -21.0);
        EXPECT_LT(level, -13.0);
        EXPECT_LE(toDb(peak(samples)), -1.0);
        // Effects start from silence and end in it: no click at either end.
        EXPECT_LT(std::fabs(samples.front()), 0.02f);
        EXPECT_LT(std::fabs(samples.back()), 0.02f);
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);
    }
    EXPECT_LT(loudest - quietest, 6.0);
}

TEST(MusicTracks, NineStereoTracksOfAtLeast45SecondsEach) {
    for (const char* file : kMusic) {
        SCOPED_TRACE(file);
        const Pcm& pcm = load(file);
        ASSERT_EQ(pcm.error, "");
        EXPECT_EQ(pcm.channels, 2);
        EXPECT_EQ(pcm.sampleRate, kRate);
        EXPECT_GE(pcm.seconds(), 45.0);
        EXPECT_LE(pcm.seconds(), 180.0);
    }
}

// The stream loops the whole file: the last sample leads into the first.
// The step across that seam must be no larger than the track's typical
// step (the RMS of all its sample-to-sample steps), on both channels.
TEST(MusicTracks, EveryTrackLoopsWithoutAClick) {
    for (const char* file : kMusic) {
        SCOPED_TRACE(file);
        const Pcm& pcm = load(file);
        ASSERT_EQ(pcm.error, "");
        for (int c = 0; c < pcm.channels; ++c) {
            const std::vector<float> x = pcm.channel(c);
            ASSERT_GT(x.size(), 2u);
            double sum = 0.0;
            for (size_t i = 1; i < x.size(); ++i) sum += static_cast<double>(x[i] - x[i - 1]) * (x[i] - x[i - 1]);
            const double typical = std::sqrt(sum / static_cast<double>(x.size() - 1));
            const double seam = std::fabs(static_cast<double>(x.front()) - x.back());
            EXPECT_LE(seam, typical) << "channel " << c;
            // And the signal itself carries on: its slope across the seam
            // is close to the slopes on either side of it.
            const double before = static_cast<double>(x[x.size() - 1]) - x[x.size() - 2];
            const double after = static_cast<double>(x[1]) - x[0];
            const double across = static_cast<double>(x[0]) - x[x.size() - 1];
            EXPECT_LE(std::fabs(across - 0.5 * (before + after)), 2.0 * typical) << "channel " << c;
        }
    }
}

TEST(MusicTracks, MusicSitsALittleBelowTheEffects) {
    std::vector<double> effectLevels;
    for (const EffectFile& e : kEffects) effectLevels.push_back(toDb(loudestWindow(load(e.file).channel(0))));
    std::sort(effectLevels.begin(), effectLevels.end());
    const double typicalEffect = effectLevels[effectLevels.size() / 2];
    for (const char* file : kMusic) {
        SCOPED_TRACE(file);
        const Pcm& pcm = load(file);
        ASSERT_EQ(pcm.error, "");
        for (int c = 0; c < pcm.channels; ++c) {
            const std::vector<float> x = pcm.channel(c);
            const double level = toDb(rms(x));
            EXPECT_GT(level, -27.0);
            EXPECT_LT(level, typicalEffect - 3.0);
            EXPECT_LE(toDb(peak(x)), -5.0);
        }
    }
}

struct Cue {
    const char* file;
    int tick;  // when it starts
};

// Mixes the cues over a stage track started at `musicOffset` seconds and
// returns the largest absolute value of the sum (1.0 is full scale).
double mixPeak(const std::vector<Cue>& cues, const Pcm& music, double musicOffset) {
    int lastTick = 0;
    for (const Cue& c : cues) lastTick = std::max(lastTick, c.tick);
    const size_t length = static_cast<size_t>((lastTick * kTick + 3.0) * kRate);
    std::vector<double> left(length, 0.0), right(length, 0.0);
    for (const Cue& c : cues) {
        const std::vector<float> effect = load(c.file).channel(0);
        const size_t start = static_cast<size_t>(c.tick * kTick * kRate);
        for (size_t i = 0; i < effect.size() && start + i < length; ++i) {
            left[start + i] += effect[i];
            right[start + i] += effect[i];
        }
    }
    const size_t frames = music.frames();
    const size_t offset = static_cast<size_t>(musicOffset * kRate);
    double top = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const size_t m = (offset + i) % frames;
        const double l = left[i] + music.samples[2 * m] / 32768.0;
        const double r = right[i] + music.samples[2 * m + 1] / 32768.0;
        top = std::max({top, std::fabs(l), std::fabs(r)});
    }
    return top;
}

// The big spell is the busiest moment of play: its six sounds at their ticks
// (counted from the spell's start) over the stage music. A scramble of a
// broken block, a shot hit, an item and another shot within a few ticks is
// the other. Neither may clip, wherever the music happens to be.
TEST(SoundMix, BusiestMomentsOverStageMusicDoNotClip) {
    const std::vector<Cue> spell = {{"10/37.wav", 60}, {"10/38.wav", 75},  {"10/39.wav", 113},
                                    {"10/40.wav", 149}, {"10/41.wav", 155}, {"10/42.wav", 337}};
    const std::vector<Cue> scramble = {
        {"10/03.wav", 0}, {"10/33.wav", 2}, {"10/43.wav", 5}, {"10/51.wav", 6}, {"10/01.wav", 9}};
    for (const char* file : kStageMusic) {
        SCOPED_TRACE(file);
        const Pcm& music = load(file);
        ASSERT_EQ(music.error, "");
        ASSERT_EQ(music.channels, 2);
        double worst = 0.0;
        for (double offset = 0.0; offset < music.seconds(); offset += 1.7) {
            worst = std::max(worst, mixPeak(spell, music, offset));
            worst = std::max(worst, mixPeak(scramble, music, offset));
        }
        EXPECT_LT(worst, 1.0);
    }
}

}  // namespace
