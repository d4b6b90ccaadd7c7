#include "tests/content_pictures/picture_decode.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

uint32_t readLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

DecodedPicture decodeBmp(const std::string& path) {
    DecodedPicture out;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return out.error = "not a BMP", out;
    const uint32_t offset = readLe(b, 10, 4), header = readLe(b, 14, 4);
    const int32_t w = int32_t(readLe(b, 18, 4)), h = int32_t(readLe(b, 22, 4));
    const uint32_t bits = readLe(b, 28, 2), compression = readLe(b, 30, 4);
    if (header < 40 || bits != 24 || compression != 0) return out.error = "not an uncompressed 24-bit BMP", out;
    if (w <= 0 || h == 0 || w > 8192 || h > 8192 || h < -8192) return out.error = "bad size", out;
    const int height = h < 0 ? -h : h;
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    if (offset > b.size() || b.size() - offset < stride * height) return out.error = "pixel data cut short", out;
    out.width = w, out.height = height;
    out.rgba.resize(size_t(w) * height * 4);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * size_t(h < 0 ? y : height - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &out.rgba[(size_t(y) * w + x) * 4];
            p[0] = b[row + x * 3 + 2], p[1] = b[row + x * 3 + 1], p[2] = b[row + x * 3], p[3] = 255;
        }
    }
    out.ok = true;
    return out;
}

DecodedPicture decodePng(const std::string& path) {
    DecodedPicture out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out.error = image.message, out;
    image.format = PNG_FORMAT_RGBA;
    out.width = int(image.width), out.height = int(image.height);
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        out.error = image.message;
        png_image_free(&image);
        return out;
    }
    out.ok = true;
    return out;
}

}  // namespace

uint32_t DecodedPicture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

DecodedPicture decodePicture(const std::string& path) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0) return decodeBmp(path);
    return decodePng(path);
}
