// Digit sets and labels shared by the status display and the front end.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"

namespace artgen {

// One digit centred in a w x h picture, in the given style.
Canvas digitPicture(int digit, int w, int h, const TextStyle& style);

// The style of the small status digits (white on the dark status bar).
TextStyle statusDigitStyle();

// The status bar across the top 64 rows of every stage background.
void paintStatusBar(Canvas& c, const PixelMaps& maps, Rgba accent);

}  // namespace artgen
