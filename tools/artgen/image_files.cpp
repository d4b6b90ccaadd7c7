#include "tools/artgen/image_files.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace artgen {

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool hasTransparency(const Canvas& c) {
    for (const Rgba& p : c.pixels())
        if (p.a != 255) return true;
    return false;
}

Rgba offKey(Rgba p) {
    if (p.r == 0 && p.g == 255 && p.b == 0) p.g = 254;
    return p;
}

void putLe(std::vector<unsigned char>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

namespace {

// The libpng calls alone, so that nothing with a destructor lives across setjmp.
bool encodePng(FILE* file, int width, int height, bool alpha, png_bytep* rows, int level) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    // One filter for every row: trying all five per row was most of the
    // generator's time, and on these smooth pictures "sub" alone packs smaller.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, const Canvas& picture, int level) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool alpha = hasTransparency(picture);
    const int channels = alpha ? 4 : 3;
    std::vector<unsigned char> rows(size_t(picture.width()) * picture.height() * channels);
    size_t k = 0;
    for (const Rgba& q : picture.pixels()) {
        const Rgba p = offKey(q);
        rows[k++] = p.r, rows[k++] = p.g, rows[k++] = p.b;
        if (alpha) rows[k++] = p.a;
    }
    std::vector<png_bytep> rowPointers(picture.height());
    for (int y = 0; y < picture.height(); ++y)
        rowPointers[y] = rows.data() + size_t(y) * picture.width() * channels;
    if (!encodePng(file.get(), picture.width(), picture.height(), alpha, rowPointers.data(), level)) {
        std::fprintf(stderr, "artgen: PNG encoding failed for %s\n", path.c_str());
        return false;
    }
    return std::fflush(file.get()) == 0;
}

bool writeKeyedBmp(const std::string& path, const Canvas& picture) {
    const int w = picture.width(), h = picture.height();
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(stride) * h;
    std::vector<unsigned char> out;
    out.reserve(54 + dataSize);
    out.push_back('B'), out.push_back('M');
    putLe(out, 54 + dataSize, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);  // BITMAPINFOHEADER
    putLe(out, uint32_t(w), 4);
    putLe(out, uint32_t(h), 4);  // bottom-up
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);  // no compression
    putLe(out, dataSize, 4);
    putLe(out, 2835, 4), putLe(out, 2835, 4);
    putLe(out, 0, 4), putLe(out, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgba p = picture.get(x, y).a < 128 ? kColourKey : offKey(picture.get(x, y));
            out.push_back(p.b), out.push_back(p.g), out.push_back(p.r);
        }
        for (int pad = w * 3; pad < stride; ++pad) out.push_back(0);
    }
    File file(std::fopen(path.c_str(), "wb"));
    if (!file || std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return std::fflush(file.get()) == 0;
}

}  // namespace artgen
