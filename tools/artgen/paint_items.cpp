// The key's turn (00/01..08.png), the exit closed and open (00/10, 00/11.png),
// the item sheet (00/16.bmp), the floating bonus (00/15.bmp), the spawner
// gate (00/14.bmp) and the standing crystal (00/17.png).
#include "tools/artgen/block_art.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

const char* kDigits3x5[10] = {
    "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
    "111100111001111", "111100111101111", "111001010010010", "111101111101111", "111101111001111"};

// A round coin or gem with its value printed below it.
Canvas valueItem(const PixelMaps& maps, Rgba body, Rgba light, Rgba dark, int radius, const std::string& value,
                 bool heart) {
    Canvas c(32, 32);
    const int cx = 16, cy = 12;
    const Rgba ink = pal(maps, 'K');
    c.pixelDisc(cx, cy, radius + 1, ink);
    c.pixelDisc(cx, cy, radius, dark);
    c.pixelDisc(cx - 1, cy - 1, radius - 1, body);
    c.pixelDisc(cx - 2, cy - 2, std::max(1, radius / 3), light);
    c.set(cx - radius / 2 - 1, cy - radius / 2 - 1, pal(maps, 'W'));
    if (heart) c.draw(maps.sprite("heart"), cx - 3, cy - 3);
    else c.star(cx - 0.5, cy - 0.5, radius * 0.55, radius * 0.25, 5, 0, withAlpha(light, 220));
    pixelNumber(c, value, 16, 25, pal(maps, 'W'), ink);
    return c;
}

Canvas placeFooted(const Canvas& sprite, int lift) { return footed(sprite, 32, 32, 0, -lift); }

Canvas spawnerGate(const PixelMaps& maps) {
    // A dark stone arch holding a swirling violet portal.
    Canvas c(32, 32);
    const Rgba ink = pal(maps, 'K');
    c.fillRect(3, 6, 26, 26, ink);
    c.fillEllipse(16, 10, 13, 9, ink);
    c.fillRect(4, 8, 24, 23, pal(maps, 'a'));
    c.fillEllipse(16, 10, 12, 8, pal(maps, 'a'));
    c.fillRect(8, 11, 16, 20, ink);
    c.fillEllipse(16, 12, 8, 7, ink);
    for (int r = 7; r >= 1; --r)
        c.fillEllipse(16, 17, r * 0.95, r * 1.7, mix(pal(maps, 'v'), pal(maps, 'M'), (7 - r) / 7.0));
    for (int i = 0; i < 3; ++i) {
        const double a = i * 2 * kPi / 3;
        c.pixelLine(16 + int(5 * std::cos(a)), 17 + int(9 * std::sin(a)), 16 + int(2 * std::cos(a + 1.2)),
                    17 + int(4 * std::sin(a + 1.2)), pal(maps, 'p'));
    }
    c.set(16, 17, pal(maps, 'W'));
    // mossy stones on the arch
    const int stones[6][2] = {{5, 12}, {5, 20}, {5, 27}, {26, 12}, {26, 20}, {26, 27}};
    for (const auto& s : stones) c.fillRect(s[0], s[1], 2, 3, pal(maps, 'Z'));
    c.fillRect(9, 2, 14, 2, pal(maps, 'Z'));
    return c;
}

Canvas crystal(const PixelMaps& maps) {
    Canvas c(32, 32);
    const Rgba ink = pal(maps, 'K');
    c.fillRect(8, 27, 16, 5, ink);
    c.fillRect(9, 28, 14, 3, pal(maps, 'A'));
    c.fillRect(9, 28, 14, 1, pal(maps, 'Z'));
    std::vector<Point> gem = {{16, 2}, {23, 12}, {19, 27}, {13, 27}, {9, 12}};
    c.fillPolygon(gem, ink);
    std::vector<Point> inner = {{16, 4}, {21.5, 12}, {18.5, 26}, {13.5, 26}, {10.5, 12}};
    c.fillPolygon(inner, pal(maps, 'C'));
    std::vector<Point> lightSide = {{16, 4}, {16, 26}, {13.5, 26}, {10.5, 12}};
    c.fillPolygon(lightSide, pal(maps, 'L'));
    c.pixelLine(13, 10, 13, 16, pal(maps, 'W'));
    return c;
}

}  // namespace

void pixelNumber(Canvas& c, const std::string& digits, int cx, int top, Rgba ink, Rgba edge) {
    const int w = int(digits.size()) * 4 - 1;
    int x = cx - w / 2;
    Canvas text(w + 2, 7);
    for (char d : digits) {
        const char* bits = d == 'U' ? "101101101101111" : d == 'P' ? "111101111100100" : kDigits3x5[(d - '0') % 10];
        for (int i = 0; i < 15; ++i)
            if (bits[i] == '1') text.set(x - (cx - w / 2) + 1 + i % 3, 1 + i / 3, ink);
        x += 4;
    }
    c.draw(outlined(text, edge, 1, true), cx - w / 2 - 1, top - 1);
}

Canvas keyFrame(const PixelMaps& maps, int frame) {
    const Canvas& key = maps.sprite("key");
    const double angle = frame * kPi / 4;
    const double k = std::cos(angle);
    const int w = std::max(2, int(std::lround(key.width() * std::fabs(k))));
    Canvas turned(w, key.height());
    for (int y = 0; y < key.height(); ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = std::min(key.width() - 1, int((x + 0.5) * key.width() / w));
            Rgba p = key.get(k < 0 ? key.width() - 1 - sx : sx, y);
            if (p.a && k < 0 && p != pal(maps, 'K')) p = shade(p, 0.78);  // the back is in shade
            turned.set(x, y, p);
        }
    if (w <= 3)
        for (int y = 0; y < key.height(); ++y)
            if (turned.get(0, y).a) turned.set(0, y, pal(maps, 'y')), turned.set(w - 1, y, pal(maps, 'K'));
    Canvas c(32, 32);
    c.draw(turned, 16 - w / 2, 32 - key.height() - 4);
    if (frame == 0 || frame == 4) {  // a glint as it faces the player
        c.set(11, 8, pal(maps, 'W'));
        c.set(10, 8, pal(maps, 'L')), c.set(12, 8, pal(maps, 'L')), c.set(11, 7, pal(maps, 'L')), c.set(11, 9, pal(maps, 'L'));
    }
    // a soft shadow on the ground under the floating key
    const int sw = std::max(4, w);
    c.fillRect(16 - sw / 2, 30, sw, 1, Rgba(0, 0, 0, 70));
    return c;
}

Canvas exitDoor(const PixelMaps& maps, bool open) {
    Canvas c(32, 40);
    const Rgba ink = pal(maps, 'K'), stone = pal(maps, 'A'), stoneLight = pal(maps, 'Z'), stoneDark = pal(maps, 'a');
    // Stone arch.
    c.fillRect(1, 12, 30, 28, ink);
    c.fillEllipse(16, 13, 15, 12.5, ink);
    c.fillRect(2, 13, 28, 27, stone);
    c.fillEllipse(16, 13, 14, 11.5, stone);
    for (int y = 14; y < 40; y += 6) {
        c.fillRect(2, y, 4, 1, stoneDark), c.fillRect(26, y + 3, 4, 1, stoneDark);
        c.fillRect(2, y + 1, 4, 1, stoneLight);
    }
    // Doorway.
    c.fillRect(6, 14, 20, 26, ink);
    c.fillEllipse(16, 14, 10, 9, ink);
    if (!open) {
        const Rgba wood = pal(maps, 'o'), woodDark = pal(maps, 'n'), woodLight = pal(maps, 'T');
        c.fillRect(7, 14, 18, 26, wood);
        c.fillEllipse(16, 14, 9, 8, wood);
        for (int x = 11; x < 25; x += 5) c.fillRect(x, 7, 1, 33, woodDark);
        c.fillRect(7, 20, 18, 2, pal(maps, 'D'));
        c.fillRect(7, 33, 18, 2, pal(maps, 'D'));
        c.fillRect(8, 8, 1, 30, woodLight);
        // the golden lock with its keyhole
        c.fillRect(18, 24, 7, 8, ink);
        c.fillRect(19, 25, 5, 6, pal(maps, 'Y'));
        c.fillRect(19, 30, 5, 1, pal(maps, 'y'));
        c.set(21, 26, ink), c.set(21, 27, ink), c.set(21, 28, ink), c.set(20, 27, ink), c.set(22, 27, ink);
    } else {
        // Light pours from the open doorway; the door stands folded back.
        for (int y = 6; y < 40; ++y)
            for (int x = 7; x < 25; ++x)
                if (c.get(x, y) == ink && (y >= 14 || std::hypot(x - 16, (y - 14) * 10.0 / 9.0) < 9))
                    c.set(x, y, mix(pal(maps, 'W'), pal(maps, 'V'), std::hypot(x - 16.0, y - 24.0) / 16.0));
        c.fillRect(6, 14, 3, 26, pal(maps, 'n'));
        c.fillRect(6, 14, 1, 26, pal(maps, 'T'));
        const int sparks[4][2] = {{13, 15}, {20, 21}, {15, 30}, {19, 11}};
        for (const auto& s : sparks) {
            c.set(s[0], s[1], pal(maps, 'Y'));
            c.set(s[0] - 1, s[1], withAlpha(pal(maps, 'Y'), 140)), c.set(s[0] + 1, s[1], withAlpha(pal(maps, 'Y'), 140));
        }
        c.fillRect(9, 38, 15, 2, withAlpha(pal(maps, 'W'), 200));
    }
    // keystone
    c.fillRect(14, 0, 5, 4, ink);
    c.fillRect(15, 1, 3, 2, open ? pal(maps, 'Y') : stoneLight);
    return c;
}

void paintItems(PictureSet& set, const PixelMaps& maps) {
    for (int i = 0; i < 8; ++i) set.put(fileName("00", i + 1, ".png"), keyFrame(maps, i));
    set.put("00/10.png", exitDoor(maps, false));
    set.put("00/11.png", exitDoor(maps, true));

    // Items, kinds 42..49 in cells 0..7: the bonus key, coins of rising value,
    // the coin with a life, the diamond, the extra life and the magic charge.
    std::vector<Canvas> items(10);
    items[0] = placeFooted(maps.sprite("bonus_key"), 4);
    items[1] = valueItem(maps, Rgba(214, 130, 80), Rgba(246, 190, 140), Rgba(150, 80, 46), 6, "100", false);
    items[2] = valueItem(maps, Rgba(190, 196, 214), Rgba(246, 248, 255), Rgba(120, 124, 150), 7, "200", false);
    items[3] = valueItem(maps, pal(maps, 'Y'), Rgba(255, 246, 180), pal(maps, 'y'), 8, "500", false);
    items[4] = valueItem(maps, pal(maps, 'Y'), Rgba(255, 246, 180), pal(maps, 'y'), 8, "500", true);
    {
        Canvas d(32, 32);
        std::vector<Point> gem = {{7, 9}, {11, 4}, {21, 4}, {25, 9}, {16, 21}};
        d.fillPolygon(gem, pal(maps, 'K'));
        std::vector<Point> inner = {{8.5, 9}, {11.5, 5.2}, {20.5, 5.2}, {23.5, 9}, {16, 19.5}};
        d.fillPolygon(inner, pal(maps, 'C'));
        d.fillPolygon({{8.5, 9}, {23.5, 9}, {16, 19.5}}, pal(maps, 'c'));
        d.fillPolygon({{11.5, 5.2}, {16, 9}, {8.5, 9}}, pal(maps, 'L'));
        d.set(12, 6, pal(maps, 'W')), d.set(13, 6, pal(maps, 'W'));
        pixelNumber(d, "1000", 16, 25, pal(maps, 'W'), pal(maps, 'K'));
        items[5] = d;
    }
    {
        Canvas life(32, 32);
        const Canvas big = scaled(maps.sprite("heart"), 2);
        life.draw(big, 16 - big.width() / 2, 5);
        pixelNumber(life, "1UP", 16, 25, pal(maps, 'W'), pal(maps, 'K'));
        Canvas edged = life;
        items[6] = edged;
    }
    items[7] = placeFooted(maps.sprite("potion"), 2);
    set.put("00/16.bmp", sheetOf(items, 10, 10));

    // The floating bonus: two frames, the second brighter.
    const Canvas& star = maps.sprite("winged_star");
    Canvas brighter = star;
    for (int y = 0; y < brighter.height(); ++y)
        for (int x = 0; x < brighter.width(); ++x)
            if (brighter.get(x, y) == pal(maps, 'Y')) brighter.set(x, y, Rgba(255, 246, 170));
    set.put("00/15.bmp", sheetOf({placeFooted(star, 6), placeFooted(brighter, 7)}, 2, 1));

    set.put("00/14.bmp", sheetOf({spawnerGate(maps)}, 1, 1));
    set.put("00/17.png", crystal(maps));
}

}  // namespace artgen
