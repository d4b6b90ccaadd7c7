// libFuzzer target: the expander on arbitrary streams, and the compressor
// round trip on arbitrary data (a mismatch aborts).
#include "media/files/archive_format.h"
#include "media/files/expander.h"
#include "tools/pack/compressor.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace arc = media::archive;
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;
    if (mode & 1) {
        // Round trip: whatever goes in comes out.
        pack::CompressOptions options;
        options.chainDepth = 1 + (mode >> 4);
        options.niceLength = 4 + (mode >> 1);
        const std::vector<uint8_t> packed = pack::Compress(data, size, options);
        std::vector<uint8_t> back(size);
        std::string error;
        if (!arc::Expand(packed.data(), packed.size(), back.data(), back.size(), error)) std::abort();
        if (size && std::memcmp(back.data(), data, size) != 0) std::abort();
        return 0;
    }
    // A stream as it stands; the header's expanded size is believed within
    // reason, as the archive reader does.
    if (size < arc::kCompressedHeaderSize) return 0;
    std::vector<uint8_t> stream(data, data + size);
    arc::Write32(stream.data() + 4, static_cast<uint32_t>(size));
    const uint32_t expanded = arc::Le32(stream.data());
    if (expanded > arc::MaxExpandedSize(size) || expanded > (1u << 20)) return 0;
    std::vector<uint8_t> out(expanded);
    std::string error;
    arc::Expand(stream.data(), stream.size(), out.data(), out.size(), error);
    return 0;
}
