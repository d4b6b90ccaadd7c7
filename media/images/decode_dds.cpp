// DDS: the top picture of the file in the uncompressed formats described by
// bit masks (RGB, luminance, alpha), the DX10 8-bit RGBA/BGRA formats, and
// the block formats BC1 (DXT1), BC2 (DXT3), BC3 (DXT5), BC4 and BC5.
#include "media/images/decoders.h"

#include "media/images/bit_fields.h"

#include "media/core/log.h"

#include <cstring>

namespace media::images {
namespace {

constexpr uint32_t kAlphaPixels = 0x1, kAlphaOnly = 0x2, kFourCc = 0x4, kPaletted = 0x20, kRgb = 0x40,
                   kYuv = 0x200, kLuminance = 0x20000;

constexpr uint32_t FourCc(const char (&s)[5]) {
    return static_cast<uint32_t>(s[0]) | (s[1] << 8) | (s[2] << 16) | (static_cast<uint32_t>(s[3]) << 24);
}

enum class Format { Masks, Bc1, Bc2, Bc3, Bc4, Bc5, Rgba8, Bgra8, Bgrx8 };

DecodeResult Refuse(const char* why) {
    log::Write("DDS: %s\n", why);
    return DecodeResult::Broken;
}

// The colour half of a BC1/BC2/BC3 block into 16 pixels.
void ColourBlock(const uint8_t* b, bool allowTransparent, uint32_t out[16]) {
    const uint32_t c0 = Le16(b), c1 = Le16(b + 2);
    uint32_t r[4], g[4], bl[4], a[4] = {255, 255, 255, 255};
    auto expand = [](uint32_t c, uint32_t& rr, uint32_t& gg, uint32_t& bb) {
        rr = ((c >> 11) & 31) * 255 / 31;
        gg = ((c >> 5) & 63) * 255 / 63;
        bb = (c & 31) * 255 / 31;
    };
    expand(c0, r[0], g[0], bl[0]);
    expand(c1, r[1], g[1], bl[1]);
    if (c0 > c1 || !allowTransparent) {
        r[2] = (2 * r[0] + r[1]) / 3; g[2] = (2 * g[0] + g[1]) / 3; bl[2] = (2 * bl[0] + bl[1]) / 3;
        r[3] = (r[0] + 2 * r[1]) / 3; g[3] = (g[0] + 2 * g[1]) / 3; bl[3] = (bl[0] + 2 * bl[1]) / 3;
    } else {
        r[2] = (r[0] + r[1]) / 2; g[2] = (g[0] + g[1]) / 2; bl[2] = (bl[0] + bl[1]) / 2;
        r[3] = g[3] = bl[3] = a[3] = 0;
    }
    const uint32_t indices = Le32(b + 4);
    for (int i = 0; i < 16; ++i) {
        const int k = (indices >> (2 * i)) & 3;
        out[i] = PackArgb(a[k], r[k], g[k], bl[k]);
    }
}

// An interpolated 8-bit channel block (BC3 alpha, BC4, BC5 halves).
void ChannelBlock(const uint8_t* b, uint8_t out[16]) {
    const uint32_t v0 = b[0], v1 = b[1];
    uint32_t v[8] = {v0, v1};
    if (v0 > v1) {
        for (int i = 1; i < 7; ++i) v[i + 1] = ((7 - i) * v0 + i * v1) / 7;
    } else {
        for (int i = 1; i < 5; ++i) v[i + 1] = ((5 - i) * v0 + i * v1) / 5;
        v[6] = 0;
        v[7] = 255;
    }
    uint64_t bitsIn = 0;
    for (int i = 0; i < 6; ++i) bitsIn |= static_cast<uint64_t>(b[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) out[i] = static_cast<uint8_t>(v[(bitsIn >> (3 * i)) & 7]);
}

DecodeResult DecodeBlocks(ByteSource& source, Format format, Picture& picture) {
    const int blockBytes = format == Format::Bc1 || format == Format::Bc4 ? 8 : 16;
    const int across = (picture.width + 3) / 4, down = (picture.height + 3) / 4;
    std::vector<uint8_t> row(static_cast<size_t>(across) * blockBytes);
    for (int by = 0; by < down; ++by) {
        if (!source.ReadExact(row.data(), row.size())) return Refuse("the block data is cut short");
        for (int bx = 0; bx < across; ++bx) {
            const uint8_t* b = &row[static_cast<size_t>(bx) * blockBytes];
            uint32_t px[16];
            uint8_t ch[16], ch2[16];
            switch (format) {
            case Format::Bc1:
                ColourBlock(b, true, px);
                break;
            case Format::Bc2:
                ColourBlock(b + 8, false, px);
                for (int i = 0; i < 16; ++i) {
                    const uint32_t a = (b[i / 2] >> (4 * (i & 1))) & 15;
                    px[i] = (px[i] & 0xFFFFFF) | ((a * 17) << 24);
                }
                break;
            case Format::Bc3:
                ColourBlock(b + 8, false, px);
                ChannelBlock(b, ch);
                for (int i = 0; i < 16; ++i) px[i] = (px[i] & 0xFFFFFF) | (static_cast<uint32_t>(ch[i]) << 24);
                break;
            case Format::Bc4:
                ChannelBlock(b, ch);
                for (int i = 0; i < 16; ++i) px[i] = PackArgb(255, ch[i], ch[i], ch[i]);
                break;
            default:   // BC5: red and green
                ChannelBlock(b, ch);
                ChannelBlock(b + 8, ch2);
                for (int i = 0; i < 16; ++i) px[i] = PackArgb(255, ch[i], ch2[i], 0);
                break;
            }
            for (int i = 0; i < 16; ++i) {
                const int x = bx * 4 + (i & 3), y = by * 4 + i / 4;
                if (x < picture.width && y < picture.height)
                    picture.pixels[static_cast<size_t>(y) * picture.width + x] = px[i];
            }
        }
    }
    return DecodeResult::Decoded;
}

}  // namespace

DecodeResult DecodeDds(ByteSource& source, Picture& picture) {
    uint8_t h[128];
    if (!source.ReadExact(h, 4) || std::memcmp(h, "DDS ", 4) != 0) return DecodeResult::NotMine;
    if (!source.ReadExact(h + 4, 124)) return Refuse("the header is cut short");
    if (Le32(h + 4) != 124) return Refuse("bad header size");
    const int64_t height = Le32(h + 12), width = Le32(h + 16);
    const uint8_t* pf = h + 76;
    const uint32_t flags = Le32(pf + 4), fourCc = Le32(pf + 8), bitCount = Le32(pf + 12);
    Format format = Format::Masks;
    if (flags & kFourCc) {
        if (fourCc == FourCc("DXT1")) format = Format::Bc1;
        else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT3")) format = Format::Bc2;
        else if (fourCc == FourCc("DXT4") || fourCc == FourCc("DXT5")) format = Format::Bc3;
        else if (fourCc == FourCc("ATI1") || fourCc == FourCc("BC4U")) format = Format::Bc4;
        else if (fourCc == FourCc("ATI2") || fourCc == FourCc("BC5U")) format = Format::Bc5;
        else if (fourCc == FourCc("DX10")) {
            uint8_t dx10[20];
            if (!source.ReadExact(dx10, sizeof dx10)) return Refuse("the DX10 header is cut short");
            switch (Le32(dx10)) {
            case 70: case 71: case 72: format = Format::Bc1; break;
            case 73: case 74: case 75: format = Format::Bc2; break;
            case 76: case 77: case 78: format = Format::Bc3; break;
            case 79: case 80: format = Format::Bc4; break;
            case 82: case 83: format = Format::Bc5; break;
            case 27: case 28: case 29: format = Format::Rgba8; break;
            case 87: case 90: case 91: format = Format::Bgra8; break;
            case 88: case 92: case 93: format = Format::Bgrx8; break;
            default: return Refuse("unsupported DXGI format");
            }
        } else {
            return Refuse("unsupported compressed format");
        }
    } else if (flags & (kPaletted | kYuv)) {
        return Refuse("unsupported pixel format");
    } else if (!(flags & (kRgb | kLuminance | kAlphaOnly)) ||
               (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        return Refuse("unsupported pixel format");
    }
    if (!PictureSizeAllowed(width, height)) return DecodeResult::Broken;

    const bool blocks = format != Format::Masks && format != Format::Rgba8 && format != Format::Bgra8 &&
                        format != Format::Bgrx8;
    const uint64_t bytesPerPixel = format == Format::Masks ? bitCount / 8 : 4;
    const uint64_t needed = blocks ? static_cast<uint64_t>((width + 3) / 4) * ((height + 3) / 4) *
                                         (format == Format::Bc1 || format == Format::Bc4 ? 8 : 16)
                                   : static_cast<uint64_t>(width) * height * bytesPerPixel;
    if (needed > source.Remaining()) return Refuse("the pixel data is cut short");
    if (!AllocatePicture(picture, width, height)) return DecodeResult::Broken;
    if (blocks) {
        picture.hasAlpha = format == Format::Bc1 || format == Format::Bc2 || format == Format::Bc3;
        return DecodeBlocks(source, format, picture);
    }

    BitField r, g, b, a;
    const bool luminance = format == Format::Masks && (flags & kLuminance);
    switch (format) {
    case Format::Rgba8: r.Set(0xFF); g.Set(0xFF00); b.Set(0xFF0000); a.Set(0xFF000000u); break;
    case Format::Bgra8: r.Set(0xFF0000); g.Set(0xFF00); b.Set(0xFF); a.Set(0xFF000000u); break;
    case Format::Bgrx8: r.Set(0xFF0000); g.Set(0xFF00); b.Set(0xFF); break;
    default:
        r.Set(Le32(pf + 16));
        // Some writers give an 8-bit luminance mask outside the pixel's bits.
        if (luminance && bitCount < 32 && !(r.mask & ((1u << bitCount) - 1))) r.Set(0xFF);
        g.Set(Le32(pf + 20));
        b.Set(Le32(pf + 24));
        if (flags & (kAlphaPixels | kAlphaOnly)) a.Set(Le32(pf + 28));
        break;
    }
    picture.hasAlpha = a.mask != 0;
    std::vector<uint8_t> row(static_cast<size_t>(width * bytesPerPixel));
    for (int64_t y = 0; y < height; ++y) {
        if (!source.ReadExact(row.data(), row.size())) return Refuse("the pixel data is cut short");
        uint32_t* out = &picture.pixels[static_cast<size_t>(y * width)];
        for (int64_t x = 0; x < width; ++x) {
            const uint8_t* p = &row[static_cast<size_t>(x * bytesPerPixel)];
            uint32_t v = 0;
            for (uint64_t k = 0; k < bytesPerPixel; ++k) v |= static_cast<uint32_t>(p[k]) << (8 * k);
            if (luminance) {
                const uint32_t l = r.Get(v, 0);
                out[x] = PackArgb(a.Get(v, 255), l, l, l);
            } else if ((flags & kAlphaOnly) && !(flags & kRgb)) {
                out[x] = PackArgb(a.Get(v, 255), 255, 255, 255);
            } else {
                out[x] = PackArgb(a.Get(v, 255), r.Get(v, 0), g.Get(v, 0), b.Get(v, 0));
            }
        }
    }
    return DecodeResult::Decoded;
}

}  // namespace media::images
