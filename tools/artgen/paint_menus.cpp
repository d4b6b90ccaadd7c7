// Folders 22 (stage select), 23 (ranking) and 24 (settings). Positions
// below are the screen places the scenes draw the pictures at.
#include "tools/artgen/block_art.h"
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

// --- stage select --------------------------------------------------------

// "STAGE" at (320, 160); the two digits follow at x 400 and 434.
// Centred at (320, 160) over the walking window, which starts at screen row
// 198: the panel covers rows 132..188 and leaves a gap above the window.
Canvas stageLabel() {
    Canvas c(320, 72);  // screen x 160..480
    drawPanel(c, 8, 8, 304, 56, 235);
    const Canvas word = styledText("STAGE", headingStyle(38));
    c.draw(word, 214 - word.width(), 36 - word.height() / 2);
    return c;
}

Canvas selectBanner() {
    const Canvas word = styledText("STAGE SELECT", headingStyle(44));
    Canvas c(word.width() + 60, word.height() + 24);
    c.fillRoundRect(0, 0, c.width(), c.height(), 22, Rgba(24, 12, 48, 200));
    c.draw(word, 30, 12);
    return c;
}

Canvas selectHint() {
    const Canvas t = styledText("\xE2\x86\x90 \xE2\x86\x92  one stage      \xE2\x86\x91 \xE2\x86\x93  ten stages      Z  start      X  back",
                                noteStyle(16));
    Canvas c(t.width() + 32, t.height() + 14);
    c.fillRoundRect(0, 0, c.width(), c.height(), c.height() / 2.0, Rgba(24, 12, 48, 200));
    c.draw(t, 16, 7);
    return c;
}

// The 16-frame window: the witch walks on while the blocks pass under her.
// Centred at (320, 260) and 124 pixels tall, it spans screen rows 198..322,
// clear of the stage label above it.
Canvas walkFrame(const PixelMaps& maps, int frame) {
    const int w = 300, h = 112;
    const int ground = h - 28;  // the blocks' top row; their last four rows are cut off
    Canvas scene(w, h);
    paintLandscape(scene, Theme::Meadow, false);
    const Canvas brick = brickBlock(maps), magic = magicBlock(maps);
    const int shift = frame * 2;  // 32 pixels per 16 frames: the loop closes
    for (int i = -1; i < w / 32 + 2; ++i) scene.draw(i % 4 == 2 ? magic : brick, i * 32 - shift, ground);
    const int walk[4] = {6, 7, 8, 9};
    const Canvas witch = witchLarge(maps, walk[frame % 4], 2);
    scene.draw(witch, w / 2 - 40, ground - 80);
    // a sparkle trail behind her wand
    for (int k = 0; k < 3; ++k) {
        const double x = w / 2 - 40 - 8 - k * 14 + (frame % 4) * 2, y = ground - 40 - k * 3 + ((frame + k) % 2) * 2;
        scene.star(x, y, 4 - k, 1.5, 4, 0, Rgba(255, 240, 180, 220 - k * 50));
    }
    Canvas c(w + 12, h + 12);
    c.fillRoundRect(0, 0, w + 12, h + 12, 18, Rgba(24, 12, 40));
    c.fillRoundRect(2, 2, w + 8, h + 8, 16, Rgba(255, 206, 110));
    Canvas mask(w, h);
    mask.fillRoundRect(0, 0, w, h, 12, Rgba(255, 255, 255));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask.get(x, y).a > 127) c.set(x + 6, y + 6, scene.get(x, y));
    return c;
}

// --- ranking --------------------------------------------------------------

// The panel at (320, 260), 640 x 440: screen rows 40..480.
Canvas rankingPanel() {
    Canvas c(640, 440);
    drawPanel(c, 4, 4, 632, 432, 215);
    const Canvas title = styledText("RANKING", headingStyle(46));
    c.draw(title, 320 - title.width() / 2, 52 - title.height() / 2);
    TextStyle head = noteStyle(16);
    head.top = Rgba(255, 236, 160), head.bottom = Rgba(240, 180, 90);
    auto centredText = [&](const std::string& s, int x, int y) {
        const Canvas t = styledText(s, head);
        c.draw(t, x - t.width() / 2, y - t.height() / 2);
    };
    centredText("PLACE", 52, 140);
    centredText("SCORE", 192, 140);
    centredText("STAGE", 470, 140);
    for (int k = 0; k < 5; ++k) drawRowStrip(c, 10, 180 + 55 * k - 20 + 2, 512, 40);
    // a moon and stars on the free right side
    c.fillCircle(584, 250, 30, Rgba(255, 240, 200));
    c.fillCircle(598, 240, 27, Rgba(60, 34, 104));
    for (int i = 0; i < 5; ++i) c.star(560 + (i % 2) * 40, 320 + i * 22, 5, 2, 4, 0, Rgba(255, 230, 170, 200));
    return c;
}

Canvas placeLabel(int place) {
    const char* suffix = place == 1 ? "st" : place == 2 ? "nd" : place == 3 ? "rd" : "th";
    TextStyle s = menuWordStyle(24);
    if (place <= 3) {
        const Rgba tops[3] = {Rgba(255, 250, 200), Rgba(255, 255, 255), Rgba(255, 230, 200)};
        const Rgba bottoms[3] = {Rgba(255, 190, 60), Rgba(190, 200, 220), Rgba(220, 140, 90)};
        s.top = tops[place - 1], s.bottom = bottoms[place - 1];
    }
    const Canvas t = styledText(std::to_string(place) + suffix, s);
    Canvas c(72, 40);
    c.draw(t, (72 - t.width()) / 2, (40 - t.height()) / 2);
    return c;
}

Canvas medal(int rank) {
    const Rgba faces[3] = {Rgba(255, 210, 70), Rgba(210, 214, 230), Rgba(214, 130, 80)};
    const Rgba lights[3] = {Rgba(255, 246, 190), Rgba(250, 252, 255), Rgba(246, 190, 140)};
    const Rgba darks[3] = {Rgba(200, 140, 30), Rgba(140, 144, 170), Rgba(150, 80, 46)};
    Canvas c(28, 30);
    c.fillPolygon({{7, 0}, {13, 0}, {16, 12}, {10, 12}}, Rgba(200, 50, 70));
    c.fillPolygon({{15, 0}, {21, 0}, {18, 12}, {12, 12}}, Rgba(70, 90, 200));
    c.fillCircle(14, 19, 10, Rgba(24, 12, 40));
    c.fillCircle(14, 19, 8.8, darks[rank]);
    c.fillCircle(13.4, 18.4, 7.6, faces[rank]);
    c.star(13.6, 19, 5.5, 2.3, 5, 0, lights[rank]);
    const char* n[3] = {"1", "2", "3"};
    TextStyle s = noteStyle(9);
    s.outline = darks[rank], s.outlineWidth = 1;
    const Canvas t = styledText(n[rank], s);
    c.draw(t, 14 - t.width() / 2, 19 - t.height() / 2);
    return c;
}

// --- settings ---------------------------------------------------------------

// The options panel at (320, 260), 640 x 440 (screen rows 40..480); the
// cursor stands at x 100 on rows 150, 225, 300, 375 and 450.
Canvas optionsPanel() {
    Canvas c(640, 440);
    drawPanel(c, 40, 4, 560, 432, 215);
    const Canvas title = styledText("SETTINGS", headingStyle(42));
    c.draw(title, 320 - title.width() / 2, 44 - title.height() / 2);
    const char* rows[5] = {"JOYPAD BUTTONS  \xE2\x96\xB8", "LIVES", "TIME LIMIT", "SCREEN", "BACK TO TITLE"};
    for (int r = 0; r < 5; ++r) {
        const int y = 150 + 75 * r - 40;
        drawRowStrip(c, 126, y - 24, 440, 48);
        const Canvas t = styledText(rows[r], menuWordStyle(24));
        c.draw(t, 142, y - t.height() / 2);
    }
    // the wells the values are drawn into
    c.fillRoundRect(450, 225 - 40 - 20, 60, 40, 10, Rgba(14, 8, 28, 220));
    return c;
}

Canvas joypadPanel() {
    Canvas c(640, 480);
    // Title.
    c.fillRoundRect(20, 14, 330, 60, 22, Rgba(24, 12, 48, 210));
    const Canvas title = styledText("JOYPAD", headingStyle(38));
    c.draw(title, 40, 44 - title.height() / 2);
    // A cross of four arms under the arrows the scene writes at its corners.
    const Rgba ink(24, 12, 48, 230), face(60, 34, 104, 230);
    c.fillRoundRect(498, 6, 48, 180, 14, ink);
    // The right arm reaches past the "→" the scene writes at x 585.
    c.fillRoundRect(428, 70, 192, 52, 14, ink);
    c.fillRoundRect(502, 10, 40, 172, 12, face);
    c.fillRoundRect(432, 74, 184, 44, 12, face);
    c.fillCircle(522, 96, 14, Rgba(24, 12, 48, 230));
    TextStyle note = noteStyle(15);
    const Canvas hint = styledText("Hold a joypad button on a row to give it that job.", note);
    c.fillRoundRect(16, 182 - 14, hint.width() + 24, 28, 14, Rgba(24, 12, 48, 190));
    c.draw(hint, 28, 182 - hint.height() / 2);
    const char* rows[4] = {"BUTTON 1   MAGIC", "BUTTON 2   SHOT", "BUTTON 3   SPELL", "BUTTON 4   PAUSE"};
    for (int r = 0; r < 4; ++r) {
        const int y = 212 + 52 * r;
        c.fillRoundRect(122, y - 22, 460, 44, 16, Rgba(24, 12, 48, 210));
        c.fillRoundRect(124, y - 20, 456, 40, 14, Rgba(60, 34, 104, 210));
        const Canvas t = styledText(rows[r], menuWordStyle(22));
        c.draw(t, 140, y - t.height() / 2);
        c.fillRoundRect(504, y - 19, 56, 38, 10, Rgba(14, 8, 28, 240));
    }
    const char* bottom[2] = {"BACK", "TEST"};
    const int bx[2] = {120, 260};
    for (int i = 0; i < 2; ++i) {
        const Canvas t = styledText(bottom[i], menuWordStyle(22));
        c.fillRoundRect(bx[i], 440 - 22, t.width() + 28, 44, 16, Rgba(24, 12, 48, 210));
        c.draw(t, bx[i] + 14, 440 - t.height() / 2);
    }
    return c;
}

}  // namespace

void paintMenus(PictureSet& set, const PixelMaps& maps) {
    // Stage select.
    for (int f = 0; f < 16; ++f) set.put(fileName("22", 1 + f, ".png"), walkFrame(maps, f));
    set.put("22/20.png", stageLabel());
    set.put("22/21.png", selectBanner());
    set.put("22/22.png", selectHint());
    for (int d = 0; d < 10; ++d) set.put(fileName("22", 30 + d, ".png"), bigDigit(d, 32, 48, 40));

    // Ranking.
    set.put("23/0.png", rankingPanel());
    for (int p = 1; p <= 10; ++p) set.put(fileName("23", p, ".png"), placeLabel(p));
    for (int d = 0; d < 10; ++d) set.put(fileName("23", 20 + d, ".png"), bigDigit(d, 22, 34, 28));
    set.put("23/30.png", medal(2));
    set.put("23/31.png", medal(1));
    set.put("23/32.png", medal(0));

    // Settings.
    set.put("24/0.png", optionsPanel());
    set.put("24/2.png", wordPlate("WINDOW", 150, 40, Rgba(70, 110, 200)));
    set.put("24/3.png", wordPlate("FULL", 150, 40, Rgba(200, 90, 160)));
    set.put("24/4.png", wordPlate("ON", 150, 40, Rgba(70, 170, 100)));
    set.put("24/5.png", wordPlate("OFF", 150, 40, Rgba(170, 70, 80)));
    for (int d = 0; d < 10; ++d) set.put(fileName("24", 10 + d, ".png"), bigDigit(d, 22, 34, 28));
    set.put("24/20.png", menuCursor(maps));
    set.put("24/21.png", joypadPanel());
}

}  // namespace artgen
