#include "media/files/scramble_key.h"

#include <cstring>

namespace media::archive {
namespace {

// THESE CONSTANTS MUST NEVER CHANGE. Every archive ever written depends on
// them: change one byte and no existing archive opens any more.
constexpr uint8_t kFillByte = 0xB7;          // the built-in key before the transforms
constexpr uint8_t kXorAt2 = 0x3C;
constexpr uint8_t kXorAt5 = 0xA9;
constexpr uint8_t kXorAt9 = 0x66;
constexpr uint8_t kXorAt10 = 0x1F;           // after the halves are exchanged
constexpr uint8_t kXorAt11 = 0xD2;
constexpr uint8_t kSecondKeyByte = 0x4E;     // all twelve bytes of the second key

constexpr uint8_t SwapHalves(uint8_t b) { return static_cast<uint8_t>((b << 4) | (b >> 4)); }
constexpr uint8_t RotateLeft3(uint8_t b) { return static_cast<uint8_t>((b << 3) | (b >> 5)); }
constexpr uint8_t RotateRight3(uint8_t b) { return static_cast<uint8_t>((b >> 3) | (b << 5)); }
constexpr uint8_t Invert(uint8_t b) { return static_cast<uint8_t>(~b); }

uint8_t Transform(size_t position, uint8_t b) {
    switch (position) {
    case 0: case 4: case 6: return Invert(b);
    case 1: return SwapHalves(b);
    case 2: return b ^ kXorAt2;
    case 3: return Invert(SwapHalves(b));
    case 5: return b ^ kXorAt5;
    case 7: return Invert(RotateRight3(b));
    case 8: return RotateLeft3(b);
    case 9: return b ^ kXorAt9;
    case 10: return SwapHalves(b) ^ kXorAt10;
    default: return b ^ kXorAt11;
    }
}

}  // namespace

ScrambleKey BuildKey(std::string_view keyText) {
    ScrambleKey key;
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = keyText.empty() ? kFillByte : static_cast<uint8_t>(keyText[i % keyText.size()]);
    for (size_t i = 0; i < key.size(); ++i) key[i] = Transform(i, key[i]);
    return key;
}

ScrambleKey SecondKey() {
    ScrambleKey key;
    key.fill(kSecondKeyByte);
    return key;
}

Scrambler::Scrambler(const ScrambleKey& key) {
    for (size_t i = 0; i < sizeof run_; ++i) run_[i] = key[i % 12];
}

void Scrambler::Apply(uint8_t* data, size_t size, uint64_t fileOffset) const {
    // 48 bytes (a multiple of the key's 12) at a time as three 16-byte
    // vectors; every block starts at the same key position.
    typedef uint8_t Vector __attribute__((vector_size(16)));
    const uint8_t* k = run_ + fileOffset % 12;
    Vector key[3];
    std::memcpy(key, k, sizeof key);
    size_t i = 0;
    for (; i + sizeof key <= size; i += sizeof key) {
        Vector block[3];
        std::memcpy(block, data + i, sizeof block);
        block[0] ^= key[0];
        block[1] ^= key[1];
        block[2] ^= key[2];
        std::memcpy(data + i, block, sizeof block);
    }
    for (size_t j = 0; i < size; ++i, ++j) data[i] ^= k[j];
}

}  // namespace media::archive
