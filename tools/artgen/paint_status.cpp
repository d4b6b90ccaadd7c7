// Folder 04: status digits, the magic icon, the big stage digits, the stage
// intro band, "STAGE", "CLEAR", "PAUSE", the iris frame and the corner marker.
// (The effect frames of folder 04 come from paint_effects.cpp.)
#include "tools/artgen/hud_art.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Canvas digitPicture(int digit, int w, int h, const TextStyle& style) {
    const Canvas glyph = styledText(std::to_string(digit), style);
    Canvas c(w, h);
    c.draw(glyph, (w - glyph.width()) / 2, (h - glyph.height()) / 2);
    return c;
}

TextStyle statusDigitStyle() {
    TextStyle s;
    s.face = Face::MonoBold;
    s.size = 14;
    s.top = Rgba(255, 255, 255);
    s.bottom = Rgba(200, 220, 255);
    s.outline = Rgba(20, 12, 40);
    s.outlineWidth = 1;
    return s;
}

void paintStatusBar(Canvas& c, const PixelMaps& maps, Rgba accent) {
    // Panel with a gold rim along its lower edge.
    c.verticalGradient(0, 0, 640, 64, Rgba(44, 30, 78), Rgba(26, 18, 48));
    c.fillRect(0, 58, 640, 2, accent);
    c.fillRect(0, 60, 640, 2, shade(accent, 0.6));
    c.fillRect(0, 62, 640, 2, pal(maps, 'K'));
    const Rgba slot = Rgba(14, 8, 28), slotEdge = Rgba(80, 64, 120);
    auto well = [&](int x0, int x1, int cy) {
        c.fillRoundRect(x0 - 1, cy - 10, x1 - x0 + 2, 20, 4, slotEdge);
        c.fillRoundRect(x0, cy - 9, x1 - x0, 18, 3, slot);
    };
    well(83, 107, 32);      // lives
    well(173, 197, 32);     // stage
    well(257, 301, 32);     // time
    well(533, 607, 18);     // best score
    well(533, 607, 48);     // score
    TextStyle label;
    label.face = Face::SansCondensedBold;
    label.size = 12;
    label.top = Rgba(255, 236, 160);
    label.bottom = Rgba(240, 180, 90);
    label.outline = Rgba(20, 12, 40);
    label.outlineWidth = 1;
    auto right = [&](const std::string& text, int x1, int cy) {
        const Canvas t = styledText(text, label);
        c.draw(t, x1 - t.width(), cy - t.height() / 2);
    };
    // Lives: the witch's hat and a times sign.
    const Canvas hat = cropped(maps.sprite("hat"), 0, 0, 22, 13);
    c.draw(hat, 50, 23);
    right("\xC3\x97", 80, 33);
    right("STAGE", 169, 32);
    right("TIME", 253, 32);
    right("HI", 529, 18);
    right("SCORE", 529, 48);
    const Canvas magic = styledText("MAGIC", label);
    c.draw(magic, 368 - magic.width() / 2, 20 - magic.height() / 2);
    for (int i = 0; i < 3; ++i) {
        c.fillCircle(350 + 18 * i, 48, 8, slotEdge);
        c.fillCircle(350 + 18 * i, 48, 7, slot);
    }
    // a little moon and stars to finish the bar
    c.fillCircle(20, 32, 9, Rgba(255, 240, 190));
    c.fillCircle(24, 29, 8, Rgba(38, 26, 68));
    c.star(446, 26, 4, 1.6, 4, 0, Rgba(255, 236, 160, 200));
    c.star(470, 40, 3, 1.2, 4, 0, Rgba(200, 180, 255, 200));
    c.star(430, 44, 2.5, 1, 4, 0, Rgba(255, 255, 255, 160));
}

namespace {

TextStyle bannerStyle(int size) {
    TextStyle s;
    s.face = Face::SerifBold;
    s.size = size;
    s.top = Rgba(255, 250, 200);
    s.bottom = Rgba(255, 170, 60);
    s.outline = Rgba(120, 40, 20);
    s.outlineWidth = 3;
    s.outline2 = Rgba(20, 10, 30);
    s.outline2Width = 2;
    s.shadow = 3;
    return s;
}

Canvas magicIcon(const PixelMaps& maps) {
    Canvas c(16, 16);
    c.fillCircle(8, 8, 7, pal(maps, 'K'));
    c.fillCircle(8, 8, 6, pal(maps, 'c'));
    c.fillCircle(7.5, 7.5, 5, pal(maps, 'C'));
    c.star(8, 8.4, 5.2, 2.2, 5, 0, pal(maps, 'Y'));
    c.star(8, 8.4, 2.6, 1.1, 5, 0, pal(maps, 'W'));
    return c;
}

Canvas irisFrame() {
    // Black outside a circle, a thin golden rim, clear inside.
    const int n = 256;
    Canvas c(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x + 0.5 - n / 2.0, y + 0.5 - n / 2.0) / (n / 2.0);
            if (d > 0.985) c.set(x, y, Rgba(0, 0, 0));
            else if (d > 0.95) c.set(x, y, Rgba(0, 0, 0, int(255 * (d - 0.95) / 0.035)));
            else if (d > 0.93) c.set(x, y, Rgba(255, 210, 110, int(200 * (1 - std::fabs(d - 0.94) / 0.01))));
        }
    return c;
}

Canvas introBand() {
    // A dark ribbon across the screen behind "STAGE" and the number.
    Canvas c(640, 150);
    for (int y = 0; y < 150; ++y) {
        const double t = std::fabs(y - 75) / 75.0;
        const int a = int(200 * std::clamp((1 - t) * 2.2, 0.0, 1.0));
        for (int x = 0; x < 640; ++x) c.set(x, y, Rgba(24, 12, 48, a));
    }
    c.fillRect(0, 28, 640, 2, Rgba(255, 210, 110, 220));
    c.fillRect(0, 120, 640, 2, Rgba(255, 210, 110, 220));
    Random r(7);
    for (int i = 0; i < 50; ++i) {
        const int x = r.below(640), y = 34 + r.below(82);
        c.star(x, y, r.range(1.5, 4), 0.8, 4, 0, Rgba(255, 250, 220, 120 + r.below(120)));
    }
    return c;
}

Canvas cornerMarker(const PixelMaps& maps, bool glint) {
    Canvas c(20, 20);
    c.fillPolygon({{10, 1}, {18, 10}, {10, 19}, {2, 10}}, pal(maps, 'K'));
    c.fillPolygon({{10, 3}, {16, 10}, {10, 17}, {4, 10}}, pal(maps, 'V'));
    c.fillPolygon({{10, 3}, {10, 17}, {4, 10}}, pal(maps, 'p'));
    c.set(8, 7, pal(maps, 'W'));
    if (glint) {
        c.star(10, 10, 9.5, 1.5, 4, 0, Rgba(255, 255, 255, 230));
        c.fillCircle(10, 10, 2.5, Rgba(255, 255, 255));
    }
    return c;
}

}  // namespace

void paintStatus(PictureSet& set, const PixelMaps& maps) {
    for (int d = 0; d < 10; ++d) set.put(fileName("04", d, ".png"), digitPicture(d, 10, 16, statusDigitStyle()));
    set.put("04/10.png", magicIcon(maps));
    TextStyle big = bannerStyle(60);
    big.face = Face::SansBold;
    for (int d = 0; d < 10; ++d) set.put(fileName("04", 11 + d, ".png"), digitPicture(d, 48, 72, big));
    set.put("04/21.png", irisFrame());
    set.put("04/22.png", introBand());
    {
        const Canvas word = styledText("STAGE", bannerStyle(52));
        set.put("04/24.png", centred(word, word.width() + 8, 72));
    }
    {
        TextStyle s = bannerStyle(58);
        s.top = Rgba(255, 255, 255);
        s.bottom = Rgba(140, 220, 255);
        s.outline = Rgba(40, 40, 140);
        const Canvas word = styledText("STAGE CLEAR!", s);
        Canvas c(word.width() + 40, word.height() + 30);
        c.fillRoundRect(4, 10, c.width() - 8, c.height() - 20, 18, Rgba(30, 16, 60, 170));
        c.draw(word, 20, 15);
        c.star(14, 14, 10, 3, 4, 0, Rgba(255, 240, 160));
        c.star(c.width() - 14, c.height() - 14, 10, 3, 4, 0, Rgba(255, 240, 160));
        set.put("04/25.png", c);
    }
    {
        TextStyle s = bannerStyle(44);
        s.top = Rgba(230, 220, 255);
        s.bottom = Rgba(170, 130, 255);
        s.outline = Rgba(50, 20, 90);
        const Canvas word = styledText("PAUSE", s);
        Canvas c(word.width() + 60, word.height() + 24);
        c.fillRoundRect(2, 2, c.width() - 4, c.height() - 4, 16, Rgba(20, 10, 40, 190));
        c.draw(word, 30, 12);
        set.put("04/91.png", c);
    }
    set.put("04/152.png", cornerMarker(maps, false));
    set.put("04/153.png", cornerMarker(maps, true));
}

}  // namespace artgen
