// Movies with their sound track, played as a player's game plays them (the
// display paced) while the test stands in for the audio device: it holds the
// device and pulls the mix itself, so it hears exactly what went out and
// when.
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "media/movies/sound_track.h"
#include "media/sound/mixer.h"
#include "tests/files/archive_test_helpers.h"
#include "tests/support/test_support.h"
#include "tools/moviegen/movie_writer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace mixer = media::sound::mixer;
using media::movies::SoundTrack;
using moviegen::SoundCoding;
using moviegen::SoundFormat;

constexpr int kFps = 30;
constexpr double kFrameSeconds = 1.0 / kFps;
constexpr int kMixRate = mixer::kRate;
constexpr uint32_t kRed = 0xFFE02020u, kBlue = 0xFF2040E0u;
const SoundFormat kMp2{SoundCoding::kMp2, 44100, 2, 192000};

// A 64x48 movie: every frame one colour, the sound a function of the time.
void WriteMovie(const std::string& path, const SoundFormat& format, double seconds, int fps,
                const std::function<uint32_t(double)>& colourAt, const std::function<double(double)>& soundAt) {
    moviegen::MovieWriter writer;
    ASSERT_TRUE(writer.Open(path, 64, 48, fps, &format));
    const int frames = static_cast<int>(std::lround(seconds * fps));
    int64_t soundDone = 0;
    std::vector<int16_t> piece;
    for (int i = 0; i < frames; ++i) {
        ASSERT_TRUE(writer.Add(std::vector<uint32_t>(64 * 48, colourAt(static_cast<double>(i) / fps))));
        const int64_t soundEnd = static_cast<int64_t>(std::llround(static_cast<double>(i + 1) / fps * format.rate));
        piece.clear();
        for (int64_t n = soundDone; n < soundEnd; ++n) {
            const int16_t v = static_cast<int16_t>(std::lround(soundAt(static_cast<double>(n) / format.rate) * 32767));
            for (int c = 0; c < format.channels; ++c) piece.push_back(v);
        }
        ASSERT_TRUE(writer.AddSound(piece.data(), static_cast<size_t>(soundEnd - soundDone)));
        soundDone = soundEnd;
    }
    ASSERT_TRUE(writer.Close());
}

double Tone(double t) { return 0.5 * std::sin(2 * M_PI * 1000 * t); }

// Red up to `switchAt`, blue from there; silent up to `toneAt`, a 1 kHz tone from there.
void WriteToneMovie(const std::string& path, const SoundFormat& format, double seconds, double switchAt,
                    double toneAt) {
    WriteMovie(
        path, format, seconds, kFps, [=](double t) { return t >= switchAt - 1e-9 ? kBlue : kRed; },
        [=](double t) { return t >= toneAt ? Tone(t - toneAt) : 0.0; });
}

size_t Find(const std::vector<uint8_t>& bytes, const char* tag, size_t from = 0) {
    for (size_t at = from; at + 4 <= bytes.size(); ++at)
        if (std::memcmp(&bytes[at], tag, 4) == 0) return at;
    return bytes.size();
}

// Scrambles the payload of the AVI chunks with the id `chunkId` ("01wb" are
// the sound's) from the `first`-th on, `count` of them.
void ScrambleChunks(const std::string& path, const char* chunkId, size_t first = 0, size_t count = SIZE_MAX) {
    std::vector<uint8_t> bytes = files_test::ReadFile(path);
    size_t seen = 0;
    // Only the chunks of the data, not the index that names them after it.
    const size_t end = Find(bytes, "idx1");
    for (size_t at = Find(bytes, "movi"); at + 8 <= end; ++at) {
        if (std::memcmp(&bytes[at], chunkId, 4) != 0) continue;
        const uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | uint32_t(bytes[at + 7]) << 24;
        if (size == 0 || at + 8 + size > bytes.size()) continue;
        if (seen >= first && seen - first < count)
            for (size_t i = 0; i < size; ++i) bytes[at + 8 + i] ^= static_cast<uint8_t>(0x5A + i * 7);
        ++seen;
        at += 7 + size;
    }
    ASSERT_GT(seen, 0u) << "no chunk " << chunkId;
    files_test::WriteFile(path, bytes);
}

// Gives the sound stream a format tag no decoder knows.
void MakeSoundCodecUnknown(const std::string& path) {
    std::vector<uint8_t> bytes = files_test::ReadFile(path);
    int found = 0;
    for (size_t at = 0; at + 10 <= bytes.size(); ++at)
        if (std::memcmp(&bytes[at], "strf", 4) == 0 && ++found == 2) {  // the second stream's format
            bytes[at + 8] = 0x77;
            bytes[at + 9] = 0x77;
            break;
        }
    ASSERT_EQ(found, 2);
    files_test::WriteFile(path, bytes);
}

// The audio device, played by the test in step with the display: after
// every frame presented it takes `speed` refreshes' worth of the mix, as a
// device beside a 60 Hz display would (one whose clock runs fast or slow
// when speed is not 1), and keeps all it took. In step, the checks do not
// hang on how the machine schedules threads; off speed, a picture that kept
// time by any other clock than the sound's would fall out of step.
class Device {
public:
    explicit Device(double speed = 1.0) : speed_(speed) { mixer::HoldDevice(true); }
    ~Device() { mixer::HoldDevice(false); }
    void Pull() {
        ++refreshes_;
        const size_t due = static_cast<size_t>(std::llround(refreshes_ * speed_ * kMixRate / 60.0));
        std::vector<float> piece((due - left_.size()) * 2);
        mixer::Pull(piece.data(), due - left_.size());
        for (size_t i = 0; i < piece.size(); i += 2) left_.push_back(piece[i]);
    }
    size_t pulled() const { return left_.size(); }
    const std::vector<float>& left() const { return left_; }

private:
    double speed_;
    long refreshes_ = 0;
    std::vector<float> left_;
};

// What the player saw at every frame PlayMovie presented.
struct Shown {
    double frameSeconds;
    size_t pulled;     // frames the device had taken when it went up
    uint32_t centre;   // the screen's middle pixel
    int voices;        // voices sounding in the mixer
};

struct Watch {
    Device* device = nullptr;   // pulled after every frame when set
    std::vector<Shown> shown;
    std::vector<std::string> files;
    double skipAt = -1;         // press a key once a frame this late is up
};

void Observe(const char* fileName, double frameSeconds, void* context) {
    auto& watch = *static_cast<Watch*>(context);
    std::vector<uint32_t> screen(kScreenWidth * kScreenHeight);
    const uint32_t centre = ReadScreenPixels(screen.data(), kScreenWidth, kScreenHeight) == 0
                                ? screen[(kScreenHeight / 2) * kScreenWidth + kScreenWidth / 2]
                                : 0;
    watch.shown.push_back({frameSeconds, watch.device ? watch.device->pulled() : 0, centre, mixer::SoundingVoices()});
    watch.files.push_back(fileName);
    if (watch.device) watch.device->Pull();
    if (watch.skipAt >= 0 && frameSeconds >= watch.skipAt) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.scancode = SDL_SCANCODE_SPACE;
        SDL_PushEvent(&event);
        watch.skipAt = -1;
    }
}

bool Bluish(uint32_t c) { return (c & 0xFF) > 0xA0 && ((c >> 16) & 0xFF) < 0x60; }

// The first frame from `from` on louder than a whisper.
size_t FirstSound(const std::vector<float>& left, size_t from = 0) {
    for (size_t i = from; i < left.size(); ++i)
        if (std::fabs(left[i]) > 0.05f) return i;
    return left.size();
}

double Rms(const std::vector<float>& left, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < left.size(); ++i) sum += left[i] * left[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

class MovieSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media_.ok());
        ASSERT_TRUE(mixer::DeviceOpen()) << "no audio device (SDL_AUDIODRIVER=dummy expected)";
        SetFramePacing(1);  // as the game runs
        media::movies::SetFrameObserver(Observe, &watch_);
    }
    void TearDown() override { media::movies::SetFrameObserver(nullptr, nullptr); }

    std::string LogText() const {
        std::ifstream in(scratch_.path() + "/Log.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int LeftOutLines() const {
        const std::string text = LogText();
        int n = 0;
        for (size_t at = text.find("sound track of the movie is left out"); at != std::string::npos;
             at = text.find("sound track of the movie is left out", at + 1))
            ++n;
        return n;
    }

    testing_support::ScratchDirectory scratch_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    testing_support::HeadlessMedia media_;
    Watch watch_;
};

struct ToneCase {
    const char* name;
    SoundFormat format;
    double deviceSpeed;
};

void PrintTo(const ToneCase& c, std::ostream* out) { *out << c.name; }

class ToneArrivesWithItsPicture : public MovieSound, public ::testing::WithParamInterface<ToneCase> {};

// The tone starts at 1 s of the movie, and so does the blue picture: the two
// reach the player within one frame of each other, whatever the track's
// coding and rate and however fast the device takes the sound.
TEST_P(ToneArrivesWithItsPicture, WithinOneFrame) {
    WriteToneMovie("tone.avi", GetParam().format, 2.0, 1.0, 1.0);
    Device device(GetParam().deviceSpeed);
    watch_.device = &device;
    EXPECT_EQ(PlayMovie("tone.avi", 1, 0), 0);
    const std::vector<float>& left = device.left();

    const Shown* blue = nullptr;
    for (const Shown& s : watch_.shown)
        if (Bluish(s.centre)) {
            blue = &s;
            break;
        }
    ASSERT_NE(blue, nullptr) << "the blue half never showed";
    EXPECT_NEAR(blue->frameSeconds, 1.0, 1e-6);
    const size_t toneAt = FirstSound(left);
    ASSERT_LT(toneAt, left.size()) << "the tone never sounded";
    // The sound track started with the movie: its silent first second went
    // out as a second of the device's.
    EXPECT_NEAR(static_cast<double>(toneAt), kMixRate * 1.0, kMixRate * 0.002);
    EXPECT_NEAR(static_cast<double>(blue->pulled), static_cast<double>(toneAt), kMixRate * kFrameSeconds)
        << "picture at " << blue->pulled / double(kMixRate) << " s of the device, tone at "
        << toneAt / double(kMixRate);
    // A 1 kHz tone still, brought to the mixer's rate.
    int crossings = 0;
    for (size_t i = toneAt + 1; i < toneAt + kMixRate / 2 && i < left.size(); ++i)
        crossings += left[i - 1] < 0 && left[i] >= 0;
    EXPECT_NEAR(crossings, 500, 3);
    // Played to the end, and nothing left sounding.
    EXPECT_NEAR(watch_.shown.back().frameSeconds, 2.0 - kFrameSeconds, 1e-6);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    EXPECT_EQ(LeftOutLines(), 0) << LogText();
}

INSTANTIATE_TEST_SUITE_P(Codings, ToneArrivesWithItsPicture,
                         ::testing::Values(ToneCase{"Mp2Stereo44100", kMp2, 1.25},
                                           ToneCase{"PcmMono48000", {SoundCoding::kPcm16, 48000, 1, 0}, 1.25},
                                           ToneCase{"PcmStereo22050", {SoundCoding::kPcm16, 22050, 2, 0}, 1.25},
                                           ToneCase{"Mp2OnASlowDevice", kMp2, 0.8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MovieSound, SkipMidMovieSilencesItAtOnce) {
    WriteToneMovie("tone.avi", kMp2, 3.0, 3.0, 0.0);
    Device device;
    watch_.device = &device;
    watch_.skipAt = 1.0;
    EXPECT_EQ(PlayMovie("tone.avi", 1, 0), 0);
    // It ended at the key, well before its end, with the tone sounding up to then.
    ASSERT_FALSE(watch_.shown.empty());
    EXPECT_LT(watch_.shown.back().frameSeconds, 1.2);
    EXPECT_GT(Rms(device.left(), kMixRate / 5, kMixRate * 9 / 10), 0.25);
    EXPECT_GT(watch_.shown.back().voices, 0);
    // Nothing sounds the moment PlayMovie has returned.
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    const size_t returnedAt = device.pulled();
    for (int i = 0; i < 10; ++i) device.Pull();
    for (size_t i = returnedAt; i < device.pulled(); ++i) ASSERT_EQ(device.left()[i], 0.0f) << "frame " << i;
    testing_support::releaseKey(SDL_SCANCODE_SPACE);
}

struct Damage {
    const char* name;
    void (*apply)(const std::string& path);
};

void PrintTo(const Damage& d, std::ostream* out) { *out << d.name; }

class DamagedSoundTrack : public MovieSound, public ::testing::WithParamInterface<Damage> {};

// The sound cannot be played: that is logged once, and the whole picture
// plays on, in its own time.
TEST_P(DamagedSoundTrack, StillShowsThePicture) {
    WriteToneMovie("damaged.avi", kMp2, 1.5, 1.0, 0.0);
    GetParam().apply("damaged.avi");
    Device device;
    watch_.device = &device;
    EXPECT_EQ(PlayMovie("damaged.avi", 1, 0), 0);
    ASSERT_FALSE(watch_.shown.empty());
    EXPECT_NEAR(watch_.shown.back().frameSeconds, 1.5 - kFrameSeconds, 1e-6);
    EXPECT_TRUE(Bluish(watch_.shown.back().centre));
    EXPECT_TRUE(std::none_of(watch_.shown.begin(), watch_.shown.end(), [](const Shown& s) { return s.voices > 0; }));
    EXPECT_EQ(LeftOutLines(), 1) << LogText();
    // The frames went up one after another.
    double last = -1;
    for (const Shown& s : watch_.shown) {
        EXPECT_GE(s.frameSeconds, last);
        last = s.frameSeconds;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedSoundTrack,
    ::testing::Values(Damage{"ScrambledPackets", [](const std::string& p) { ScrambleChunks(p, "01wb"); }},
                      Damage{"UnknownCodec", MakeSoundCodecUnknown}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MovieSound, SilentMovieWithPacingPlaysToItsEndWithoutSound) {
    moviegen::MovieWriter writer;
    ASSERT_TRUE(writer.Open("silent.avi", 64, 48, kFps));
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(writer.Add(std::vector<uint32_t>(64 * 48, i < 15 ? kRed : kBlue)));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(PlayMovie("silent.avi", 1, 0), 0);
    // Frames go up in order, from the first to the last (some may be passed
    // over when refreshes come late), and nothing sounds.
    std::vector<double> frames;
    for (const Shown& s : watch_.shown) {
        EXPECT_EQ(s.voices, 0);
        if (frames.empty() || frames.back() != s.frameSeconds) frames.push_back(s.frameSeconds);
    }
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 0.0);
    EXPECT_NEAR(frames.back(), 29 * kFrameSeconds, 1e-6);
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()));
    EXPECT_TRUE(Bluish(watch_.shown.back().centre));
    EXPECT_EQ(LeftOutLines(), 0);
}

// Without an audio device the game runs silent: a movie with sound plays
// its picture to the end by the clock, and nothing is logged about it.
TEST(MovieSoundOff, TheWholePicturePlaysSilent) {
    testing_support::ScratchDirectory scratch("movie_sound_off");
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        testing_support::HeadlessMedia media;
        ASSERT_TRUE(media.ok());
        EXPECT_FALSE(mixer::DeviceOpen());
        SetFramePacing(1);
        WriteToneMovie("tone.avi", kMp2, 1.0, 0.5, 0.0);
        Watch watch;
        media::movies::SetFrameObserver(Observe, &watch);
        EXPECT_EQ(PlayMovie("tone.avi", 1, 0), 0);
        media::movies::SetFrameObserver(nullptr, nullptr);
        ASSERT_FALSE(watch.shown.empty());
        EXPECT_NEAR(watch.shown.back().frameSeconds, 1.0 - kFrameSeconds, 1e-6);
        EXPECT_TRUE(Bluish(watch.shown.back().centre));
    }
    const std::string log = testing_support::readWholeFile("Log.txt");
    EXPECT_NE(log.find("No sound"), std::string::npos) << log;
    EXPECT_EQ(log.find("sound track"), std::string::npos) << log;
    if (previous) setenv("SDL_AUDIODRIVER", saved.c_str(), 1); else unsetenv("SDL_AUDIODRIVER");
}

// The player's own path: the start-up movie through the real audio device,
// nothing held; a key skips it and its sound stops with it.
TEST_F(MovieSound, StartUpMovieSoundsThroughTheDeviceUntilSkipped) {
    const char* data = std::getenv("LUMOTTA_DATA_DIR");
    ASSERT_NE(data, nullptr);
    const std::string path = std::string(data) + "/25/0.avi";
    watch_.skipAt = 1.5;
    EXPECT_EQ(PlayMovie(path.c_str(), 1, 0), 0);
    ASSERT_FALSE(watch_.shown.empty());
    EXPECT_LT(watch_.shown.back().frameSeconds, 2.0);
    int sounding = 0;
    for (const Shown& s : watch_.shown) sounding += s.voices > 0;
    EXPECT_GT(sounding, static_cast<int>(watch_.shown.size()) * 3 / 4);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
    testing_support::releaseKey(SDL_SCANCODE_SPACE);
}

// Damage anywhere in the file, or nonsense in the sound's format record:
// the sound track comes out short or not at all, never endless, never a
// crash.
TEST_F(MovieSound, SoundTrackSurvivesDamageAnywhere) {
    for (const SoundFormat& format : {kMp2, SoundFormat{SoundCoding::kPcm16, 22050, 2, 0}}) {
        WriteToneMovie("good.avi", format, 1.5, 1.0, 0.0);
        const std::vector<uint8_t> good = files_test::ReadFile("good.avi");
        uint32_t seed = 7;
        const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
        for (int round = 0; round < 30; ++round) {
            std::vector<uint8_t> bytes = good;
            for (int i = 0; i < 24; ++i) bytes[next() % bytes.size()] ^= static_cast<uint8_t>(next() >> 24 | 1);
            if (round % 3 == 0) bytes.resize(bytes.size() * (50 + next() % 50) / 100);
            if (round % 5 == 1) {
                // The format record: channels, then the rate.
                const size_t strf = Find(bytes, "strf", Find(bytes, "strf") + 4) + 8;
                if (strf + 8 < bytes.size()) {
                    bytes[strf + 2] = static_cast<uint8_t>(next());
                    bytes[strf + 7] = static_cast<uint8_t>(next());
                }
            }
            files_test::WriteFile("damaged.avi", bytes);
            SoundTrack track;
            if (track.Open("damaged.avi") != SoundTrack::Opened::kPlayable) continue;
            std::vector<int16_t> piece(2 * 4096);
            size_t frames = 0;
            for (size_t got; (got = track.Read(piece.data(), 4096)) > 0 && frames < size_t{kMixRate} * 60;) frames += got;
            EXPECT_LT(frames, size_t{kMixRate} * 12) << "round " << round;
        }
    }
}

// The sound track's time line over three minutes: short blips every ten
// seconds come out where their timestamps put them, also after a damaged
// stretch (skipped, its time kept with silence), and with a rate to convert.
struct TimelineCase {
    const char* name;
    SoundFormat format;
    bool damaged;
};

void PrintTo(const TimelineCase& c, std::ostream* out) { *out << c.name; }

class SoundTrackTimeline : public MovieSound, public ::testing::WithParamInterface<TimelineCase> {};

TEST_P(SoundTrackTimeline, KeepsTimeOverThreeMinutes) {
    constexpr double kLength = 180.0;
    const auto blip = [](double t) {
        const double into = std::fmod(t, 10.0) - 0.5;
        return into >= 0 && into < 0.02 ? Tone(into) : 0.0;
    };
    WriteMovie("long.avi", GetParam().format, kLength, 2, [](double) { return kRed; }, blip);
    if (GetParam().damaged) {
        // About 89.5 s to 94.5 s of a track of 1152 frames a packet.
        ScrambleChunks("long.avi", "01wb", 895 * 44100 / 11520, 5 * 44100 / 1152);
    }
    SoundTrack track;
    ASSERT_EQ(track.Open("long.avi"), SoundTrack::Opened::kPlayable);
    std::vector<int16_t> piece(2 * 4096);
    std::vector<double> onsets;
    int64_t at = 0, quietSince = -kMixRate;
    for (size_t got; (got = track.Read(piece.data(), 4096)) > 0; at += static_cast<int64_t>(got)) {
        for (size_t i = 0; i < got; ++i) {
            if (std::abs(piece[i * 2]) < 1600) continue;
            if (at + int64_t(i) - quietSince > kMixRate) onsets.push_back(double(at + int64_t(i)) / kMixRate);
            quietSince = at + int64_t(i);
        }
    }
    EXPECT_FALSE(track.failed()) << track.why();
    EXPECT_NEAR(static_cast<double>(at) / kMixRate, kLength, 0.05);
    const size_t lost = GetParam().damaged ? 1 : 0;  // the blip at 90.5 s was in the damage
    ASSERT_EQ(onsets.size(), 18 - lost);
    for (size_t i = 0, n = 0; n < 18; ++n) {
        const double due = n * 10.0 + 0.5;
        if (lost && n == 9) continue;
        EXPECT_NEAR(onsets[i], due, 0.002) << "blip " << n;
        ++i;
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, SoundTrackTimeline,
                         ::testing::Values(TimelineCase{"Mp2", kMp2, false},
                                           TimelineCase{"Mp2Damaged", kMp2, true},
                                           TimelineCase{"Pcm22050", {SoundCoding::kPcm16, 22050, 1, 0}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
