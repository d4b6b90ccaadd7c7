// The painters: each makes one family of pictures into the set.
#pragma once

#include "tools/artgen/catalogue.h"
#include "tools/artgen/pixel_maps.h"

namespace artgen {

void paintBlocks(PictureSet& set, const PixelMaps& maps);       // 00/01.bmp
void paintPlayer(PictureSet& set, const PixelMaps& maps);       // 02/0..159.bmp
void paintEnemies(PictureSet& set, const PixelMaps& maps);      // 00 sheets of the actors
void paintItems(PictureSet& set, const PixelMaps& maps);        // key, exit, items, bonus
void paintEffects(PictureSet& set, const PixelMaps& maps);      // 02/200..321.bmp, 04 effect frames
void paintBackgrounds(PictureSet& set, const PixelMaps& maps);  // 03
void paintStatus(PictureSet& set, const PixelMaps& maps);       // 04 digits, banners, iris, marker
void paintOverlays(PictureSet& set, const PixelMaps& maps);     // 16..19
void paintTitle(PictureSet& set, const PixelMaps& maps);        // 21
void paintHelp(PictureSet& set, const PixelMaps& maps);         // 21/help.png, the controls
void paintIcon(PictureSet& set, const PixelMaps& maps);         // 21/icon.png, the window's icon
void paintMenus(PictureSet& set, const PixelMaps& maps);        // 22, 23, 24
void paintGameOver(PictureSet& set, const PixelMaps& maps);     // 20
void paintInterludes(PictureSet& set, const PixelMaps& maps);   // 26

}  // namespace artgen
