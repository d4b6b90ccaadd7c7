// The scrambling of pack archives. Every byte at file offset P is
// exclusive-or'ed with K[P mod 12]; the same operation scrambles and
// unscrambles.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace media::archive {

using ScrambleKey = std::array<uint8_t, 12>;

// The key every archive made by the pack tool uses: twelve fill bytes (or a
// key text, repeated) passed through the per-position transforms.
ScrambleKey BuildKey(std::string_view keyText = {});

// Tried when the header read with BuildKey() does not start with the magic.
ScrambleKey SecondKey();

// A key laid out as a repeating run, so scrambling goes a word at a time.
class Scrambler {
public:
    explicit Scrambler(const ScrambleKey& key);
    // XORs size bytes that sit at fileOffset in the archive file.
    void Apply(uint8_t* data, size_t size, uint64_t fileOffset) const;

private:
    uint8_t run_[12 + 48];
};

}  // namespace media::archive
