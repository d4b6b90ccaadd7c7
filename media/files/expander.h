// The archive's own compression: a 9-byte header (u32 expanded size, u32
// compressed size including the header, u8 escape code E) and a byte stream:
//   - a byte other than E is copied out;
//   - E E is one byte E;
//   - E c (c != E) is a back-reference. v = c, minus 1 when c > E. The length
//     is (v >> 3) + 4, or ((v >> 3) | (b << 5)) + 4 when bit 2 of v is set
//     and a byte b follows. The low two bits of v give the distance's width
//     (0, 1, 2: one, two, three bytes, little-endian); distance = value + 1.
//     The copy runs byte by byte, so an overlapping source repeats a pattern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace media::archive {

constexpr size_t kCompressedHeaderSize = 9;
constexpr size_t kMinMatch = 4;
constexpr size_t kMaxMatch = (31 | (255 << 5)) + 4;     // 8195
constexpr size_t kMaxDistance = size_t{1} << 24;

struct CompressedHeader {
    uint32_t expandedSize = 0;
    uint32_t compressedSize = 0;       // including the header
    uint8_t escape = 0;
};

CompressedHeader ReadCompressedHeader(const uint8_t* p);

// The most bytes a stream of this many bytes (header included) can expand
// to; a header claiming more is lying.
uint64_t MaxExpandedSize(uint64_t compressedSize);

// Expands the stream (header included) into out, which has room for exactly
// expandedSize bytes. Fails with a reason when the header disagrees with
// the sizes, a back-reference reaches before the output's start, the output
// would overflow or come out short, or the stream ends inside a code.
bool Expand(const uint8_t* in, size_t inSize, uint8_t* out, size_t expandedSize, std::string& error);

}  // namespace media::archive
