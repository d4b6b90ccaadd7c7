// The block sheet 00/01.bmp: solid stone (cell 0), a block made by magic
// (cell 4) and a brick block from the stage file (cell 5), and both cracked
// (cells 15 and 16). The debris of both kinds is painted with the effects.
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"
#include "tools/artgen/block_art.h"

namespace artgen {

namespace {

// A bevelled 32x32 square: light top and left edges, dark bottom and right.
void bevel(Canvas& c, Rgba face, Rgba light, Rgba dark, Rgba ink) {
    c.fillRect(0, 0, 32, 32, face);
    c.fillRect(1, 1, 30, 2, light);
    c.fillRect(1, 1, 2, 30, light);
    c.fillRect(1, 29, 30, 2, dark);
    c.fillRect(29, 1, 2, 30, dark);
    c.frameRect(0, 0, 32, 32, ink);
}

void cracks(Canvas& c, Rgba ink, Rgba light, uint64_t seed) {
    // A star of jagged cracks from off-centre, with a lit edge beside each.
    Random rnd(seed);
    const int cx = 14 + rnd.below(5), cy = 13 + rnd.below(5);
    const int ends[5][2] = {{2, 4}, {29, 6}, {30, 27}, {9, 30}, {1, 18}};
    for (const auto& e : ends) {
        int x = cx, y = cy;
        for (int step = 0; step < 5; ++step) {
            const int nx = x + (e[0] - cx) / 5 + rnd.below(3) - 1;
            const int ny = y + (e[1] - cy) / 5 + rnd.below(3) - 1;
            c.pixelLine(x + 1, y + 1, nx + 1, ny + 1, light);
            c.pixelLine(x, y, nx, ny, ink);
            x = nx, y = ny;
        }
    }
    c.pixelDisc(cx, cy, 1, ink);
}

}  // namespace

Canvas solidBlock(const PixelMaps& maps) {
    Canvas c(32, 32);
    bevel(c, pal(maps, 'A'), pal(maps, 'Z'), pal(maps, 'a'), pal(maps, 'K'));
    // An inset panel and four rivets: it will not break.
    c.frameRect(6, 6, 20, 20, pal(maps, 'a'));
    c.fillRect(7, 7, 18, 1, pal(maps, 'Z'));
    c.fillRect(7, 7, 1, 18, pal(maps, 'Z'));
    c.fillRect(8, 8, 16, 16, shade(pal(maps, 'A'), 0.92));
    const int rivets[4][2] = {{5, 5}, {25, 5}, {5, 25}, {25, 25}};
    for (const auto& r : rivets) {
        c.fillRect(r[0], r[1], 2, 2, pal(maps, 'D'));
        c.set(r[0], r[1], pal(maps, 'W'));
    }
    return c;
}

Canvas brickBlock(const PixelMaps& maps) {
    Canvas c(32, 32);
    const Rgba mortar = pal(maps, 'f'), brick = pal(maps, 'F'), light = pal(maps, 'J'), dark = shade(pal(maps, 'f'), 0.8);
    c.fill(mortar);
    for (int row = 0; row < 4; ++row) {
        const int y = row * 8, offset = (row % 2) ? 8 : 0;
        for (int bx = -16 + offset; bx < 32; bx += 16) {
            const int x0 = std::max(0, bx + 1), x1 = std::min(31, bx + 15);
            if (x1 <= x0) continue;
            c.fillRect(x0, y + 1, x1 - x0, 6, brick);
            c.fillRect(x0, y + 1, x1 - x0, 1, light);
            c.fillRect(x0, y + 1, 1, 6, light);
            c.fillRect(x0, y + 6, x1 - x0, 1, dark);
        }
    }
    c.frameRect(0, 0, 32, 32, pal(maps, 'K'));
    return c;
}

Canvas magicBlock(const PixelMaps& maps) {
    Canvas c(32, 32);
    bevel(c, pal(maps, 'v'), pal(maps, 'p'), pal(maps, 'q'), pal(maps, 'K'));
    // Glassy face with a diagonal sheen and the witch's star in the middle.
    for (int y = 3; y < 29; ++y)
        for (int x = 3; x < 29; ++x) c.set(x, y, mix(pal(maps, 'V'), pal(maps, 'v'), (x + y - 6) / 50.0));
    for (int i = 0; i < 8; ++i) c.pixelLine(5 + i, 12 - i, 6 + i, 12 - i, withAlpha(pal(maps, 'L'), 150));
    c.pixelLine(20, 27, 27, 20, withAlpha(pal(maps, 'L'), 90));
    c.star(16, 16.5, 7.5, 3.2, 5, 0, pal(maps, 'Y'));
    c.star(16, 16.5, 4.5, 1.9, 5, 0, pal(maps, 'W'));
    return c;
}

Canvas crackedOf(const Canvas& block, const PixelMaps& maps, uint64_t seed) {
    Canvas c = block;
    cracks(c, pal(maps, 'K'), withAlpha(pal(maps, 'W'), 120), seed);
    return c;
}

void paintBlocks(PictureSet& set, const PixelMaps& maps) {
    std::vector<Canvas> cells(20);
    cells[0] = solidBlock(maps);
    cells[4] = magicBlock(maps);
    cells[5] = brickBlock(maps);
    cells[15] = crackedOf(cells[4], maps, 15);
    cells[16] = crackedOf(cells[5], maps, 16);
    set.put("00/01.bmp", sheetOf(cells, 10, 2));
}

}  // namespace artgen
