// Chained Ogg Vorbis files: links one after another, each with its own
// channels and rate. Every link plays, converted to one format; the length
// the decoder reports is the length that plays; a link that cannot be played
// refuses the whole file when it is opened, not halfway through.
#include "media/sound/decoder.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <gtest/gtest.h>

#include <ogg/ogg.h>

using namespace media::sound;
using namespace sound_fixtures;
using namespace sound_testing;
namespace mixer = media::sound::mixer;

namespace {

struct Part {
    std::vector<int16_t> samples;
    int channels;
    int rate;
};

std::vector<uint8_t> Chain(const std::vector<Part>& parts) {
    std::vector<uint8_t> out;
    int serial = 100;
    for (const Part& p : parts) {
        const std::vector<uint8_t> link = OggBytes(p.samples, p.channels, p.rate, serial++);
        out.insert(out.end(), link.begin(), link.end());
    }
    return out;
}

// A link decoded on its own, as vorbisfile gives it.
std::vector<int16_t> LinkReference(const Part& p) {
    WriteBytes("link.ogg", OggBytes(p.samples, p.channels, p.rate));
    return DecodeOggReference("link.ogg");
}

size_t LinkFrames(const Part& p) { return LinkReference(p).size() / static_cast<size_t>(p.channels); }

std::unique_ptr<Decoder> Open(std::vector<uint8_t> bytes, std::string* whyOut = nullptr) {
    std::string why;
    auto decoder = OpenDecoder(MakeMemorySource(std::move(bytes)), why);
    if (whyOut) *whyOut = why;
    return decoder;
}

std::vector<int16_t> DecodeWhole(Decoder& decoder) {
    std::vector<int16_t> out;
    EXPECT_TRUE(DecodeAll(decoder, decoder.channels(), out));
    return out;
}

// Zero crossings upward per second in one channel of 16-bit stereo frames.
double Frequency(const std::vector<int16_t>& stereo, int side, size_t from, size_t to, int rate) {
    std::vector<float> view;
    for (size_t i = from; i < to; ++i) view.insert(view.end(), {float(stereo[i * 2 + side]), 0.0f});
    return MeasureFrequency(view, 0, to - from, rate);
}

class ChainedOggTest : public SoundTest {};

}  // namespace

TEST_F(ChainedOggTest, LinksOfOneFormatPlayOneAfterAnother) {
    // The first link fits on one page, the others take several.
    const Part a{Chord(44100, 30000, 2), 2, 44100};
    const Part b{Sine(700.0, 44100, 80000, 2, 0.4), 2, 44100};
    const Part c{Chord(44100, 50000, 2), 2, 44100};
    std::vector<int16_t> reference;
    for (const Part* p : {&a, &b, &c}) {
        const std::vector<int16_t> link = LinkReference(*p);
        reference.insert(reference.end(), link.begin(), link.end());
    }
    auto decoder = Open(Chain({a, b, c}));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->rate(), 44100);
    EXPECT_EQ(decoder->TotalFrames(), static_cast<int64_t>(reference.size() / 2));
    EXPECT_EQ(DecodeWhole(*decoder), reference);
    // Seeking into the second link lands on the frame asked.
    const int64_t at = static_cast<int64_t>(LinkFrames(a)) + 1234;
    ASSERT_TRUE(decoder->Seek(at));
    std::vector<int16_t> piece(2000);
    ASSERT_EQ(decoder->Read(piece.data(), 1000), 1000u);
    EXPECT_TRUE(std::equal(piece.begin(), piece.end(), reference.begin() + at * 2));
}

TEST_F(ChainedOggTest, LinksOfOtherRatesAndChannelsAreConvertedAndCounted) {
    const Part a{Chord(44100, 44100, 2), 2, 44100};
    const Part b{Sine(1000.0, 22050, 22050, 1, 0.4), 1, 22050};
    const Part c{Sine(500.0, 48000, 33600, 2, 0.4), 2, 48000};
    const size_t na = LinkFrames(a), nb = LinkFrames(b), nc = LinkFrames(c);
    auto decoder = Open(Chain({a, b, c}));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->channels(), 2);
    EXPECT_EQ(decoder->rate(), 44100);
    // Each link at the chain's rate: ceil(frames x 44100 / rate).
    const size_t length = na + nb * 2 + (nc * 44100 + 47999) / 48000;
    EXPECT_EQ(decoder->TotalFrames(), static_cast<int64_t>(length));
    const std::vector<int16_t> whole = DecodeWhole(*decoder);
    ASSERT_EQ(whole.size() / 2, length);
    // The first link as it is, the mono link on both sides, each at its pitch.
    const std::vector<int16_t> first = LinkReference(a);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), whole.begin()));
    const size_t b0 = na + 2000, b1 = na + nb * 2 - 2000;
    EXPECT_NEAR(Frequency(whole, 0, b0, b1, 44100), 1000.0, 1.0);
    for (size_t i = b0; i < b1; ++i) ASSERT_EQ(whole[i * 2], whole[i * 2 + 1]) << "frame " << i;
    EXPECT_NEAR(Frequency(whole, 1, na + nb * 2 + 2000, length - 2000, 44100), 500.0, 1.0);
    // A link's start is a place to seek to like any other.
    ASSERT_TRUE(decoder->Seek(static_cast<int64_t>(na)));
    const std::vector<int16_t> rest = DecodeWhole(*decoder);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), whole.begin() + static_cast<ptrdiff_t>(na * 2)));
    EXPECT_EQ(rest.size(), whole.size() - na * 2);
}

TEST_F(ChainedOggTest, StreamedChainLoopsAndEndsLikeTheChainInMemory) {
    WriteBytes("chain.ogg", Chain({{Sine(440.0, 22050, 30001, 1, 0.4), 1, 22050},
                                   {Chord(32000, 40001, 2), 2, 32000}}));
    SetSoundLoadMode(0);
    const int memory = LoadSound("chain.ogg", 1, -1);
    SetSoundLoadMode(2);
    const int stream = LoadSound("chain.ogg", 1, -1);
    SetSoundLoadMode(0);
    ASSERT_GE(memory, 0);
    ASSERT_GE(stream, 0);
    const size_t length = 30001 * 2 + (40001 * 44100 + 31999) / 32000;
    for (const int type : {kPlayLoop, kPlayOnce}) {
        const size_t frames = type == kPlayLoop ? length * 5 / 2 : length + 1000;
        PlaySound(memory, type, 1);
        const std::vector<float> reference = PullWithUpkeep(frames);
        StopSound(memory);
        PlaySound(stream, type, 1);
        const std::vector<float> streamed = PullWithUpkeep(frames);
        ASSERT_EQ(streamed.size(), reference.size());
        for (size_t i = 0; i < streamed.size(); ++i)
            ASSERT_EQ(streamed[i], reference[i]) << (type == kPlayLoop ? "loop" : "once") << ", sample " << i;
        StopSound(stream);
    }
    // Once: the last frame is the length's.
    PlaySound(stream, kPlayOnce, 1);
    PullWithUpkeep(length - 1);
    EXPECT_EQ(mixer::SoundingVoices(), 1);
    PullWithUpkeep(1);
    EXPECT_EQ(mixer::SoundingVoices(), 0);
}

TEST_F(ChainedOggTest, ALinkThatCannotPlayRefusesTheWholeFile) {
    std::vector<uint8_t> second = OggBytes(Sine(440.0, 8000, 8000, 1, 0.4), 1, 8000, 7);
    // The second link's identification header claims 500 Hz; the page's
    // checksum is made to match.
    const size_t headerLength = 27 + second[26];
    ASSERT_EQ(second[headerLength], 1);
    second[headerLength + 12] = 500 & 0xFF;
    second[headerLength + 13] = 500 >> 8;
    second[headerLength + 14] = second[headerLength + 15] = 0;
    long bodyLength = 0;
    for (size_t i = 27; i < headerLength; ++i) bodyLength += second[i];
    ogg_page page{second.data(), static_cast<long>(headerLength), second.data() + headerLength, bodyLength};
    ogg_page_checksum_set(&page);
    std::vector<uint8_t> bytes = OggBytes(Chord(44100, 20000, 2), 2, 44100);
    bytes.insert(bytes.end(), second.begin(), second.end());
    std::string why;
    EXPECT_FALSE(Open(bytes, &why));
    EXPECT_NE(why.find("link 2"), std::string::npos) << why;
    WriteBytes("chain.ogg", bytes);
    for (const int mode : {0, 2}) {
        SetSoundLoadMode(mode);
        EXPECT_EQ(LoadSound("chain.ogg", 1, -1), -1) << "mode " << mode;
    }
    SetSoundLoadMode(0);
}
