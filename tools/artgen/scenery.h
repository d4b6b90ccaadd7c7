// Landscapes shared by the stage backgrounds, the interlude pictures and the
// front end: six themes, painted procedurally at any size.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/pixel_maps.h"

namespace artgen {

enum class Theme { Meadow, Forest, Cave, Desert, Snow, Tower };
inline constexpr Theme kThemes[6] = {Theme::Meadow, Theme::Forest, Theme::Cave,
                                     Theme::Desert, Theme::Snow,   Theme::Tower};

// The theme's landscape filling the whole canvas. `calm` keeps contrast low
// so that blocks and sprites stand out in front of it.
void paintLandscape(Canvas& c, Theme theme, bool calm);

// The theme's wall block (the frame around the play field).
Canvas wallBlock(const PixelMaps& maps, Theme theme);

// The witch drawn large (pixel art enlarged), from a player picture number.
Canvas witchLarge(const PixelMaps& maps, int pictureNumber, int scale);
// One of the player pictures at 1x (40x40).
Canvas witchPicture(const PixelMaps& maps, int pictureNumber);

}  // namespace artgen
