// The raw "BGRA" format: a 16-byte header ("BGRA", channel depth code, width,
// height, all little-endian) and rows of B, G, R, A from the top, 8 or 16
// bits per channel (of 16-bit values the high byte is kept).
#include "media/images/decoders.h"

#include "media/core/log.h"

namespace media::images {

DecodeResult DecodeBgra(ByteSource& source, Picture& picture) {
    uint8_t header[16];
    if (!source.ReadExact(header, sizeof header)) return DecodeResult::NotMine;
    if (header[0] != 'B' || header[1] != 'G' || header[2] != 'R' || header[3] != 'A')
        return DecodeResult::NotMine;
    const uint32_t depth = Le32(header + 4);
    const int64_t width = Le32(header + 8);
    const int64_t height = Le32(header + 12);
    int bytesPerChannel;
    if (depth == 0x08080808u) {
        bytesPerChannel = 1;
    } else if (depth == 0x10101010u) {
        bytesPerChannel = 2;
    } else {
        log::Write("BGRA: unknown channel depth %08x\n", depth);
        return DecodeResult::Broken;
    }
    if (!PictureSizeAllowed(width, height)) return DecodeResult::Broken;
    const uint64_t rowBytes = static_cast<uint64_t>(width) * 4 * bytesPerChannel;
    if (rowBytes * static_cast<uint64_t>(height) > source.Remaining()) {
        log::Write("BGRA: the pixel data is cut short\n");
        return DecodeResult::Broken;
    }
    if (!AllocatePicture(picture, width, height)) return DecodeResult::Broken;
    picture.hasAlpha = true;
    std::vector<uint8_t> row(rowBytes);
    for (int64_t y = 0; y < height; ++y) {
        if (!source.ReadExact(row.data(), row.size())) return DecodeResult::Broken;
        uint32_t* out = &picture.pixels[static_cast<size_t>(y * width)];
        const uint8_t* p = row.data();
        const int hi = bytesPerChannel - 1;   // index of the kept byte
        for (int64_t x = 0; x < width; ++x, p += 4 * bytesPerChannel)
            out[x] = PackArgb(p[3 * bytesPerChannel + hi], p[2 * bytesPerChannel + hi],
                              p[bytesPerChannel + hi], p[hi]);
    }
    return DecodeResult::Decoded;
}

}  // namespace media::images
