// Numbers stored little-endian in a byte array: every file format the media
// layer reads (archives, pictures, sounds) keeps its numbers this way. The
// 16-bit read is widened so callers can multiply sizes without overflow.
#pragma once

#include <cstdint>

namespace media {

inline uint32_t Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t Le64(const uint8_t* p) {
    return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}

}  // namespace media
