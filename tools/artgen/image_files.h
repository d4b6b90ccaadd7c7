// Writing pictures as the game reads them.
#pragma once

#include "tools/artgen/canvas.h"

#include <string>

namespace artgen {

// PNG: RGBA when the picture has any transparency, otherwise RGB. Returns
// false (with a message on stderr) when the file cannot be written.
bool writePng(const std::string& path, const Canvas& picture, int compressionLevel = 6);

// 24-bit BMP: pixels under half alpha become the colour key (pure green);
// opaque pixels that happen to be pure green are nudged off it.
bool writeKeyedBmp(const std::string& path, const Canvas& picture);

// The colour key of every picture.
inline constexpr Rgba kColourKey{0, 255, 0, 255};

}  // namespace artgen
