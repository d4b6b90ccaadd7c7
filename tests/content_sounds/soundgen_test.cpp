// The sound generator: its note language, chord patterns, synthesis,
// seamless loops, levelling and WAV output.
#include "tests/content_sounds/sound_files.h"
#include "tests/support/test_support.h"
#include "tools/soundgen/audio_files.h"
#include "tools/soundgen/effect.h"
#include "tools/soundgen/render.h"
#include "tools/soundgen/score.h"
#include "tools/soundgen/text_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace soundgen;

std::string writeFile(const std::string& name, const std::string& text) {
    std::ofstream(name) << text;
    return name;
}

Score scoreOf(const std::string& text) {
    InstrumentLibrary library;
    defineInstrument("tone wave=sine attack=0.001 release=0.01", library);
    return readScore(writeFile("score.txt", "tempo 120\nmeter 4\n" + text), library);
}

std::string errorOf(const std::string& text) {
    try {
        scoreOf(text);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

int zeroCrossings(const std::vector<float>& x, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from + 1; i < to && i < x.size(); ++i)
        if ((x[i - 1] < 0.0f) != (x[i] < 0.0f)) ++n;
    return n;
}

TEST(SoundgenNotes, LengthsOctavesTiesRepeatsChordsAndMacros) {
    testing_support::ScratchDirectory dir("notes");
    const Score s = scoreOf(
        "bars 3\n"
        "macro up c8 e8\n"
        "voice v instrument=tone : c4 d8. e16 r4 >c4 | <[g8]2 (ceg)4 c4^8 $up k2 c8 r2.\n");
    ASSERT_EQ(s.events.size(), 13u);
    const double gate = 7.0 / 8.0;
    EXPECT_DOUBLE_EQ(s.events[0].beat, 0.0);
    EXPECT_EQ(s.events[0].midi, 60);
    EXPECT_DOUBLE_EQ(s.events[0].beats, 1.0 * gate);
    EXPECT_DOUBLE_EQ(s.events[1].beat, 1.0);
    EXPECT_DOUBLE_EQ(s.events[1].beats, 0.75 * gate);  // dotted eighth
    EXPECT_DOUBLE_EQ(s.events[2].beat, 1.75);
    EXPECT_EQ(s.events[3].midi, 72);  // an octave up, after the rest
    EXPECT_DOUBLE_EQ(s.events[3].beat, 3.0);
    EXPECT_EQ(s.events[4].midi, 67);  // back down: g4, twice
    EXPECT_DOUBLE_EQ(s.events[5].beat, 4.5);
    for (int k = 6; k < 9; ++k) EXPECT_DOUBLE_EQ(s.events[k].beat, 5.0);  // the chord
    EXPECT_EQ(s.events[6].midi + s.events[7].midi + s.events[8].midi, 60 + 64 + 67);
    EXPECT_DOUBLE_EQ(s.events[9].beats, 1.5 * gate);  // c4^8
    EXPECT_EQ(s.events[10].midi, 60);                 // the macro
    EXPECT_DOUBLE_EQ(s.events[10].beat, 7.5);
    EXPECT_EQ(s.events[11].midi, 64);
    EXPECT_EQ(s.events[12].midi, 62);  // transposed up two
    EXPECT_DOUBLE_EQ(s.events[12].beat, 8.5);
}

TEST(SoundgenNotes, MiscountedVoicesAndBadTextAreReportedWithTheirLine) {
    testing_support::ScratchDirectory dir("errors");
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : c2\n").find("score.txt:4"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : c2\n").find("before the loop end"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : c1 c4\n").find("past the loop end"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : c1 z\n").find("unexpected 'z'"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=nothing : c1\n").find("unknown instrument"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : $none\n").find("unknown macro"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nharmony Cq\n").find("unknown chord"), std::string::npos);
    EXPECT_NE(errorOf("tempo 9000\n").find("outside"), std::string::npos);
    EXPECT_NE(errorOf("bars 1\nvoice v instrument=tone : [c4\n").find("unclosed"), std::string::npos);
}

TEST(SoundgenPatterns, ChordTonesCountUpFromTheBassAndDashesHold) {
    testing_support::ScratchDirectory dir("patterns");
    const Score s = scoreOf(
        "bars 2\n"
        "harmony C/E Gbm7b5\n"
        "comp c instrument=tone octave=3 step=4 pattern=\"12-0\"\n"
        "comp x instrument=tone octave=3 step=1 bars=2 pattern=\"x\"\n"
        "drum d instrument=tone step=2 bars=1 pattern=\"Xo\" vel=0.5\n");
    std::vector<NoteEvent> comp, chord, drum;
    for (const NoteEvent& e : s.events) {
        if (e.instrument == 0) comp.push_back(e);
        else if (e.instrument == 1) chord.push_back(e);
        else drum.push_back(e);
    }
    ASSERT_EQ(comp.size(), 6u);
    EXPECT_EQ(comp[0].midi, 52);          // E3, the bass of C/E
    EXPECT_EQ(comp[1].midi, 55);          // then G3
    EXPECT_DOUBLE_EQ(comp[1].beats, 2 * 0.9);  // held over the dash
    EXPECT_EQ(comp[2].midi, 40);          // 0: the bass an octave down
    EXPECT_EQ(comp[3].midi, 54);          // bar 2: Gb3
    ASSERT_EQ(chord.size(), 4u);           // Gb A C E
    EXPECT_EQ(chord[0].midi, 54);
    EXPECT_EQ(chord[3].midi, 64);
    ASSERT_EQ(drum.size(), 2u);
    EXPECT_GT(drum[0].velocity, drum[1].velocity * 2.0);  // accent against ghost
}

TEST(SoundgenSynth, NotesHaveTheirPitchGlideAndEndInSilence) {
    Instrument sine;
    sine.attack = 0.002;
    sine.release = 0.05;
    NoteSpec note;
    note.frequency = 441.0;
    note.holdSeconds = 1.0;
    std::vector<float> out;
    renderNote(sine, note, out, 0);
    ASSERT_EQ(out.size(), static_cast<size_t>(std::ceil(1.05 * kSampleRate)));
    EXPECT_NEAR(zeroCrossings(out, 0, kSampleRate), 882, 2);
    EXPECT_LT(std::fabs(out.back()), 1e-3f);
    EXPECT_LT(std::fabs(out.front()), 1e-3f);

    note.frequencyTo = 882.0;
    std::vector<float> glide;
    renderNote(sine, note, glide, 0);
    EXPECT_NEAR(zeroCrossings(glide, 0, kSampleRate / 10), 89, 3);  // ~445 Hz at the start
    EXPECT_NEAR(zeroCrossings(glide, kSampleRate * 9 / 10, kSampleRate), 172, 4);  // ~860 Hz near the end

    // The same note twice gives the same samples, noise included.
    Instrument noisy;
    noisy.noise = 0.5;
    std::vector<float> a, b;
    renderNote(noisy, note, a, 0);
    renderNote(noisy, note, b, 0);
    EXPECT_EQ(a, b);
}

TEST(SoundgenRender, ALoopCarriesItsTailIntoItsStart) {
    testing_support::ScratchDirectory dir("loop");
    // One bar; the last note's long release and the room ring past the end.
    InstrumentLibrary library;
    defineInstrument("long wave=triangle attack=0.01 release=1.5 reverb=0.5", library);
    const Score once = readScore(
        writeFile("once.txt", "tempo 120\nmeter 4\nbars 1\nvoice v instrument=long : r2. a4\n"), library);
    const Stereo out = renderScore(once);
    ASSERT_EQ(out.size(), static_cast<size_t>(2 * kSampleRate));
    // The release is heard at the start of the loop, not cut off.
    EXPECT_GT(sound_files::rms(std::vector<float>(out.left.begin(), out.left.begin() + 4410)), 1e-3);
    // Played round and round, the loop is the same as the same bar written
    // out twice: whatever crosses the seam arrives where it would have.
    const Score twice = readScore(
        writeFile("twice.txt", "tempo 120\nmeter 4\nbars 2\nvoice v instrument=long : r2. a4 r2. a4\n"), library);
    const Stereo longer = renderScore(twice);
    ASSERT_EQ(longer.size(), 2 * out.size());
    double worst = 0.0;
    for (size_t i = 0; i < longer.size(); ++i) {
        worst = std::max(worst, static_cast<double>(std::fabs(longer.left[i] - out.left[i % out.size()])));
        worst = std::max(worst, static_cast<double>(std::fabs(longer.right[i] - out.right[i % out.size()])));
    }
    EXPECT_LT(worst, 1e-4);
}

TEST(SoundgenLevels, EffectsReachTheirTargetAndMusicStaysUnderItsCeiling) {
    Instrument square;
    square.wave = Wave::Square;
    NoteSpec note;
    note.frequency = 300.0;
    note.holdSeconds = 0.3;
    note.velocity = 3.0;  // far too loud before levelling
    std::vector<float> effect;
    renderNote(square, note, effect, 0);
    levelEffect(effect, -16.0);
    EXPECT_NEAR(sound_files::toDb(sound_files::loudestWindow(effect)), -16.0, 0.2);
    EXPECT_LE(sound_files::toDb(sound_files::peak(effect)), kEffectCeilingDb + 0.01);
    EXPECT_EQ(effect.back(), 0.0f);

    Stereo music;
    music.left.assign(kSampleRate, 0.01f);
    music.right.assign(kSampleRate, 0.01f);
    music.left[1000] = 0.9f;  // one spike
    levelMusic(music, -12.0);
    EXPECT_LE(sound_files::toDb(sound_files::peak(music.left)), kMusicCeilingDb);
    // The limiter dips around the spike only; the rest keeps its level.
    EXPECT_NEAR(music.left[30000], music.left[40000], 1e-6);
}

TEST(SoundgenFiles, WavFilesReadBackAsWritten) {
    testing_support::ScratchDirectory dir("wav");
    const std::vector<float> samples = {0.0f, 0.5f, -0.5f, 1.5f, -1.5f, 0.25f};
    writeMonoWav("out/a.wav", samples);
    const sound_files::Pcm pcm = sound_files::readWav("out/a.wav");
    ASSERT_EQ(pcm.error, "");
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.sampleRate, kSampleRate);
    ASSERT_EQ(pcm.samples.size(), samples.size());
    EXPECT_EQ(pcm.samples[1], 16384);
    EXPECT_EQ(pcm.samples[3], 32767);   // clamped, not wrapped
    EXPECT_EQ(pcm.samples[4], -32768);
    EXPECT_FALSE(std::ifstream("out/a.wav.part").good());
}

TEST(SoundgenRecords, CommentsAndContinuationLines) {
    testing_support::ScratchDirectory dir("records");
    const auto d = readDirectives(writeFile("r.txt", "# note\nlayer a=1   # tail\n   b=2\n\nlength 0.5\n"));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].name, "layer");
    EXPECT_EQ(d[0].rest, "a=1 b=2");
    EXPECT_EQ(d[1].where, "r.txt:5");
    InstrumentLibrary library;
    const EffectRecord e =
        parseEffect(readDirectives(writeFile("e.txt", "layer freq=a4 notes=c5,e5 step=0.1\nlength 0.3\n")), library);
    ASSERT_EQ(e.layers.size(), 1u);
    EXPECT_DOUBLE_EQ(e.layers[0].frequency, 440.0);
    EXPECT_EQ(e.layers[0].notes.size(), 2u);
    EXPECT_EQ(renderEffect(e).size(), static_cast<size_t>(0.3 * kSampleRate));
}

}  // namespace
