// BMP: Windows and OS/2 headers, 1/2/4/8-bit palettes, 16/24/32-bit pixels
// with or without bit-field masks, and 4-, 8- and 24-bit run-length data.
#include "media/images/decoders.h"

#include "media/images/bit_fields.h"

#include "media/core/log.h"

#include <algorithm>
#include <array>

namespace media::images {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr uint32_t kOs2Rle24 = 4;

DecodeResult Refuse(const char* why) {
    log::Write("BMP: %s\n", why);
    return DecodeResult::Broken;
}

struct Header {
    int64_t width = 0;
    int64_t height = 0;       // negative: rows from the top
    uint32_t planes = 1;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {};   // r, g, b, a
    bool haveMasks = false;
    bool haveAlphaMask = false;
    bool core = false;        // 12-byte header: 3-byte palette entries
    bool os2v2 = false;
};

// Bytes read one at a time from the source through a small window.
class ByteStream {
public:
    explicit ByteStream(ByteSource& source) : source_(source) {}
    bool Next(uint8_t& out) {
        if (pos_ == fill_) {
            fill_ = source_.Read(window_.data(), window_.size());
            pos_ = 0;
            if (fill_ == 0) return false;
        }
        out = window_[pos_++];
        return true;
    }

private:
    ByteSource& source_;
    std::array<uint8_t, 4096> window_{};
    size_t pos_ = 0;
    size_t fill_ = 0;
};

// Run-length data (RLE4, RLE8, OS/2 RLE24) into the picture. Pixels that no
// run reaches stay transparent.
DecodeResult DecodeRle(ByteSource& source, const Header& h, Palette& palette, Picture& picture) {
    const int width = picture.width;
    const int height = picture.height;
    ByteStream in(source);
    int x = 0, y = 0;   // y counts rows from the bottom
    bool fourBit = h.compression == kRle4;
    bool trueColour = h.bitCount == 24;
    int64_t written = 0;
    auto put = [&](uint32_t value) -> bool {
        if (x >= width || y >= height) return false;
        picture.pixels[static_cast<size_t>(height - 1 - y) * width + x] =
            trueColour ? 0xFF000000u | value : palette.At(value);
        ++x;
        ++written;
        return true;
    };
    auto readColour = [&](uint32_t& value) -> bool {
        uint8_t b, g, r;
        if (!in.Next(b) || !in.Next(g) || !in.Next(r)) return false;
        value = (r << 16) | (g << 8) | b;
        return true;
    };
    for (;;) {
        uint8_t count, code;
        if (!in.Next(count) || !in.Next(code)) break;   // cut short: keep what we have
        if (count > 0) {
            uint32_t value = code;
            if (trueColour) {
                uint8_t g, r;
                if (!in.Next(g) || !in.Next(r)) break;
                value = (r << 16) | (g << 8) | code;
            }
            for (int i = 0; i < count; ++i) {
                const uint32_t v = fourBit ? ((i & 1) ? (code & 15) : (code >> 4)) : value;
                if (!put(v)) return Refuse("a run reaches past the picture");
            }
            continue;
        }
        if (code == 0) {            // end of line
            x = 0;
            ++y;
        } else if (code == 1) {     // end of picture
            break;
        } else if (code == 2) {     // move right dx, up dy
            uint8_t dx, dy;
            if (!in.Next(dx) || !in.Next(dy)) break;
            x += dx;
            y += dy;
            if (x > width || y > height) return Refuse("a move leaves the picture");
        } else {                    // `code` literal pixels, padded to 16 bits
            size_t bytes = 0;
            uint8_t byte = 0;
            for (int i = 0; i < code; ++i) {
                uint32_t v;
                if (trueColour) {
                    if (!readColour(v)) return Refuse("cut inside literal pixels");
                    bytes += 3;
                } else if (fourBit) {
                    if (!(i & 1)) {
                        if (!in.Next(byte)) return Refuse("cut inside literal pixels");
                        ++bytes;
                    }
                    v = (i & 1) ? (byte & 15) : (byte >> 4);
                } else {
                    if (!in.Next(byte)) return Refuse("cut inside literal pixels");
                    ++bytes;
                    v = byte;
                }
                if (!put(v)) return Refuse("literal pixels reach past the picture");
            }
            if (bytes & 1) in.Next(byte);
        }
    }
    if (written < static_cast<int64_t>(width) * height) picture.hasAlpha = true;
    return DecodeResult::Decoded;
}

}  // namespace

DecodeResult DecodeBmp(ByteSource& source, Picture& picture) {
    uint8_t fileHeader[14];
    if (!source.ReadExact(fileHeader, sizeof fileHeader)) return DecodeResult::NotMine;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return DecodeResult::NotMine;
    const uint64_t fileSize = source.Size();
    const uint64_t dataOffset = Le32(fileHeader + 10);

    uint8_t info[124] = {};
    if (!source.ReadExact(info, 4)) return Refuse("the header is cut short");
    const uint32_t headerSize = Le32(info);
    if (headerSize < 12 || (headerSize > 12 && headerSize < 16) || headerSize > 65536)
        return Refuse("unknown header size");
    const uint32_t readSize = std::min<uint32_t>(headerSize, sizeof info);
    if (!source.ReadExact(info + 4, readSize - 4)) return Refuse("the header is cut short");
    if (headerSize > readSize && !source.Skip(headerSize - readSize))
        return Refuse("the header is cut short");

    Header h;
    if (headerSize == 12) {
        h.core = true;
        h.width = Le16(info + 4);
        h.height = Le16(info + 6);
        h.planes = Le16(info + 8);
        h.bitCount = Le16(info + 10);
    } else {
        h.os2v2 = headerSize == 64 || headerSize < 40;
        h.width = static_cast<int32_t>(Le32(info + 4));
        h.height = static_cast<int32_t>(Le32(info + 8));
        h.planes = Le16(info + 12);
        h.bitCount = Le16(info + 14);
        if (headerSize >= 20) h.compression = Le32(info + 16);
        if (headerSize >= 36) h.colorsUsed = Le32(info + 32);
        if (headerSize >= 52 && !h.os2v2) {
            for (int i = 0; i < 3; ++i) h.masks[i] = Le32(info + 40 + 4 * i);
            h.haveMasks = true;
        }
        if (headerSize >= 56 && !h.os2v2) {
            h.masks[3] = Le32(info + 52);
            h.haveAlphaMask = true;
        }
    }
    if (h.planes != 1) return Refuse("the plane count is not 1");
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return Refuse("bad width or height");
    const bool topDown = h.height < 0;
    const int64_t height = topDown ? -h.height : h.height;

    // Work out the layout of the pixel data.
    bool rle = false, bitFields = false;
    switch (h.compression) {
    case kRgb:
        break;
    case kRle8:
        if (h.bitCount != 8) return Refuse("RLE8 needs 8 bits per pixel");
        rle = true;
        break;
    case kRle4:
        if (h.bitCount != 4) return Refuse("RLE4 needs 4 bits per pixel");
        rle = true;
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (h.os2v2) return Refuse("OS/2 Huffman coding is not supported");
        if (h.bitCount != 16 && h.bitCount != 32) return Refuse("bit fields need 16 or 32 bits");
        bitFields = true;
        break;
    case kOs2Rle24:
        if (!h.os2v2 || h.bitCount != 24) return Refuse("embedded JPEG data is not supported");
        rle = true;
        break;
    default:
        return Refuse("unsupported compression");
    }
    if (rle && topDown) return Refuse("run-length data cannot run top-down");
    switch (h.bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return Refuse("unsupported bit count");
    }

    if (bitFields && !h.haveMasks) {
        const int count = h.compression == kAlphaBitFields ? 4 : 3;
        uint8_t masks[16];
        if (!source.ReadExact(masks, 4 * count)) return Refuse("the bit-field masks are cut short");
        for (int i = 0; i < count; ++i) h.masks[i] = Le32(masks + 4 * i);
        h.haveAlphaMask = count == 4;
    }
    BitField channels[4];
    if (bitFields) {
        for (int i = 0; i < 4; ++i)
            if (!channels[i].Set(i < 3 || h.haveAlphaMask ? h.masks[i] : 0))
                return Refuse("a bit-field mask is not contiguous");
    } else if (h.bitCount == 16) {
        channels[0].Set(0x7C00);
        channels[1].Set(0x03E0);
        channels[2].Set(0x001F);
    } else {
        channels[0].Set(0xFF0000);
        channels[1].Set(0x00FF00);
        channels[2].Set(0x0000FF);
        // Plain 32-bit rows carry alpha only when a V4/V5 header says so.
        if (h.bitCount == 32 && h.haveAlphaMask && h.masks[3] == 0xFF000000u) channels[3].Set(0xFF000000u);
    }

    Palette palette;
    if (h.bitCount <= 8) {
        const uint64_t entrySize = h.core ? 3 : 4;
        const uint64_t start = source.Tell();
        uint64_t count = std::min<uint64_t>(h.colorsUsed ? h.colorsUsed : 256, 1u << h.bitCount);
        // Writers that leave the count at 0 often store fewer entries: the
        // palette ends where the pixels begin.
        if (dataOffset > start) count = std::min<uint64_t>(count, (dataOffset - start) / entrySize);
        if (count == 0 || start + count * entrySize > fileSize) return Refuse("the palette is cut short");
        palette.colours.resize(count);
        for (auto& entry : palette.colours) {
            uint8_t e[4];
            if (!source.ReadExact(e, entrySize)) return Refuse("the palette is cut short");
            entry = PackArgb(255, e[2], e[1], e[0]);
        }
    }
    uint64_t pixelStart = dataOffset;
    if (pixelStart < source.Tell()) pixelStart = source.Tell();
    if (pixelStart > fileSize) return Refuse("the pixel data lies past the end of the file");

    if (!PictureSizeAllowed(h.width, height)) return DecodeResult::Broken;
    if (rle) {
        if (!AllocatePicture(picture, h.width, height, 0)) return DecodeResult::Broken;
        if (!source.Seek(pixelStart)) return Refuse("the pixel data cannot be reached");
        const DecodeResult result = DecodeRle(source, h, palette, picture);
        if (result == DecodeResult::Decoded) palette.ReportMisses("BMP");
        return result;
    }

    const uint64_t rowBits = static_cast<uint64_t>(h.width) * h.bitCount;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    const uint64_t needed = stride * (height - 1) + (rowBits + 7) / 8;
    if (needed > fileSize - pixelStart) return Refuse("the pixel data is cut short");
    if (!AllocatePicture(picture, h.width, height)) return DecodeResult::Broken;
    if (!source.Seek(pixelStart)) return Refuse("the pixel data cannot be reached");

    picture.hasAlpha = channels[3].mask != 0;
    std::vector<uint8_t> row(stride);
    const int width = picture.width;
    for (int64_t r = 0; r < height; ++r) {
        std::fill(row.begin(), row.end(), 0);
        if (source.Read(row.data(), stride) < (rowBits + 7) / 8) return Refuse("the pixel data is cut short");
        uint32_t* out = &picture.pixels[static_cast<size_t>(topDown ? r : height - 1 - r) * width];
        const uint8_t* p = row.data();
        switch (h.bitCount) {
        case 1: case 2: case 4: case 8: {
            const int bits = static_cast<int>(h.bitCount);
            const uint32_t mask = (1u << bits) - 1;
            for (int x = 0; x < width; ++x) {
                const uint64_t bit = static_cast<uint64_t>(x) * bits;
                const uint32_t index = (p[bit / 8] >> (8 - bits - bit % 8)) & mask;
                out[x] = palette.At(index);
            }
            break;
        }
        case 24:
            for (int x = 0; x < width; ++x, p += 3) out[x] = PackArgb(255, p[2], p[1], p[0]);
            break;
        default: {   // 16 and 32 bits through the masks
            const bool sixteen = h.bitCount == 16;
            for (int x = 0; x < width; ++x) {
                const uint32_t v = sixteen ? Le16(p + 2 * x) : Le32(p + 4 * x);
                out[x] = PackArgb(channels[3].Get(v, 255), channels[0].Get(v, 0),
                                  channels[1].Get(v, 0), channels[2].Get(v, 0));
            }
            break;
        }
        }
    }
    palette.ReportMisses("BMP");
    return DecodeResult::Decoded;
}

}  // namespace media::images
