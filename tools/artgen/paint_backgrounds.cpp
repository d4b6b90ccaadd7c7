// Folder 03: the six stage backgrounds (stages 1-10, 11-20, 21-30, 31-40,
// 41-50 and the last). Each is the theme's landscape behind the play field,
// the walls framing it (columns 0 and 19 and row 14 are never drawn as
// blocks) and the status bar with its labels across the top 64 rows.
#include "tools/artgen/hud_art.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

namespace artgen {

Canvas stageBackground(const PixelMaps& maps, Theme theme) {
    Canvas c(640, 480);
    paintLandscape(c, theme, true);
    // A light veil keeps the landscape behind the blocks.
    c.fillRect(0, 0, 640, 480, Rgba(20, 14, 40, 40));
    const Canvas wall = wallBlock(maps, theme);
    for (int row = 2; row < 15; ++row) c.draw(wall, 0, row * 32), c.draw(wall, 608, row * 32);
    for (int col = 1; col < 19; ++col) c.draw(wall, col * 32, 448);
    const Rgba accents[6] = {Rgba(255, 200, 90), Rgba(170, 230, 110), Rgba(140, 220, 255),
                             Rgba(255, 170, 110), Rgba(200, 230, 255), Rgba(220, 160, 255)};
    paintStatusBar(c, maps, accents[int(theme)]);
    return c;
}

void paintBackgrounds(PictureSet& set, const PixelMaps& maps) {
    for (int i = 0; i < 6; ++i) set.put(fileName("03", i + 1, ".bmp"), stageBackground(maps, kThemes[i]));
}

}  // namespace artgen
