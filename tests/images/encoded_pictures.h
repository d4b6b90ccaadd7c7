// PNG and JPEG files made in memory with the libraries the media layer reads
// them with.
#pragma once

#include <cstdint>
#include <vector>

namespace image_tests {

// 0xAARRGGBB pixels from the top as an 8-bit RGBA PNG.
std::vector<uint8_t> EncodePngRgba(int width, int height, const std::vector<uint32_t>& pixels);

// A palette PNG: `indexes` one per pixel from the top, packed to
// `bitDepth` bits; `palette` 0xRRGGBB entries and `alpha` their tRNS values
// (may be shorter than the palette, or empty for none).
std::vector<uint8_t> EncodePngIndexed(int width, int height, int bitDepth, const std::vector<uint32_t>& palette,
                                      const std::vector<uint8_t>& alpha, const std::vector<uint8_t>& indexes,
                                      bool interlaced = false);

// 0xRRGGBB pixels from the top as a baseline JPEG.
std::vector<uint8_t> EncodeJpeg(int width, int height, const std::vector<uint32_t>& pixels, int quality = 90);

}  // namespace image_tests
