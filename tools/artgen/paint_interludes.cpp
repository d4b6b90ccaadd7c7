// Folder 26: ten interlude pictures, one after every fifth stage, telling
// the little witch's journey to bring back the moon's light. Each is a
// landscape of the stages just played or about to come, the witch at four
// times her size, and a caption.
#include "tools/artgen/block_art.h"
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/light.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

struct Chapter {
    Theme theme;
    int pose;        // player picture number
    bool mirror;     // facing left
    int witchX;      // left edge of the 160x160 witch
    const char* line1;
    const char* line2;
    int prop;        // what else the picture shows
};

enum Prop { DarkMoon, KeyHeld, Owl, CaveMouth, Crystals, StarrySky, Ruins, Wind, Tower, AllSparks };

const Chapter kChapters[10] = {
    {Theme::Meadow, 81, false, 120, "The moon went dark last night.", "Little Lumotta takes her wand and sets out.", DarkMoon},
    {Theme::Meadow, 66, false, 300, "Every key she finds holds a spark of moonlight.", "She keeps each one safe in her hat.", KeyHeld},
    {Theme::Forest, 41, false, 140, "Deep in the Whispering Wood an old owl hoots:", "\"Follow the sparks. They know the way home.\"", Owl},
    {Theme::Forest, 6, false, 90, "Under the hill a cave hums with a blue light.", "She lights her wand and steps inside.", CaveMouth},
    {Theme::Cave, 85, false, 110, "The crystals drink the light she carries", "and shine it back, brighter than before.", Crystals},
    {Theme::Desert, 0, false, 240, "Out of the caves, the desert sky is full of stars,", "but the moon is nowhere to be seen.", StarrySky},
    {Theme::Desert, 41, true, 380, "Old stones point to the highest peak.", "Someone carried the moon up there.", Ruins},
    {Theme::Snow, 22, false, 160, "The mountain wind bites and whirls.", "Lumotta hums a tune to keep her courage warm.", Wind},
    {Theme::Snow, 41, false, 80, "At the summit stands a dark tower,", "its top wrapped in the stolen light.", Tower},
    {Theme::Tower, 126, false, 240, "One last climb. Every spark she gathered glows.", "Go, Lumotta! Bring the moon home!", AllSparks},
};

void drawProp(Canvas& c, const PixelMaps& maps, int prop) {
    switch (prop) {
    case DarkMoon:
        c.fillCircle(470, 110, 50, Rgba(90, 96, 130));
        c.fillCircle(455, 98, 12, Rgba(100, 106, 140));
        c.ring(470, 110, 52, 3, Rgba(60, 60, 90, 160));
        break;
    case KeyHeld:
        for (int i = 0; i < 5; ++i) sparkle(c, 380 + i * 40, 120 + (i % 2) * 40, 14, Rgba(255, 240, 180, 255));
        break;
    case Owl: {
        const double x = 470, y = 190;
        c.fillRect(380, 226, 220, 12, Rgba(70, 50, 40));
        c.fillEllipse(x, y, 34, 40, Rgba(120, 90, 70));
        c.fillEllipse(x, y + 10, 22, 26, Rgba(200, 170, 130));
        c.fillCircle(x - 13, y - 14, 12, Rgba(255, 250, 230));
        c.fillCircle(x + 13, y - 14, 12, Rgba(255, 250, 230));
        c.fillCircle(x - 11, y - 14, 5, Rgba(30, 28, 60));
        c.fillCircle(x + 15, y - 14, 5, Rgba(30, 28, 60));
        c.fillPolygon({{x - 4, y - 4}, {x + 4, y - 4}, {x, y + 4}}, Rgba(250, 180, 60));
        c.fillPolygon({{x - 30, y - 30}, {x - 20, y - 44}, {x - 14, y - 28}}, Rgba(120, 90, 70));
        c.fillPolygon({{x + 30, y - 30}, {x + 20, y - 44}, {x + 14, y - 28}}, Rgba(120, 90, 70));
        for (int i = 0; i < 4; ++i) sparkle(c, 300 + i * 60, 90 + (i % 2) * 30, 10, Rgba(255, 240, 160, 255));
        break;
    }
    case CaveMouth:
        c.fillEllipse(460, 380, 150, 130, Rgba(40, 30, 40));
        c.fillEllipse(460, 390, 110, 100, Rgba(20, 16, 40));
        c.glow(460, 400, 110, Rgba(120, 200, 255, 120), 1.5);
        break;
    case Crystals:
        for (int i = 0; i < 6; ++i) {
            const double x = 330 + i * 50, s = 30 + (i % 3) * 14;
            c.glow(x, 380 - s, s * 2, Rgba(140, 220, 255, 90));
            c.fillPolygon({{x - s * 0.4, 390}, {x, 390 - s * 2}, {x + s * 0.4, 390}}, Rgba(150, 230, 255, 230));
            c.fillPolygon({{x, 390}, {x, 390 - s * 2}, {x + s * 0.4, 390}}, Rgba(90, 170, 230, 230));
        }
        break;
    case StarrySky:
        for (int i = 0; i < 8; ++i) sparkle(c, 60 + i * 75, 60 + (i % 3) * 25, 8, Rgba(255, 255, 230, 255));
        c.ring(320, 90, 40, 2, Rgba(200, 200, 255, 120));
        break;
    case Ruins:
        c.fillPolygon({{60, 400}, {200, 160}, {340, 400}}, Rgba(150, 90, 100, 220));
        c.line(200, 160, 200, 60, 3, Rgba(255, 230, 170, 200));
        c.star(200, 52, 14, 5, 5, 0, Rgba(255, 230, 170, 230));
        break;
    case Wind:
        for (int i = 0; i < 6; ++i) {
            const double y = 120 + i * 45;
            for (double x = 40; x < 600; x += 2) c.fillCircle(x, y + 10 * std::sin(x / 40.0 + i), 1.2, Rgba(255, 255, 255, 90));
        }
        break;
    case Tower:
        c.fillRect(450, 40, 70, 330, Rgba(40, 24, 60));
        c.fillPolygon({{430, 50}, {540, 50}, {485, -20}}, Rgba(70, 30, 100));
        for (int k = 0; k < 4; ++k) c.fillRect(476, 90 + k * 60, 18, 26, Rgba(255, 210, 120, 220));
        c.glow(485, 40, 90, Rgba(230, 220, 255, 200), 1.5);
        break;
    case AllSparks:
        for (int i = 0; i < 16; ++i) {
            const double a = i * 3.14159265 / 8;
            sparkle(c, 320 + std::cos(a) * 150, 220 + std::sin(a) * 120, 10, Rgba(255, 240, 180, 255));
        }
        break;
    }
    (void)maps;
}

Canvas interlude(const PixelMaps& maps, int number) {
    const Chapter& ch = kChapters[number - 1];
    Canvas c(640, 480);
    paintLandscape(c, ch.theme, false);
    drawProp(c, maps, ch.prop);
    // The ground she stands on: a row of the stage's blocks.
    const Canvas wall = scaled(wallBlock(maps, ch.theme), 2);
    for (int x = 0; x < 640; x += 64) c.draw(wall, x, 376);
    Canvas witch = witchLarge(maps, ch.pose, 4);
    if (ch.mirror) witch = mirrored(witch);
    c.draw(withShadow(witch, 5, 5, 3, 100), ch.witchX, 376 - 160);
    if (ch.prop == KeyHeld) {
        const Canvas key = scaled(keyFrame(maps, 0), 3);
        c.draw(key, ch.witchX + 90, 376 - 250);
    }
    // Chapter number and caption.
    const Canvas chapter = styledText("Chapter " + std::to_string(number), headingStyle(28));
    c.draw(chapter, 24, 18);
    c.fillRoundRect(16, 398, 608, 70, 18, Rgba(24, 12, 48, 215));
    c.fillRoundRect(18, 400, 604, 66, 16, Rgba(60, 34, 104, 120));
    TextStyle line = noteStyle(20);
    line.face = Face::Serif;
    const Canvas a = styledText(ch.line1, line), b = styledText(ch.line2, line);
    c.draw(a, 320 - a.width() / 2, 418 - a.height() / 2);
    c.draw(b, 320 - b.width() / 2, 446 - b.height() / 2);
    return c;
}

}  // namespace

void paintInterludes(PictureSet& set, const PixelMaps& maps) {
    for (int n = 1; n <= 10; ++n) set.put(fileName("26", n, ".png"), interlude(maps, n));
}

}  // namespace artgen
