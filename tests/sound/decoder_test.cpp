// The WAV and Ogg Vorbis decoders on files made here: every PCM layout,
// odd chunk orders, and data that must be refused without harm.
#include "media/sound/decoder.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <cstring>
#include <fstream>
#include <random>

using namespace media::sound;
using namespace sound_fixtures;

namespace {

std::unique_ptr<Decoder> Open(std::vector<uint8_t> bytes) {
    std::string why;
    return OpenDecoder(MakeMemorySource(std::move(bytes)), why);
}

std::vector<int16_t> DecodeWhole(Decoder& decoder) {
    std::vector<int16_t> out;
    EXPECT_TRUE(DecodeAll(decoder, decoder.channels(), out));
    return out;
}

Chunk RawData(const std::vector<uint8_t>& bytes) { return Chunk{"data", bytes}; }

// The reference signal in each sample layout.
struct Layout {
    const char* name;
    int tolerance;
    std::vector<uint8_t> (*encode)(const std::vector<int16_t>&);
    Chunk (*format)();
};

constexpr int kRate = 22050;
constexpr int kChannels = 2;

std::vector<uint8_t> EncodeU8(const std::vector<int16_t>& s) {
    std::vector<uint8_t> out;
    for (int16_t v : s) out.push_back(static_cast<uint8_t>((v >> 8) + 128));
    return out;
}
std::vector<uint8_t> EncodeInt(const std::vector<int16_t>& s, int bytes) {
    std::vector<uint8_t> out;
    for (int16_t v : s) {
        const int32_t wide = static_cast<int32_t>(v) * 65536 + 0x1234;  // low bits the decoder must drop
        for (int b = 4 - bytes; b < 4; ++b) out.push_back(static_cast<uint8_t>(wide >> (8 * b)));
    }
    return out;
}
template <typename F>
std::vector<uint8_t> EncodeFloat(const std::vector<int16_t>& s) {
    std::vector<uint8_t> out(s.size() * sizeof(F));
    for (size_t i = 0; i < s.size(); ++i) {
        const F v = static_cast<F>(s[i] / 32768.0);
        std::memcpy(out.data() + i * sizeof(F), &v, sizeof(F));
    }
    return out;
}

const Layout kLayouts[] = {
    {"uint8", 256, EncodeU8, [] { return FormatChunk(1, kChannels, kRate, 8, kChannels); }},
    {"int16", 0, [](const std::vector<int16_t>& s) { return EncodeInt(s, 2); },
     [] { return FormatChunk(1, kChannels, kRate, 16, 2 * kChannels); }},
    {"int24", 0, [](const std::vector<int16_t>& s) { return EncodeInt(s, 3); },
     [] { return FormatChunk(1, kChannels, kRate, 24, 3 * kChannels); }},
    {"int32", 0, [](const std::vector<int16_t>& s) { return EncodeInt(s, 4); },
     [] { return FormatChunk(1, kChannels, kRate, 32, 4 * kChannels); }},
    {"float32", 1, EncodeFloat<float>, [] { return FormatChunk(3, kChannels, kRate, 32, 4 * kChannels); }},
    {"float64", 1, EncodeFloat<double>, [] { return FormatChunk(3, kChannels, kRate, 64, 8 * kChannels); }},
    {"extensible 24 in 32", 0, [](const std::vector<int16_t>& s) { return EncodeInt(s, 4); },
     [] { return ExtensibleChunk(1, kChannels, kRate, 32, 24); }},
    {"extensible float", 1, EncodeFloat<float>, [] { return ExtensibleChunk(3, kChannels, kRate, 32, 32); }},
};

void ExpectClose(const std::vector<int16_t>& got, const std::vector<int16_t>& want, int tolerance,
                 const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::abs(got[i] - want[i]));
    EXPECT_LE(worst, tolerance) << what;
}

}  // namespace

TEST(WavDecoder, EverySampleLayoutDecodesToTheSameSignal) {
    const std::vector<int16_t> reference = Sine(440.0, kRate, 3000, kChannels, 0.9);
    for (const Layout& layout : kLayouts) {
        auto decoder = Open(RiffWave({layout.format(), RawData(layout.encode(reference))}));
        ASSERT_TRUE(decoder) << layout.name;
        EXPECT_EQ(decoder->channels(), kChannels) << layout.name;
        EXPECT_EQ(decoder->rate(), kRate) << layout.name;
        EXPECT_EQ(decoder->TotalFrames(), 3000) << layout.name;
        ExpectClose(DecodeWhole(*decoder), reference, layout.tolerance, layout.name);
    }
}

TEST(WavDecoder, ChunksInAnyOrderWithOrWithoutPadding) {
    const std::vector<int16_t> samples = Sine(300.0, 8000, 501, 1, 0.5);
    const Chunk format = FormatChunk(1, 1, 8000, 16, 2);
    const Chunk data = DataChunk(samples);
    const Chunk oddPadded{"JUNK", {1, 2, 3}, true};
    const Chunk oddUnpadded{"LIST", {1, 2, 3, 4, 5}, false};
    const std::vector<std::vector<Chunk>> orders = {
        {data, format},
        {oddPadded, format, oddUnpadded, data},
        {format, oddUnpadded, data, oddPadded},
        {Chunk{"bext", std::vector<uint8_t>(602, 0x41)}, format, data, Chunk{"LIST", {9}}},
    };
    for (size_t i = 0; i < orders.size(); ++i) {
        auto decoder = Open(RiffWave(orders[i]));
        ASSERT_TRUE(decoder) << "order " << i;
        EXPECT_EQ(DecodeWhole(*decoder), samples) << "order " << i;
    }
}

TEST(WavDecoder, DataChunkLongerThanTheFileGivesTheFramesPresent) {
    const std::vector<int16_t> samples = Sine(300.0, 8000, 400, 2, 0.5);
    std::vector<uint8_t> file = RiffWave({FormatChunk(1, 2, 8000, 16, 4), DataChunk(samples)});
    file.resize(file.size() - 6);  // cut inside the last frames
    file[40] = 0xFF, file[41] = 0xFF, file[42] = 0xFF, file[43] = 0x7F;  // and claim 2 GB of data
    auto decoder = Open(file);
    ASSERT_TRUE(decoder);
    const std::vector<int16_t> got = DecodeWhole(*decoder);
    ASSERT_EQ(got.size(), samples.size() - 4);  // one whole frame and a half are gone
    EXPECT_TRUE(std::equal(got.begin(), got.end(), samples.begin()));
}

// The largest single allocation SDL is asked for while `body` runs. The
// counting functions hand every call on to SDL's own, so memory taken before
// or after is freed by the same allocator.
size_t LargestSdlAllocation(const std::function<void()>& body) {
    static SDL_malloc_func realMalloc;
    static SDL_calloc_func realCalloc;
    static SDL_realloc_func realRealloc;
    static SDL_free_func realFree;
    static size_t largest;
    SDL_GetMemoryFunctions(&realMalloc, &realCalloc, &realRealloc, &realFree);
    largest = 0;
    SDL_SetMemoryFunctions(
        [](size_t size) { return largest = std::max(largest, size), realMalloc(size); },
        [](size_t count, size_t size) { return largest = std::max(largest, count * size), realCalloc(count, size); },
        [](void* p, size_t size) { return largest = std::max(largest, size), realRealloc(p, size); },
        [](void* p) { realFree(p); });
    body();
    SDL_SetMemoryFunctions(realMalloc, realCalloc, realRealloc, realFree);
    return largest;
}

// Found by the WAV fuzz target: IMA ADPCM whose data chunk claims 2.6 GB in
// a 49-byte file made the compressed path ask SDL for 2.6 GB at once.
TEST(WavDecoder, ACompressedDataChunkLongerThanTheFileIsCutToTheFile) {
    const std::vector<uint8_t> bytes = {
        0x52, 0x49, 0x46, 0x46, 0x98, 0x20, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74, 0x20,
        0x10, 0x00, 0x00, 0x00, 0x11, 0x00, 0x01, 0x00, 0x44, 0xac, 0x00, 0x00, 0x58, 0x01, 0x00, 0x10,
        0x88, 0x02, 0x04, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x9b, 0x9b, 0x9b, 0x9b, 0xff,
        0x51};
    std::unique_ptr<Decoder> decoder;
    const size_t largest = LargestSdlAllocation([&] { decoder = Open(bytes); });
    EXPECT_LT(largest, size_t{1} << 20);
    if (decoder) {  // refused is fine too
        std::vector<int16_t> out;
        ASSERT_TRUE(DecodeAll(*decoder, decoder->channels(), out));
        EXPECT_LE(out.size(), 2u * 4 * bytes.size());  // 4-bit samples: at most four per byte and channel
    }
    // And one whose data chunk is empty: SDL decodes nothing and hands back
    // no buffer, which must not be copied from (UndefinedBehaviorSanitizer).
    const std::vector<uint8_t> empty = {
        0x52, 0x49, 0x46, 0x46, 0x98, 0x20, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74, 0x20,
        0x10, 0x00, 0x00, 0x00, 0x11, 0x00, 0x01, 0x00, 0x44, 0xac, 0x00, 0x00, 0x88, 0x58, 0x40, 0x11,
        0x00, 0x02, 0x04, 0x00, 0x64, 0x61, 0x74, 0x61, 0x00, 0x00, 0x00, 0x00, 0x80, 0xff, 0xff, 0x51,
        0xf8};
    decoder = Open(empty);
    if (decoder) {
        std::vector<int16_t> out;
        ASSERT_TRUE(DecodeAll(*decoder, decoder->channels(), out));
        EXPECT_TRUE(out.empty());
    }
}

TEST(WavDecoder, MoreThanTwoChannelsFoldToStereo) {
    // Six channels: L, R, C, LFE, Ls, Rs.
    std::vector<int16_t> frames;
    for (int i = 0; i < 100; ++i) {
        const int16_t six[6] = {1000, -1000, 4000, 30000, 3000, -3000};
        frames.insert(frames.end(), six, six + 6);
    }
    auto decoder = Open(RiffWave({FormatChunk(1, 6, 48000, 16, 12), DataChunk(frames)}));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->channels(), 2);
    const std::vector<int16_t> got = DecodeWhole(*decoder);
    ASSERT_EQ(got.size(), 200u);
    // Left: (1000 + 3000) / 2 + centre 2000; right the mirror; LFE left out.
    EXPECT_EQ(got[0], 4000);
    EXPECT_EQ(got[1], 0);
}

TEST(WavDecoder, SeekingLandsOnTheFrameAsked) {
    const std::vector<int16_t> samples = Sine(300.0, 8000, 1000, 2, 0.5);
    auto decoder = Open(RiffWave({FormatChunk(1, 2, 8000, 16, 4), DataChunk(samples)}));
    ASSERT_TRUE(decoder);
    ASSERT_TRUE(decoder->Seek(700));
    std::vector<int16_t> tail(600);
    EXPECT_EQ(decoder->Read(tail.data(), 300), 300u);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), samples.begin() + 1400));
    EXPECT_FALSE(decoder->Seek(1001));
}

TEST(WavDecoder, MalformedFilesAreRefused) {
    const std::vector<int16_t> samples(100, 7);
    const Chunk data = DataChunk(samples);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"riff header only", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
        {"no format", RiffWave({data})},
        {"no data", RiffWave({FormatChunk(1, 1, 8000, 16, 2)})},
        {"zero channels", RiffWave({FormatChunk(1, 0, 8000, 16, 2), data})},
        {"nine channels", RiffWave({FormatChunk(1, 9, 8000, 16, 18), data})},
        {"rate zero", RiffWave({FormatChunk(1, 1, 0, 16, 2), data})},
        {"rate absurd", RiffWave({FormatChunk(1, 1, 2000000000, 16, 2), data})},
        {"zero bits", RiffWave({FormatChunk(1, 1, 8000, 0, 0), data})},
        {"40 bits", RiffWave({FormatChunk(1, 1, 8000, 40, 5), data})},
        {"float 16", RiffWave({FormatChunk(3, 1, 8000, 16, 2), data})},
        {"mpeg", RiffWave({FormatChunk(0x55, 1, 8000, 0, 1), data})},
        {"gsm", RiffWave({FormatChunk(0x31, 1, 8000, 0, 65), data})},
        {"short format chunk", RiffWave({Chunk{"fmt ", {1, 0, 1, 0}}, data})},
        {"extensible cut short", RiffWave({Chunk{"fmt ", FormatChunk(0xFFFE, 1, 8000, 16, 2).bytes}, data})},
        {"not wave", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}},
    };
    for (const auto& [name, bytes] : cases) EXPECT_FALSE(Open(bytes)) << name;
}

TEST(WavDecoder, DamagedFilesNeverCrashOrOverrun) {
    const std::vector<uint8_t> good =
        RiffWave({FormatChunk(1, 2, 11025, 16, 4), Chunk{"JUNK", {1, 2, 3}}, DataChunk(Sine(500, 11025, 300, 2, 0.5))});
    std::mt19937 random(2024);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = good;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) bytes[random() % 64] = static_cast<uint8_t>(random());
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        auto decoder = Open(bytes);
        if (!decoder) continue;
        ASSERT_GE(decoder->channels(), 1);
        ASSERT_LE(decoder->channels(), 2);
        std::vector<int16_t> out;
        ASSERT_TRUE(DecodeAll(*decoder, decoder->channels(), out));
        // Never more frames than the file's bytes could hold (4-bit ADPCM at most).
        EXPECT_LE(out.size() / static_cast<size_t>(decoder->channels()), bytes.size() * 2 + 8);
    }
}

class OggDecoderTest : public ::testing::Test {
protected:
    OggDecoderTest() : scratch_(sound_testing::CurrentTestName()) {}
    testing_support::ScratchDirectory scratch_;
};

TEST_F(OggDecoderTest, DecodesAndSeeksBySample) {
    WriteOgg("music.ogg", Chord(44100, 44100, 2), 2, 44100);
    const std::vector<int16_t> reference = DecodeOggReference("music.ogg");
    std::ifstream in("music.ogg", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto decoder = Open(bytes);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->channels(), 2);
    EXPECT_EQ(decoder->rate(), 44100);
    EXPECT_EQ(decoder->TotalFrames(), static_cast<int64_t>(reference.size() / 2));
    EXPECT_EQ(DecodeWhole(*decoder), reference);
    // Seeking by sample, as a loop back to the start and into the middle.
    for (int64_t frame : {int64_t{0}, int64_t{12345}, int64_t{40000}}) {
        ASSERT_TRUE(decoder->Seek(frame));
        std::vector<int16_t> piece(2000);
        ASSERT_EQ(decoder->Read(piece.data(), 1000), 1000u);
        EXPECT_TRUE(std::equal(piece.begin(), piece.end(), reference.begin() + frame * 2)) << "frame " << frame;
    }
}

TEST_F(OggDecoderTest, DamagedStreamsEndEarlyOrAreRefused) {
    WriteOgg("music.ogg", Chord(22050, 22050, 1), 1, 22050);
    std::ifstream in("music.ogg", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(Open({'O', 'g', 'g', 'S', 0, 0, 0, 0, 1, 2, 3}));
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> damaged = bytes;
        if (round % 2 == 0) damaged.resize(4 + random() % (bytes.size() - 4));
        for (int c = 0; c < 4; ++c) damaged[4 + random() % (damaged.size() - 4)] = static_cast<uint8_t>(random());
        auto decoder = Open(damaged);
        if (!decoder) continue;
        std::vector<int16_t> out;
        EXPECT_TRUE(DecodeAll(*decoder, decoder->channels(), out));
        EXPECT_LE(out.size(), bytes.size() * 64);
    }
}
