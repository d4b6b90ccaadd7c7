// Folder 21: the title, in the layers the title scene fades in one after the
// other, and its menu. Layers are 640x480 and drawn at the screen's centre:
//   6 the night-sky medallion, 4 the witch, 3 the stage pieces around her,
//   2 the "Lumotta" logo, 5 the glint at her wand (additive, turned),
//   7 the press-to-start prompt, 1 the footer, 8 the scrolling backdrop
//   (also behind stage select, ranking and settings), 9 the cursor,
//   13/14/15/11/10 the five menu words and 16 the menu panel.
#include "tools/artgen/block_art.h"
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/light.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Where the glint (21/5) is drawn, and so where her wand's tip must be.
constexpr int kGlintX = 270, kGlintY = 275;
constexpr int kWitchScale = 4;
constexpr int kWitchPose = 124;  // wand raised, tip glowing

Canvas medallion() {
    Canvas c(640, 480);
    const double cx = 320, cy = 215, r = 200;
    Canvas sky(640, 480);
    paintLandscape(sky, Theme::Tower, false);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d < r) {
                Rgba p = sky.get(x, y);
                if (d > r - 2) p.a = uint8_t(255 * (r - d) / 2);
                c.set(x, y, p);
            }
        }
    c.ring(cx, cy, r, 6, Rgba(255, 206, 110));
    c.ring(cx, cy, r + 5, 2, Rgba(60, 34, 104));
    c.ring(cx, cy, r - 5, 2, Rgba(60, 34, 104));
    return c;
}

Canvas witchLayer(const PixelMaps& maps) {
    Canvas c(640, 480);
    const Canvas witch = witchLarge(maps, kWitchPose, kWitchScale);
    // The pose's wand tip sits at (25, 22) of the 40x40 picture.
    const int x = kGlintX - 25 * kWitchScale, y = kGlintY - 22 * kWitchScale;
    c.draw(withShadow(witch, 6, 6, 3, 90), x, y);
    return c;
}

Canvas piecesLayer(const PixelMaps& maps) {
    Canvas c(640, 480);
    const int ground = kGlintY - 22 * kWitchScale + 40 * kWitchScale;  // her feet
    const Canvas brick = scaled(brickBlock(maps), 2), magic = scaled(magicBlock(maps), 2), solid = scaled(solidBlock(maps), 2);
    for (int i = 0; i < 7; ++i) c.draw(i == 3 ? magic : brick, 96 + i * 64, ground);
    c.draw(solid, 32, ground), c.draw(solid, 544, ground);
    c.draw(solid, 544, ground - 64);
    c.draw(scaled(exitDoor(maps, true), 2), 548, ground - 64 - 80);
    c.draw(scaled(keyFrame(maps, 1), 2), 440, ground - 120);
    auto sheetCell = [&](const std::string& sprite, int scale, int x, int y, bool mirror) {
        c.draw(scaled(mirror ? mirrored(maps.sprite(sprite)) : maps.sprite(sprite), scale), x, y);
    };
    sheetCell("ghost_a", 2, 470, 150, false);
    sheetCell("bat_b", 2, 60, 150, true);
    sheetCell("walker_a", 2, 400, ground - 26, false);
    sheetCell("crawler_a", 2, 110, ground - 22, true);
    c.draw(scaled(maps.sprite("winged_star"), 2), 50, 250);
    return c;
}

Canvas logo() {
    Canvas c(640, 480);
    // The word itself centred on (320, 96); its star stands out above it.
    const Canvas word = titleWord();
    c.draw(word, 320 - (word.width() - 8) / 2, 96 - (word.height() - 10) / 2 - 10);
    return c;
}

Canvas glint() {
    Canvas c(200, 200, Rgba(0, 0, 0));
    rays(c, 100, 100, 4, 0, 99, 7, 0, Rgba(255, 250, 220, 230));
    rays(c, 100, 100, 4, 0, 56, 4, kPi / 4, Rgba(200, 180, 255, 200));
    c.glow(100, 100, 26, Rgba(255, 240, 200, 200), 1.8);
    c.glow(100, 100, 8, Rgba(255, 255, 255, 255), 1.2);
    return c;
}

Canvas prompt() {
    const Canvas word = styledText("PRESS  Z  TO  START", menuWordStyle(26));
    Canvas c(word.width() + 56, word.height() + 18);
    c.fillRoundRect(0, 0, c.width(), c.height(), c.height() / 2.0, Rgba(24, 12, 48, 170));
    c.draw(word, 28, 9);
    c.star(14, c.height() / 2.0, 7, 2.6, 4, 0, Rgba(255, 214, 120));
    c.star(c.width() - 14, c.height() / 2.0, 7, 2.6, 4, 0, Rgba(255, 214, 120));
    return c;
}

Canvas footer() {
    TextStyle s = noteStyle(14);
    const Canvas t = styledText("\u2191\u2193: choose      Z: decide      F1: controls      Esc: quit", s);
    Canvas c(t.width() + 24, t.height() + 10);
    c.fillRoundRect(0, 0, c.width(), c.height(), c.height() / 2.0, Rgba(24, 12, 48, 150));
    c.draw(t, 12, 5);
    return c;
}

// A light pattern that tiles with itself every 768 x 640 pixels, the distance
// the scrolling backdrop moves before it starts over.
Canvas backdrop(const PixelMaps& maps) {
    const int w = 768, h = 640;
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double n = fractalNoise(x / 96.0, y / 80.0, 5, 3, 8);
            c.set(x, y, mix(Rgba(236, 228, 252), Rgba(214, 226, 250), n));
        }
    // diagonal bands of small motifs on a 96 x 80 lattice
    const Canvas hat = cropped(maps.sprite("hat"), 0, 0, 22, 13);
    for (int gy = 0; gy < h / 80; ++gy)
        for (int gx = 0; gx < w / 96; ++gx) {
            const double x = gx * 96 + (gy % 2) * 48 + 24, y = gy * 80 + 24;
            const int motif = (gx + gy * 2) % 3;
            for (int wx = -1; wx <= 1; ++wx)
                for (int wy = -1; wy <= 1; ++wy) {
                    const double px = x + wx * w, py = y + wy * h;
                    if (px < -40 || px > w + 40 || py < -40 || py > h + 40) continue;
                    if (motif == 0) c.star(px, py, 9, 3.8, 5, 10, Rgba(255, 214, 150, 170));
                    else if (motif == 1) {
                        c.fillCircle(px, py, 8, Rgba(200, 180, 255, 150));
                        c.fillCircle(px + 4, py - 3, 7, mix(Rgba(236, 228, 252), Rgba(214, 226, 250), 0.5));
                    } else {
                        Canvas faded = hat;
                        faded.fade(0.35);
                        c.draw(faded, int(px) - 11, int(py) - 6);
                    }
                }
        }
    return c;
}

Canvas menuPanel() {
    Canvas c(640, 480);
    drawPanel(c, 136, 138, 368, 266);
    // The bar for the best score and the highest stage across the top.
    c.fillRoundRect(120, 10, 400, 34, 17, Rgba(24, 12, 48, 220));
    c.fillRoundRect(122, 12, 396, 30, 15, Rgba(60, 34, 104, 220));
    c.fillRoundRect(232, 17, 76, 20, 6, Rgba(14, 8, 28));
    c.fillRoundRect(422, 17, 26, 20, 6, Rgba(14, 8, 28));
    TextStyle label = noteStyle(13);
    label.top = Rgba(255, 236, 160), label.bottom = Rgba(240, 180, 90);
    const Canvas best = styledText("BEST", label), stage = styledText("STAGE", label);
    c.draw(best, 226 - best.width(), 27 - best.height() / 2);
    c.draw(stage, 416 - stage.width(), 27 - stage.height() / 2);
    return c;
}

}  // namespace

void paintTitle(PictureSet& set, const PixelMaps& maps) {
    set.put("21/6.png", medallion());
    set.put("21/4.png", witchLayer(maps));
    set.put("21/3.png", piecesLayer(maps));
    set.put("21/2.png", logo());
    set.put("21/5.png", glint());
    set.put("21/7.png", prompt());
    set.put("21/1.png", footer());
    set.put("21/8.png", backdrop(maps));
    set.put("21/9.png", menuCursor(maps));
    const char* words[5][2] = {{"21/13.png", "START"}, {"21/14.png", "RANKING"}, {"21/15.png", "STAGE SELECT"},
                               {"21/11.png", "SETTINGS"}, {"21/10.png", "QUIT"}};
    for (const auto& w : words) set.put(w[0], styledText(w[1], menuWordStyle(26)));
    set.put("21/16.png", menuPanel());
}

}  // namespace artgen
