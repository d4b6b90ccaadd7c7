// The escape-code expander on hand-made streams, and the compressor against it.
#include "media/files/archive_format.h"
#include "media/files/expander.h"
#include "tests/files/archive_test_helpers.h"
#include "tools/pack/compressor.h"

#include <gtest/gtest.h>

namespace arc = media::archive;
using files_test::Bytes;
using files_test::Noise;

namespace {

std::vector<uint8_t> Stream(uint32_t expandedSize, uint8_t escape, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> s(arc::kCompressedHeaderSize);
    arc::Write32(s.data(), expandedSize);
    arc::Write32(s.data() + 4, static_cast<uint32_t>(s.size() + body.size()));
    s[8] = escape;
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

bool ExpandInto(const std::vector<uint8_t>& stream, size_t size, std::vector<uint8_t>& out, std::string& error) {
    out.assign(size, 0xEE);
    return arc::Expand(stream.data(), stream.size(), out.data(), out.size(), error);
}

std::vector<uint8_t> ExpandOk(const std::vector<uint8_t>& stream, size_t size) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(ExpandInto(stream, size, out, error)) << error;
    return out;
}

std::string ExpandError(const std::vector<uint8_t>& stream, size_t size) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_FALSE(ExpandInto(stream, size, out, error));
    EXPECT_FALSE(error.empty());
    return error;
}

}  // namespace

TEST(Expander, LiteralsAndEscapedEscapeBytes) {
    // E = 0x20: "a E E b" gives "a b" with a space between.
    EXPECT_EQ(ExpandOk(Stream(3, ' ', {'a', ' ', ' ', 'b'}), 3), Bytes("a b"));
    // An escape code of 0 and a zero byte in the data.
    EXPECT_EQ(ExpandOk(Stream(2, 0, {0, 0, 7}), 2), (std::vector<uint8_t>{0, 7}));
    EXPECT_EQ(ExpandOk(Stream(0, 9, {}), 0), std::vector<uint8_t>{});
}

TEST(Expander, DistanceOneRepeatsThePreviousByte) {
    // v = (31 << 3) | 0: length 35, one distance byte 0 (distance 1).
    const uint8_t code = 31 << 3;
    const auto out = ExpandOk(Stream(36, 0xFF, {'x', 0xFF, code, 0}), 36);
    EXPECT_EQ(out, std::vector<uint8_t>(36, 'x'));
}

TEST(Expander, CodesAboveTheEscapeAreShiftedDownByOne) {
    // E = 0x10; v = 0x10 (length 6, one distance byte) is written as 0x11.
    const auto out = ExpandOk(Stream(8, 0x10, {'a', 'b', 0x10, 0x11, 1}), 8);
    EXPECT_EQ(out, Bytes("abababab"));
    // v = 0x08 below E is written as it is: length 5.
    EXPECT_EQ(ExpandOk(Stream(7, 0x10, {'a', 'b', 0x10, 0x08, 1}), 7), Bytes("abababa"));
}

TEST(Expander, LongestLengthUsesTheExtraByte) {
    // v = (31 << 3) | 4, b = 255: length (31 | 255 << 5) + 4 = 8195. With
    // E = 0xAA the code above it is written one higher.
    const uint8_t code = (31 << 3) | 4;
    const auto out = ExpandOk(Stream(1 + 8195, 0xAA, {'z', 0xAA, code + 1, 255, 0}), 8196);
    EXPECT_EQ(out, std::vector<uint8_t>(8196, 'z'));
    // b = 1 with v >> 3 = 0: length 32 + 4.
    const auto out36 = ExpandOk(Stream(37, 0xAA, {'q', 0xAA, 4, 1, 0}), 37);
    EXPECT_EQ(out36, std::vector<uint8_t>(37, 'q'));
}

TEST(Expander, TwoAndThreeByteDistances) {
    std::vector<uint8_t> prefix = Noise(70000, 3);
    std::vector<uint8_t> body = prefix;
    for (uint8_t& b : body)
        if (b == 0xFE) b = 0xFD;  // keep the escape code out of the literals
    prefix = body;
    // Copy 4 bytes from 300 back (two bytes) and 4 from 69000 back (three bytes).
    body.insert(body.end(), {0xFE, 1, (300 - 1) & 0xFF, (300 - 1) >> 8});
    body.insert(body.end(), {0xFE, 2, (69000 - 1) & 0xFF, ((69000 - 1) >> 8) & 0xFF, (69000 - 1) >> 16});
    const auto out = ExpandOk(Stream(70008, 0xFE, body), 70008);
    ASSERT_EQ(out.size(), 70008u);
    EXPECT_TRUE(std::equal(out.begin() + 70000, out.begin() + 70004, prefix.end() - 300));
    EXPECT_TRUE(std::equal(out.begin() + 70004, out.end(), prefix.begin() + (70004 - 69000)));
}

TEST(Expander, BrokenStreamsFailWithAReason) {
    // A back-reference before the start of the output.
    EXPECT_NE(ExpandError(Stream(5, 0xFF, {'a', 0xFF, 0, 1}), 5).find("before the start"), std::string::npos);
    EXPECT_NE(ExpandError(Stream(4, 0xFF, {0xFF, 0, 0}), 4).find("before the start"), std::string::npos);
    // Ends inside a code: after E, after E c, and inside the distance.
    ExpandError(Stream(1, 0xFF, {'a', 0xFF}), 1);
    ExpandError(Stream(5, 0xFF, {'a', 0xFF, 0}), 5);
    ExpandError(Stream(5, 0xFF, {'a', 0xFF, 1, 0}), 5);
    ExpandError(Stream(5, 0xFF, {'a', 0xFF, 4}), 5);
    // Distance width 4 does not exist.
    ExpandError(Stream(9, 0xFF, {'a', 0xFF, 3, 0, 0, 0, 0}), 9);
    // More output than the header says, by a literal, an escaped E and a copy.
    ExpandError(Stream(1, 0xFF, {'a', 'b'}), 1);
    ExpandError(Stream(1, 0xFF, {'a', 0xFF, 0xFF}), 1);
    ExpandError(Stream(3, 0xFF, {'a', 0xFF, 0, 0}), 3);
    // Less output than the header says.
    ExpandError(Stream(3, 0xFF, {'a', 'b'}), 3);
    // The header disagrees with the entry's sizes.
    auto stream = Stream(2, 0xFF, {'a', 'b'});
    ExpandError(stream, 3);
    stream[4] += 1;
    ExpandError(stream, 2);
    std::vector<uint8_t> out(1);
    std::string error;
    EXPECT_FALSE(arc::Expand(stream.data(), 5, out.data(), 1, error));
}

TEST(Expander, ClaimedSizeBoundByWhatTheStreamCanHold) {
    EXPECT_EQ(arc::MaxExpandedSize(9), 0u);
    // Four bytes can say at most kMaxMatch bytes.
    EXPECT_GE(arc::MaxExpandedSize(13), arc::kMaxMatch);
    EXPECT_LT(arc::MaxExpandedSize(13), 2 * arc::kMaxMatch);
}

namespace {

void ExpectRoundTrip(const std::vector<uint8_t>& data, const char* what) {
    const std::vector<uint8_t> packed = pack::Compress(data.data(), data.size());
    ASSERT_GE(packed.size(), arc::kCompressedHeaderSize) << what;
    const arc::CompressedHeader header = arc::ReadCompressedHeader(packed.data());
    EXPECT_EQ(header.expandedSize, data.size()) << what;
    EXPECT_EQ(header.compressedSize, packed.size()) << what;
    std::vector<uint8_t> out(data.size());
    std::string error;
    ASSERT_TRUE(arc::Expand(packed.data(), packed.size(), out.data(), out.size(), error)) << what << ": " << error;
    EXPECT_TRUE(out == data) << what;
}

}  // namespace

TEST(Compressor, RoundTripsEveryKindOfData) {
    ExpectRoundTrip({}, "empty");
    ExpectRoundTrip({42}, "one byte");
    ExpectRoundTrip(Bytes("abcabcabcabcabcabcabcabcabc"), "short pattern");
    ExpectRoundTrip(Noise(100000), "noise");
    ExpectRoundTrip(std::vector<uint8_t>(300000, 0), "a long run");
    // Every byte value equally often: the escape code is common in the data.
    std::vector<uint8_t> all;
    for (int r = 0; r < 64; ++r)
        for (int v = 0; v < 256; ++v) all.push_back(static_cast<uint8_t>(v ^ (r * 37)));
    ExpectRoundTrip(all, "all byte values");
    // Repeats at one-, two- and three-byte distances and lengths at every
    // boundary of the code.
    std::vector<uint8_t> mixed = Noise(300000, 9);
    for (size_t length : {4u, 35u, 36u, 8195u, 8196u, 20000u}) {
        for (size_t distance : {1u, 256u, 257u, 65536u, 65537u, 200000u}) {
            const size_t from = mixed.size() - distance;
            for (size_t k = 0; k < length; ++k) mixed.push_back(mixed[from + k]);
            const auto noise = Noise(50, static_cast<uint32_t>(length + distance));
            mixed.insert(mixed.end(), noise.begin(), noise.end());
        }
    }
    ExpectRoundTrip(mixed, "mixed repeats");
}

TEST(Compressor, RepeatsCompressToAlmostNothing) {
    const std::vector<uint8_t> zeros(1 << 20, 0);
    EXPECT_LT(pack::Compress(zeros.data(), zeros.size()).size(), 1024u);
    std::vector<uint8_t> tiles;
    const auto tile = Noise(4096, 5);
    for (int i = 0; i < 64; ++i) tiles.insert(tiles.end(), tile.begin(), tile.end());
    EXPECT_LT(pack::Compress(tiles.data(), tiles.size()).size(), 4096u + 1024u);
}
