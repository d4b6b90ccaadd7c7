// The compressor for the archive's escape-code format (see
// media/files/expander.h): hash-chain match finding over a window as long as
// the format's distances reach (16 MiB), and an optimal parse, since every
// code has a whole-byte price.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pack {

struct CompressOptions {
    int chainDepth = 64;       // candidates tried per position
    size_t niceLength = 192;   // a match this long is taken at once
};

// The whole stream, 9-byte header included.
std::vector<uint8_t> Compress(const uint8_t* data, size_t size, const CompressOptions& options = {});

}  // namespace pack
