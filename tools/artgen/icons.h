// The game's icon at any size, and the icon theme folders of an install.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/pixel_maps.h"

#include <string>

namespace artgen {

// The sizes desktops look for in the hicolor theme.
inline constexpr int kIconThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

Canvas iconPicture(const PixelMaps& maps, int size);

// <folder>/hicolor/NxN/apps/lumotta.png for every size above; false when a
// file could not be written.
bool writeIconTheme(const PixelMaps& maps, const std::string& folder);

}  // namespace artgen
