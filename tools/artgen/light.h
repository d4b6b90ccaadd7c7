// Additive light shapes for effect pictures (light on black).
#pragma once

#include "tools/artgen/canvas.h"

namespace artgen {

// A soft-edged ring of light.
void lightRing(Canvas& c, double cx, double cy, double r, double width, Rgba col);
// `count` rays from the centre, fading outward, turned by `turn` radians.
void rays(Canvas& c, double cx, double cy, int count, double inner, double outer, double width, double turn, Rgba col);
// A four-pointed glint.
void sparkle(Canvas& c, double cx, double cy, double r, Rgba col);

}  // namespace artgen
