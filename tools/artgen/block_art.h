// Block and item drawings reused by the front-end pictures.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/pixel_maps.h"

#include <string>

namespace artgen {

Canvas solidBlock(const PixelMaps& maps);
Canvas brickBlock(const PixelMaps& maps);
Canvas magicBlock(const PixelMaps& maps);
Canvas crackedOf(const Canvas& block, const PixelMaps& maps, uint64_t seed);

// The key seen from the front (frame 0) and turned about its upright axis.
Canvas keyFrame(const PixelMaps& maps, int frame);
Canvas exitDoor(const PixelMaps& maps, bool open);

// Tiny 3x5 pixel digits for values printed on items.
void pixelNumber(Canvas& c, const std::string& digits, int cx, int top, Rgba ink, Rgba edge);

}  // namespace artgen
