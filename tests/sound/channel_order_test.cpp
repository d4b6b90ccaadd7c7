// Files of three to eight channels fold to stereo by their own channel
// order: each channel carries a tone of its own, and each tone must be heard
// on the side of its speaker (both sides for a centre, neither for the low
// frequency), in Ogg Vorbis, in WAV, and in WAV with a speaker mask.
#include "media/sound/decoder.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <sstream>

using namespace media::sound;
using namespace sound_fixtures;

namespace {

constexpr int kRate = 44100;
constexpr int kFrames = kRate / 2;
constexpr double kAmplitude = 0.2;
// A whole number of cycles of every tone (all multiples of 100 Hz), clear of
// the encoder's first and last blocks.
constexpr size_t kFrom = kRate / 10, kCount = kRate * 3 / 10;

double Tone(int channel) { return 300.0 + 200.0 * channel; }

// Channel k a sine of Tone(k).
std::vector<int16_t> TonePerChannel(int channels) {
    std::vector<int16_t> out(static_cast<size_t>(kFrames * channels));
    for (int i = 0; i < kFrames; ++i)
        for (int c = 0; c < channels; ++c)
            out[static_cast<size_t>(i * channels + c)] = static_cast<int16_t>(
                std::lround(kAmplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * Tone(c) * i / kRate)));
    return out;
}

// The amplitude of a tone in one channel of stereo frames (0..1).
template <typename Sample>
double Level(const std::vector<Sample>& stereo, int side, double frequency, double scale) {
    double re = 0.0, im = 0.0;
    for (size_t i = kFrom; i < kFrom + kCount; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * static_cast<double>(i) / kRate;
        const double v = stereo[i * 2 + static_cast<size_t>(side)] * scale;
        re += v * std::cos(phase);
        im += v * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / kCount;
}

enum Where { kL, kR, kC, kLfe };

const std::map<std::string, Where> kSpeakers = {
    {"FL", kL}, {"BL", kL}, {"SL", kL}, {"RL", kL}, {"FLC", kL}, {"FR", kR}, {"BR", kR}, {"SR", kR},
    {"RR", kR}, {"FRC", kR}, {"FC", kC}, {"BC", kC}, {"RC", kC}, {"LFE", kLfe},
};

std::vector<Where> Speakers(const std::string& names) {
    std::istringstream in(names);
    std::vector<Where> out;
    for (std::string name; in >> name;) out.push_back(kSpeakers.at(name));
    return out;
}

// Each side hears the average of its channels and half the average of the centres.
void ExpectEachToneOnItsSide(const std::vector<int16_t>& stereo, const std::string& names, const std::string& what) {
    const std::vector<Where> speakers = Speakers(names);
    int count[4] = {};
    for (Where w : speakers) ++count[w];
    ASSERT_GE(stereo.size(), (kFrom + kCount) * 2) << what;
    for (size_t c = 0; c < speakers.size(); ++c) {
        const Where w = speakers[c];
        const double left = w == kL ? kAmplitude / count[kL] : w == kC ? kAmplitude / (2 * count[kC]) : 0.0;
        const double right = w == kR ? kAmplitude / count[kR] : w == kC ? kAmplitude / (2 * count[kC]) : 0.0;
        const double scale = 1.0 / 32768.0;
        EXPECT_NEAR(Level(stereo, 0, Tone(static_cast<int>(c)), scale), left, 0.01)
            << what << ": channel " << c << " on the left";
        EXPECT_NEAR(Level(stereo, 1, Tone(static_cast<int>(c)), scale), right, 0.01)
            << what << ": channel " << c << " on the right";
    }
}

std::vector<int16_t> DecodeFile(std::vector<uint8_t> bytes, const std::string& what) {
    std::string why;
    std::unique_ptr<Decoder> decoder = OpenDecoder(MakeMemorySource(std::move(bytes)), why);
    EXPECT_TRUE(decoder) << what << ": " << why;
    if (!decoder) return {};
    EXPECT_EQ(decoder->channels(), 2) << what;
    std::vector<int16_t> out;
    EXPECT_TRUE(DecodeAll(*decoder, decoder->channels(), out)) << what;
    return out;
}

struct Order {
    int channels;
    const char* speakers;
};

// The order of each channel count as the format stores it.
constexpr Order kVorbisOrders[] = {
    {3, "FL FC FR"},
    {4, "FL FR RL RR"},
    {5, "FL FC FR RL RR"},
    {6, "FL FC FR RL RR LFE"},
    {7, "FL FC FR SL SR RC LFE"},
    {8, "FL FC FR SL SR RL RR LFE"},
};
constexpr Order kWavOrders[] = {
    {3, "FL FR FC"},
    {4, "FL FR BL BR"},
    {5, "FL FR FC BL BR"},
    {6, "FL FR FC LFE BL BR"},
    {7, "FL FR FC LFE BC SL SR"},
    {8, "FL FR FC LFE BL BR SL SR"},
};

}  // namespace

TEST(ChannelOrder, OggVorbisFoldsEachLayoutByItsOwnOrder) {
    for (const Order& order : kVorbisOrders) {
        const std::string what = std::to_string(order.channels) + "-channel Ogg";
        const std::vector<int16_t> stereo =
            DecodeFile(OggBytes(TonePerChannel(order.channels), order.channels, kRate), what);
        ExpectEachToneOnItsSide(stereo, order.speakers, what);
    }
}

TEST(ChannelOrder, WavFoldsEachLayoutByItsOwnOrder) {
    for (const Order& order : kWavOrders) {
        const std::string what = std::to_string(order.channels) + "-channel WAV";
        const std::vector<int16_t> stereo = DecodeFile(
            RiffWave({FormatChunk(1, order.channels, kRate, 16, 2 * order.channels),
                      DataChunk(TonePerChannel(order.channels))}),
            what);
        ExpectEachToneOnItsSide(stereo, order.speakers, what);
    }
}

TEST(ChannelOrder, WavSpeakerMaskNamesTheSpeakers) {
    struct Masked {
        int channels;
        uint32_t mask;
        const char* speakers;
    };
    const Masked cases[] = {
        {3, 0x00B, "FL FR LFE"},
        {4, 0x107, "FL FR FC BC"},
        {6, 0x60F, "FL FR FC LFE SL SR"},
        {6, 0x0F3, "FL FR BL BR FLC FRC"},
        // A mask naming fewer speakers than there are channels is not trusted.
        {4, 0x003, "FL FR BL BR"},
    };
    for (const Masked& m : cases) {
        std::ostringstream what;
        what << m.channels << "-channel WAV, mask 0x" << std::hex << m.mask;
        const std::vector<int16_t> stereo = DecodeFile(
            RiffWave({ExtensibleChunk(1, m.channels, kRate, 16, 16, m.mask), DataChunk(TonePerChannel(m.channels))}),
            what.str());
        ExpectEachToneOnItsSide(stereo, m.speakers, what.str());
    }
}

using ChannelOrderPlayback = sound_testing::SoundTest;

// As the game hears it: a 5.1 Ogg loaded as an effect and played through the mixer.
TEST_F(ChannelOrderPlayback, SurroundOggPlaysEachChannelOnItsSide) {
    WriteOgg("surround.ogg", TonePerChannel(6), 6, kRate);
    const int h = LoadSound("surround.ogg", 1, -1);
    ASSERT_GE(h, 0);
    ASSERT_EQ(PlaySound(h, kPlayOnce, 1), 0);
    const std::vector<float> mix = Pull(kFrames);
    for (const auto& [channel, left, right] :
         {std::tuple{0, 0.1, 0.0}, {1, 0.1, 0.1}, {2, 0.0, 0.1}, {3, 0.1, 0.0}, {4, 0.0, 0.1}, {5, 0.0, 0.0}}) {
        EXPECT_NEAR(Level(mix, 0, Tone(channel), 1.0), left, 0.01) << "channel " << channel << " on the left";
        EXPECT_NEAR(Level(mix, 1, Tone(channel), 1.0), right, 0.01) << "channel " << channel << " on the right";
    }
}
