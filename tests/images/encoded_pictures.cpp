#include "tests/images/encoded_pictures.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace image_tests {
namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

// Writes the rows libpng is given through `writeRows` into memory.
template <typename WriteRows>
std::vector<uint8_t> EncodePng(WriteRows writeRows) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, Append, Flush);
    writeRows(png, info);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace

std::vector<uint8_t> EncodePngRgba(int width, int height, const std::vector<uint32_t>& pixels) {
    return EncodePng([&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(width) * 4);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
                row[x * 4 + 0] = static_cast<png_byte>(p >> 16);
                row[x * 4 + 1] = static_cast<png_byte>(p >> 8);
                row[x * 4 + 2] = static_cast<png_byte>(p);
                row[x * 4 + 3] = static_cast<png_byte>(p >> 24);
            }
            png_write_row(png, row.data());
        }
    });
}

std::vector<uint8_t> EncodePngIndexed(int width, int height, int bitDepth, const std::vector<uint32_t>& palette,
                                      const std::vector<uint8_t>& alpha, const std::vector<uint8_t>& indexes,
                                      bool interlaced) {
    return EncodePng([&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, width, height, bitDepth, PNG_COLOR_TYPE_PALETTE,
                     interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        std::vector<png_color> colours;
        for (uint32_t c : palette)
            colours.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
        if (!alpha.empty())
            png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
        // Indexes past the palette are written as they are.
        png_set_check_for_invalid_index(png, 0);
        png_write_info(png, info);
        png_set_packing(png);
        const int passes = png_set_interlace_handling(png);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < height; ++y)
                png_write_row(png, const_cast<png_bytep>(&indexes[static_cast<size_t>(y) * width]));
    });
}

std::vector<uint8_t> EncodeJpeg(int width, int height, const std::vector<uint32_t>& pixels, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(info.next_scanline) * width + x];
            row[x * 3 + 0] = static_cast<JSAMPLE>(p >> 16);
            row[x * 3 + 1] = static_cast<JSAMPLE>(p >> 8);
            row[x * 3 + 2] = static_cast<JSAMPLE>(p);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace image_tests
