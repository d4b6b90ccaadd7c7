// The actor sheets of folder 00: crawlers, walkers, the chaser, fliers,
// cannons and their shot, sleepers, fire breathers and their flame. Every
// enemy faces left in its picture (the game mirrors it); speed variants of a
// family share the drawing in different colours: green normal, red fast,
// blue slow.
#include "tools/artgen/painters.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colours {
    Rgba main, dark;
};

const Colours kNormal{Rgba(96, 200, 84), Rgba(44, 128, 60)};
const Colours kFast{Rgba(236, 84, 72), Rgba(150, 34, 46)};
const Colours kSlow{Rgba(96, 150, 240), Rgba(48, 80, 168)};

Canvas tinted(const Canvas& c, const PixelMaps& maps, const Colours& to) {
    return recoloured(c, {{pal(maps, 'G'), to.main}, {pal(maps, 'g'), to.dark}});
}

// Stars turning over a knocked-out head.
void dizzyStars(Canvas& c, const PixelMaps& maps, int cx, int cy, int phase) {
    for (int i = 0; i < 3; ++i) {
        const double a = phase * 0.7 + i * 2 * kPi / 3;
        const int x = cx + int(std::lround(7 * std::cos(a))), y = cy + int(std::lround(2.5 * std::sin(a)));
        const Rgba y1 = pal(maps, 'Y');
        c.set(x, y, pal(maps, 'W'));
        c.set(x - 1, y, y1), c.set(x + 1, y, y1), c.set(x, y - 1, y1), c.set(x, y + 1, y1);
    }
}

Canvas upsideDown(const Canvas& c) { return rotatedQuarter(mirrored(c), 2); }

// A sprite standing on the bottom row of a 32x32 cell, lifted by `lift`.
Canvas cell(const Canvas& sprite, int lift = 0, int dx = 0) { return footed(sprite, 32, 32, dx, -lift); }

Canvas knocked(const Canvas& sprite, const PixelMaps& maps, int phase = 0) {
    Canvas c = cell(upsideDown(sprite), 4);
    dizzyStars(c, maps, 16, 31 - sprite.height() - 6, phase);
    return c;
}

// Wall crawlers: 12 scuttling frames and the knocked-out shell.
Canvas crawlerSheet(const PixelMaps& maps, const Colours& col, const Canvas* extraTumble) {
    const Canvas a = tinted(maps.sprite("crawler_a"), maps, col), b = tinted(maps.sprite("crawler_b"), maps, col);
    std::vector<Canvas> cells;
    for (int i = 0; i < 12; ++i) {
        Canvas f = cell(i % 2 ? b : a, 2 + (i % 4 == 1 ? 1 : 0));
        // The spikes glint in turn along the back.
        const int glint = 12 + (i % 6) * 3;
        if (f.get(glint, 32 - 2 - a.height() + 1).a) f.set(glint, 32 - 2 - a.height() + 1, pal(maps, 'W'));
        cells.push_back(f);
    }
    cells.push_back(knocked(a, maps));
    if (extraTumble) {
        // Cells 15..19: the block walker tumbling away when it is knocked out.
        cells.resize(15);
        for (int i = 0; i < 5; ++i) {
            Canvas big(32, 32);
            big.draw(*extraTumble, (32 - extraTumble->width()) / 2, (32 - extraTumble->height()) / 2);
            Canvas t = rotated(big, 180 + i * 72, 32, 32);
            dizzyStars(t, maps, 16, 6, i);
            cells.push_back(t);
        }
    }
    return sheetOf(cells, 10, 2);
}

// Block walkers: eight walking frames, the pause after a bump, knocked out.
std::vector<Canvas> walkerCells(const PixelMaps& maps, const Colours& col) {
    const Canvas a = tinted(maps.sprite("walker_a"), maps, col), b = tinted(maps.sprite("walker_b"), maps, col);
    std::vector<Canvas> cells;
    for (int i = 0; i < 8; ++i) cells.push_back(cell(i % 2 ? b : a, (i % 4 == 1) ? 1 : 0));
    Canvas pause = cell(a);
    // an impact burst at the horns
    const int hx = 7, hy = 32 - a.height() + 1;
    for (int k = 0; k < 4; ++k) {
        const double ang = kPi * (0.75 + k * 0.17);
        pause.pixelLine(hx, hy, hx + int(5 * std::cos(ang)), hy - int(5 * std::sin(ang)), pal(maps, 'Y'));
    }
    cells.push_back(pause);
    cells.push_back(knocked(a, maps, 1));
    return cells;
}

Canvas chaserSheet(const PixelMaps& maps) {
    const Colours purple{Rgba(150, 96, 220), Rgba(90, 54, 150)};
    const Canvas a = tinted(maps.sprite("chaser_a"), maps, purple), b = tinted(maps.sprite("chaser_b"), maps, purple);
    std::vector<Canvas> cells(10);
    cells[0] = cell(a), cells[1] = cell(b, 1), cells[2] = cell(a, 0, -1), cells[3] = cell(b, 1, -1);
    // Falling through a broken floor: both mitts flung up beside the hood, alarmed.
    Canvas fall = cell(b, 3);
    const int top = 32 - 3 - b.height(), left = (32 - b.width()) / 2;
    for (int mx : {left, left + 17}) {
        fall.fillRect(mx, top + 1, 4, 4, pal(maps, 'K'));
        fall.fillRect(mx + 1, top + 2, 2, 2, pal(maps, 'W'));
    }
    fall.set(left + 22, top - 2, pal(maps, 'W'));
    fall.fillRect(left + 22, top - 6, 1, 3, pal(maps, 'W'));
    cells[4] = fall;
    cells[9] = knocked(a, maps, 2);
    return sheetOf(cells, 10, 2);
}

// Up-down fliers: four bobbing frames, the pause, and the knocked-out overlay.
Canvas ghostSheet(const PixelMaps& maps, Rgba tint) {
    auto tintGhost = [&](const Canvas& c) {
        return recoloured(c, {{pal(maps, 'W'), mix(pal(maps, 'W'), tint, 0.35)}, {pal(maps, 'L'), mix(pal(maps, 'L'), tint, 0.55)}});
    };
    const Canvas a = tintGhost(maps.sprite("ghost_a")), b = tintGhost(maps.sprite("ghost_b"));
    std::vector<Canvas> cells;
    const int lifts[4] = {6, 7, 8, 7};
    for (int i = 0; i < 4; ++i) cells.push_back(cell(i % 2 ? b : a, lifts[i]));
    Canvas pause = cell(a, 6);
    const int top = 32 - 6 - a.height(), left = (32 - a.width()) / 2;
    // eyes squeezed shut at the bump (the map's eyes: columns 5 and 11, rows 5-6)
    const int ex[2] = {left + 5, left + 11};
    for (int e : ex) {
        pause.fillRect(e, top + 5, 2, 2, mix(pal(maps, 'W'), tint, 0.35));
        pause.fillRect(e, top + 6, 2, 1, pal(maps, 'E'));
    }
    cells.push_back(pause);
    Canvas overlay(32, 32);
    for (int e : ex) {
        overlay.set(e, top + 5, pal(maps, 'R')), overlay.set(e + 1, top + 6, pal(maps, 'R'));
        overlay.set(e + 1, top + 5, pal(maps, 'R')), overlay.set(e, top + 6, pal(maps, 'R'));
    }
    dizzyStars(overlay, maps, 16, top - 2, 0);
    cells.push_back(overlay);
    return sheetOf(cells, 6, 1);
}

// Left-right fliers: four wing beats, a pause, knocked out.
Canvas batSheet(const PixelMaps& maps, const Colours& col) {
    const Canvas a = tinted(maps.sprite("bat_a"), maps, col), b = tinted(maps.sprite("bat_b"), maps, col);
    std::vector<Canvas> cells;
    const int lifts[4] = {10, 9, 10, 11};
    for (int i = 0; i < 4; ++i) cells.push_back(cell(i % 2 ? b : a, lifts[i]));
    Canvas pause = cell(b, 10);
    dizzyStars(pause, maps, 16, 32 - 10 - b.height() - 2, 1);
    cells.push_back(pause);
    cells.push_back(knocked(a, maps, 1));
    return sheetOf(cells, 6, 1);
}

Canvas cannonSheet(const PixelMaps& maps) {
    const Canvas base = maps.sprite("cannon");
    std::vector<Canvas> cells;
    for (int i = 0; i < 4; ++i) {
        Canvas c = cell(base, 0, i == 3 ? 1 : 0);
        const int left = (32 - base.width()) / 2 + (i == 3 ? 1 : 0), top = 32 - base.height();
        // The fuse at the back glows brighter, then the muzzle flares.
        const Rgba fuse = i == 0 ? pal(maps, 'o') : (i == 1 ? pal(maps, 'O') : pal(maps, 'Y'));
        c.set(left + 16, top - 1, fuse), c.set(left + 17, top - 2, fuse);
        if (i >= 1) c.set(left + 18, top - 3, pal(maps, 'Y'));
        if (i >= 2) c.set(left + 17, top - 4, pal(maps, 'W')), c.set(left + 19, top - 3, pal(maps, 'R'));
        if (i == 2) c.fillRect(left + 1, top + 3, 1, 3, pal(maps, 'O'));
        cells.push_back(c);
    }
    return sheetOf(cells, 4, 1);
}

// Light drawn for additive pictures: black is "no light".
Canvas lightCell() { return Canvas(32, 32, Rgba(0, 0, 0, 255)); }

Canvas cannonShotSheet() {
    std::vector<Canvas> cells;
    for (int i = 0; i < 3; ++i) {
        Canvas c = lightCell();
        const double cx = 12, cy = 18;
        // tail streaming to the right
        for (int k = 0; k < 5; ++k)
            c.glow(cx + 4 + k * 3.5 + i, cy + ((k + i) % 2 ? 0.6 : -0.6), 6 - k, Rgba(255, 110, 30, 200 - k * 30), 1.5);
        c.glow(cx, cy, 9 + i % 2, Rgba(255, 150, 40, 255), 1.4);
        c.glow(cx - 0.5, cy, 5, Rgba(255, 240, 170, 255), 1.2);
        c.glow(cx - 1, cy - 1, 2.5, Rgba(255, 255, 255, 255), 1.0);
        cells.push_back(c);
    }
    cells.push_back(lightCell());
    return sheetOf(cells, 4, 1);
}

// Sleepers: four dozing frames with drifting z's, awake (shown at half size),
// and knocked out.
Canvas sleeperSheet(const PixelMaps& maps, const Colours& col) {
    const Canvas a = tinted(maps.sprite("sleeper_a"), maps, col), b = tinted(maps.sprite("sleeper_b"), maps, col);
    std::vector<Canvas> cells;
    for (int i = 0; i < 4; ++i) {
        Canvas c = cell(i < 2 ? a : b);
        // a "z" rising and growing on each frame
        for (int k = 0; k < 2; ++k) {
            const int step = (i + k * 2) % 4;
            const int s = 2 + step / 2, x = 20 + step * 2, y = 12 - step * 3;
            const Rgba z = withAlpha(pal(maps, 'W'), 255 - step * 40);
            c.pixelLine(x, y, x + s, y, z);
            c.pixelLine(x + s, y, x, y + s, z);
            c.pixelLine(x, y + s, x + s, y + s, z);
        }
        cells.push_back(c);
    }
    const Canvas awakeBody = tinted(maps.sprite("sleeper_awake"), maps, col);
    Canvas awake = cell(awakeBody);
    // a startled "!" over the cap
    const int capTop = 32 - awakeBody.height();
    awake.fillRect(24, capTop - 11, 2, 6, pal(maps, 'R'));
    awake.fillRect(24, capTop - 4, 2, 2, pal(maps, 'R'));
    cells.push_back(awake);
    cells.push_back(knocked(a, maps));
    return sheetOf(cells, 6, 1);
}

std::vector<Canvas> dragonCells(const PixelMaps& maps, const Colours& col, int walkFrames) {
    const Canvas a = tinted(maps.sprite("dragon_a"), maps, col), b = tinted(maps.sprite("dragon_b"), maps, col);
    std::vector<Canvas> cells;
    for (int i = 0; i < walkFrames; ++i) cells.push_back(cell(i % 2 ? b : a, i % 4 == 1 ? 1 : 0));
    Canvas inhale = cell(tinted(maps.sprite("dragon_inhale"), maps, col));
    // cheeks puffed: little smoke puffs at the nose
    const int nose = (32 - a.width()) / 2;
    inhale.set(nose - 1, 32 - a.height() + 4, pal(maps, 'd')), inhale.set(nose - 2, 32 - a.height() + 3, pal(maps, 'w'));
    cells.push_back(inhale);
    cells.push_back(cell(tinted(maps.sprite("dragon_breathe"), maps, col)));
    return cells;
}

Canvas flameCell(int frame) {
    // A jet of fire from the breather's mouth (just right of the cell) to the left.
    Canvas c = lightCell();
    const double grow = frame < 4 ? (frame + 1) / 4.0 : 1.0;
    const double fadeOut = frame > 6 ? 1.0 - (frame - 6) / 4.0 : 1.0;
    const double reach = 30 * grow;
    Random rnd(900 + frame);
    // Yellow at the mouth, orange through the body, deep red at the ragged
    // edge; each puff is faint so that the overlaps add up to gold, not white,
    // and the tip thins out before the cell's edge.
    for (int k = 0; k < 14; ++k) {
        const double t = k / 13.0;
        const double x = 33 - reach * t;
        const double y = 9 + t * 6 + rnd.range(-1.5, 1.5);
        const double r = 2.5 + t * 5.5;
        const double fade = fadeOut * (1 - 0.8 * t * t);
        c.glow(x, y, r * 1.7, withAlpha(mix(Rgba(230, 70, 10), Rgba(170, 30, 10), t), int(150 * fade)), 1.2);
        c.glow(x, y, r * 1.0, withAlpha(mix(Rgba(255, 170, 40), Rgba(240, 100, 20), t), int(130 * fade)), 1.4);
        c.glow(x + 1, y, r * 0.45, withAlpha(mix(Rgba(255, 220, 90), Rgba(255, 140, 30), t), int(110 * fade)), 1.5);
    }
    c.glow(30, 9, 4, withAlpha(Rgba(255, 200, 80), int(220 * fadeOut)), 1.0);
    return c;
}

}  // namespace

void paintEnemies(PictureSet& set, const PixelMaps& maps) {
    const auto walker12 = walkerCells(maps, kNormal);
    const Canvas walkerBody = tinted(maps.sprite("walker_a"), maps, kNormal);
    set.put("00/02.bmp", crawlerSheet(maps, kNormal, &walkerBody));
    set.put("00/19.bmp", crawlerSheet(maps, kFast, nullptr));
    set.put("00/20.bmp", crawlerSheet(maps, kSlow, nullptr));

    set.put("00/03.bmp", sheetOf(walker12, 10, 1));
    set.put("00/21.bmp", sheetOf(walkerCells(maps, kFast), 10, 1));
    set.put("00/22.bmp", sheetOf(walkerCells(maps, kSlow), 10, 1));

    set.put("00/04.bmp", chaserSheet(maps));

    set.put("00/10.bmp", ghostSheet(maps, Rgba(120, 255, 140)));
    set.put("00/23.bmp", ghostSheet(maps, Rgba(255, 90, 90)));
    set.put("00/24.bmp", ghostSheet(maps, Rgba(90, 140, 255)));

    const Colours batNormal{Rgba(150, 96, 220), Rgba(90, 54, 150)};
    set.put("00/05.bmp", batSheet(maps, batNormal));
    set.put("00/17.bmp", batSheet(maps, kFast));
    set.put("00/18.bmp", batSheet(maps, kSlow));

    set.put("00/06.bmp", cannonSheet(maps));
    set.put("00/07.bmp", cannonShotSheet());

    set.put("00/08.bmp", sleeperSheet(maps, Colours{Rgba(96, 150, 240), Rgba(48, 80, 168)}));
    set.put("00/09.bmp", sleeperSheet(maps, Colours{Rgba(236, 120, 190), Rgba(168, 60, 130)}));

    // Kind 32, the green dragon: six steps, inhale, breathe, falling, crashed.
    {
        auto cells = dragonCells(maps, kNormal, 6);
        Canvas falling = cell(tinted(maps.sprite("dragon_inhale"), maps, kNormal), 4);
        cells.push_back(falling);
        cells.push_back(knocked(tinted(maps.sprite("dragon_a"), maps, kNormal), maps));
        set.put("00/11.bmp", sheetOf(cells, 10, 1));
    }
    // Kind 34, the red salamander: four steps, inhale, breathe, knocked out.
    {
        const Colours salamander{Rgba(250, 120, 50), Rgba(170, 60, 30)};
        auto cells = dragonCells(maps, salamander, 4);
        cells.push_back(knocked(tinted(maps.sprite("dragon_a"), maps, salamander), maps, 2));
        set.put("00/13.bmp", sheetOf(cells, 7, 1));
    }
    std::vector<Canvas> flames;
    for (int i = 0; i < 10; ++i) flames.push_back(flameCell(i));
    set.put("00/12.bmp", sheetOf(flames, 10, 1));
}

}  // namespace artgen
