// Channels packed into a pixel value by bit masks, scaled to 8 bits: up to
// 8 bits by rounding v * 255 / max, wider ones by keeping the top 8 bits.
#pragma once

#include <cstdint>

namespace media::images {

constexpr uint32_t ScaleToByte(uint32_t value, uint32_t max, int bits) {
    return bits > 8 ? value >> (bits - 8) : (value * 255 + max / 2) / max;
}

struct BitField {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint32_t max = 0;   // mask >> shift

    // False when the mask's bits are not contiguous.
    bool Set(uint32_t m) {
        mask = m;
        shift = bits = 0;
        max = 0;
        if (m == 0) return true;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
        while (bits < 32 && ((max >> bits) & 1)) ++bits;
        return (static_cast<uint64_t>(max) & (static_cast<uint64_t>(max) + 1)) == 0;
    }
    uint32_t Get(uint32_t value, uint32_t otherwise) const {
        if (!mask) return otherwise;
        return ScaleToByte((value & mask) >> shift, max, bits);
    }
};

}  // namespace media::images
