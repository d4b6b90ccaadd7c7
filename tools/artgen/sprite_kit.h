// Small helpers the painters share: file names, sheets of cells, placement.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/catalogue.h"
#include "tools/artgen/pixel_maps.h"

#include <string>
#include <vector>

namespace artgen {

// "04/7.png", "00/05.bmp" (folders 00 and 10 always use two digits).
std::string fileName(const std::string& folder, int number, const std::string& extension);

// Cells laid out row by row, `across` per row, in a picture of across x down
// cells; missing cells stay transparent.
Canvas sheetOf(const std::vector<Canvas>& cells, int across, int down, int cellW = 32, int cellH = 32);

// The sprite placed with its bottom centre at the bottom centre of a w x h
// picture (moved by dx, dy).
Canvas footed(const Canvas& sprite, int w, int h, int dx = 0, int dy = 0);
// The sprite centred in a w x h picture (moved by dx, dy).
Canvas centred(const Canvas& sprite, int w, int h, int dx = 0, int dy = 0);

// The sprite with a one-pixel dark outline (the house style for sprites).
Canvas inked(const Canvas& sprite, const PixelMaps& maps);

// Pixels brighter toward the top-left and darker toward the bottom-right.
Canvas lit(const Canvas& sprite, double strength);

// Palette shortcut.
inline Rgba pal(const PixelMaps& maps, char key) { return maps.colour(key); }

}  // namespace artgen
