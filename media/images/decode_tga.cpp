// TGA: colour-mapped, true-colour and grey pictures, plain or run-length
// coded, in any of the four origins; the footer's attribute type decides
// whether the alpha bits mean anything.
#include "media/images/decoders.h"

#include "media/images/bit_fields.h"

#include "media/core/log.h"

#include <cstring>

namespace media::images {
namespace {

// Only files whose header is plausible are claimed: TGA has no magic.
constexpr int kMaxTgaSide = 4095;

DecodeResult Refuse(const char* why) {
    log::Write("TGA: %s\n", why);
    return DecodeResult::Broken;
}

uint32_t FromFifteen(uint32_t v, bool alpha) {
    return PackArgb(alpha ? ((v & 0x8000) ? 255 : 0) : 255, ScaleToByte((v >> 10) & 31, 31, 5),
                    ScaleToByte((v >> 5) & 31, 31, 5), ScaleToByte(v & 31, 31, 5));
}

// One stored value (a colour-map entry or a true-colour pixel) to ARGB.
uint32_t ToArgb(const uint8_t* p, int bits, bool alpha) {
    switch (bits) {
    case 15: return FromFifteen(Le16(p), false);
    case 16: return FromFifteen(Le16(p), alpha);
    case 24: return PackArgb(255, p[2], p[1], p[0]);
    default: return PackArgb(alpha ? p[3] : 255, p[2], p[1], p[0]);
    }
}

// The extension area's attribute type, or -1 when the file has none.
int AttributeType(ByteSource& source) {
    const uint64_t size = source.Size();
    uint8_t footer[26];
    if (size < 26 + 18 || !source.Seek(size - 26) || !source.ReadExact(footer, 26)) return -1;
    if (std::memcmp(footer + 8, "TRUEVISION-XFILE.", 18) != 0) return -1;
    const uint32_t extension = Le32(footer);
    uint8_t type;
    if (extension == 0 || extension + 495 > size - 26 || !source.Seek(extension + 494) ||
        !source.ReadExact(&type, 1))
        return -1;
    return type;
}

}  // namespace

DecodeResult DecodeTga(ByteSource& source, Picture& picture) {
    uint8_t h[18];
    if (!source.ReadExact(h, sizeof h)) return DecodeResult::NotMine;
    const int idLength = h[0], mapType = h[1], type = h[2];
    const int mapFirst = Le16(h + 3), mapLength = Le16(h + 5), mapBits = h[7];
    const int width = Le16(h + 12), height = Le16(h + 14), bits = h[16], descriptor = h[17];
    const int kind = type & 7;               // 1 colour-mapped, 2 true-colour, 3 grey
    const bool rle = (type & 8) != 0;
    if (mapType > 1 || (type & ~8) < 1 || (type & ~8) > 3) return DecodeResult::NotMine;
    if (width < 1 || height < 1 || width > kMaxTgaSide || height > kMaxTgaSide) return DecodeResult::NotMine;
    if (descriptor & 0xC0) return DecodeResult::NotMine;   // interleaving: never used
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return DecodeResult::NotMine;
    if (kind == 1 && (mapType != 1 || (bits != 8 && bits != 16))) return DecodeResult::NotMine;
    if (kind == 2 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return DecodeResult::NotMine;
    if (kind == 3 && bits != 8 && bits != 16) return DecodeResult::NotMine;

    const int alphaBits = descriptor & 15;
    const int attribute = AttributeType(source);
    // 32-bit pixels carry alpha unless the footer says the bits are unused;
    // the one attribute bit of 16-bit pixels is alpha only when the footer
    // says so.
    bool alpha = bits == 32 ? alphaBits > 0 && attribute != 0 && attribute != 1
                            : alphaBits > 0 && (attribute == 3 || attribute == 4);
    if (kind == 3) alpha = bits == 16;
    const bool mapAlpha = mapBits == 32 ? attribute != 0 && attribute != 1 : attribute == 3 || attribute == 4;
    picture.hasAlpha = kind == 1 ? mapAlpha : alpha;

    if (!source.Seek(18) || !source.Skip(idLength)) return Refuse("the header is cut short");
    Palette map;
    if (mapType == 1) {
        const int entryBytes = (mapBits + 7) / 8;
        std::vector<uint8_t> raw(static_cast<size_t>(mapLength) * entryBytes);
        if (!source.ReadExact(raw.data(), raw.size())) return Refuse("the colour map is cut short");
        if (kind == 1) {
            map.colours.resize(mapLength);
            for (int i = 0; i < mapLength; ++i)
                map.colours[i] = ToArgb(&raw[static_cast<size_t>(i) * entryBytes], mapBits, mapAlpha);
        }
    }

    const int bytes = (bits + 7) / 8;
    const uint64_t count = static_cast<uint64_t>(width) * height;
    const uint64_t least = rle ? (count + 127) / 128 * (1 + bytes) : count * bytes;
    if (least > source.Remaining()) return Refuse("the pixel data is cut short");
    if (!AllocatePicture(picture, width, height)) return DecodeResult::Broken;

    auto convert = [&](const uint8_t* p) -> uint32_t {
        if (kind == 1) return map.At(static_cast<int64_t>(bits == 8 ? p[0] : Le16(p)) - mapFirst);
        if (kind == 3) return PackArgb(bits == 16 ? p[1] : 255, p[0], p[0], p[0]);
        return ToArgb(p, bits, alpha);
    };

    const bool fromTop = (descriptor & 0x20) != 0;
    const bool fromRight = (descriptor & 0x10) != 0;
    auto place = [&](uint64_t i, uint32_t value) {
        const int fy = static_cast<int>(i / width), fx = static_cast<int>(i % width);
        const int y = fromTop ? fy : height - 1 - fy;
        const int x = fromRight ? width - 1 - fx : fx;
        picture.pixels[static_cast<size_t>(y) * width + x] = value;
    };

    uint8_t p[4];
    uint64_t i = 0;
    if (!rle) {
        std::vector<uint8_t> row(static_cast<size_t>(width) * bytes);
        for (int y = 0; y < height; ++y) {
            if (!source.ReadExact(row.data(), row.size())) return Refuse("the pixel data is cut short");
            for (int x = 0; x < width; ++x, ++i) place(i, convert(&row[static_cast<size_t>(x) * bytes]));
        }
        map.ReportMisses("TGA");
        return DecodeResult::Decoded;
    }
    while (i < count) {
        uint8_t packet;
        if (!source.ReadExact(&packet, 1)) return Refuse("the run-length data is cut short");
        const int n = (packet & 0x7F) + 1;
        if (i + n > count) return Refuse("a run reaches past the picture");
        uint32_t value = 0;
        for (int k = 0; k < n; ++k) {
            if (k == 0 || !(packet & 0x80)) {
                if (!source.ReadExact(p, bytes)) return Refuse("the run-length data is cut short");
                value = convert(p);
            }
            place(i++, value);
        }
    }
    map.ReportMisses("TGA");
    return DecodeResult::Decoded;
}

}  // namespace media::images
