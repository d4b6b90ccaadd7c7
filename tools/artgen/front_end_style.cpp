#include "tools/artgen/front_end_style.h"

#include "tools/artgen/hud_art.h"
#include "tools/artgen/sprite_kit.h"

namespace artgen {

TextStyle menuWordStyle(int size) {
    TextStyle s;
    s.face = Face::SansBold;
    s.size = size;
    s.top = Rgba(255, 255, 255);
    s.bottom = Rgba(220, 200, 255);
    s.outline = Rgba(80, 40, 140);
    s.outlineWidth = 3;
    s.outline2 = Rgba(24, 12, 48);
    s.outline2Width = 1;
    s.shadow = 2;
    return s;
}

TextStyle headingStyle(int size) {
    TextStyle s;
    s.face = Face::SerifBold;
    s.size = size;
    s.top = Rgba(255, 250, 210);
    s.bottom = Rgba(255, 176, 70);
    s.outline = Rgba(110, 40, 30);
    s.outlineWidth = 3;
    s.outline2 = Rgba(24, 12, 40);
    s.outline2Width = 2;
    s.shadow = 3;
    return s;
}

TextStyle noteStyle(int size) {
    TextStyle s;
    s.face = Face::SansBold;
    s.size = size;
    s.top = Rgba(255, 255, 255);
    s.bottom = Rgba(230, 225, 255);
    s.outline = Rgba(24, 12, 48);
    s.outlineWidth = 2;
    return s;
}

Canvas titleWord() {
    TextStyle s;
    s.face = Face::SerifBoldItalic;
    s.size = 104;
    s.top = Rgba(255, 240, 255);
    s.bottom = Rgba(190, 120, 255);
    s.outline = Rgba(90, 30, 150);
    s.outlineWidth = 5;
    s.outline2 = Rgba(255, 214, 120);
    s.outline2Width = 3;
    s.shadow = 5;
    const Canvas word = styledText("Lumotta", s);
    // Room above for the star over its last letter.
    Canvas c(word.width() + 8, word.height() + 10);
    c.draw(word, 0, 10);
    const double x = word.width() - 18, y = 18;
    c.star(x, y, 18, 7, 5, 10, Rgba(255, 214, 120));
    c.star(x, y, 11, 4.4, 5, 10, Rgba(255, 250, 220));
    return c;
}

void drawPanel(Canvas& c, double x, double y, double w, double h, int alpha) {
    c.fillRoundRect(x - 3, y - 3, w + 6, h + 6, 20, Rgba(24, 12, 40, alpha));
    c.fillRoundRect(x - 1, y - 1, w + 2, h + 2, 18, Rgba(255, 206, 110, alpha));
    c.fillRoundRect(x + 2, y + 2, w - 4, h - 4, 16, Rgba(60, 34, 104, alpha));
    // glassy top half
    for (int j = 0; j < int(h / 2); ++j) {
        const double t = j / (h / 2);
        for (int i = int(x + 8); i < int(x + w - 8); ++i)
            if (c.get(i, int(y) + 4 + j).a) c.blend(i, int(y) + 4 + j, Rgba(150, 120, 220, int(40 * (1 - t))));
    }
}

void drawRowStrip(Canvas& c, double x, double y, double w, double h) {
    c.fillRoundRect(x, y, w, h, h / 2, Rgba(255, 255, 255, 36));
    c.fillRoundRect(x + 2, y + h - 4, w - 4, 2, 1, Rgba(255, 206, 110, 70));
}

Canvas menuCursor(const PixelMaps& maps) {
    const Canvas hat = cropped(maps.sprite("hat"), 0, 0, 22, 13);
    Canvas c(40, 32);
    c.draw(scaled(hat, 2), -8, 4);
    c.star(33, 16, 7, 2.8, 5, 0, Rgba(24, 12, 40));
    c.star(33, 16, 5.6, 2.3, 5, 0, pal(maps, 'Y'));
    c.star(33, 16, 2.3, 1.0, 5, 0, pal(maps, 'W'));
    return c;
}

Canvas wordPlate(const std::string& word, int w, int h, Rgba plate) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, h / 2.0, Rgba(24, 12, 40));
    c.fillRoundRect(2, 2, w - 4, h - 4, h / 2.0 - 2, plate);
    c.fillRoundRect(6, 4, w - 12, (h - 8) / 2.0, (h - 8) / 4.0, Rgba(255, 255, 255, 60));
    const Canvas t = styledText(word, menuWordStyle(h * 5 / 8));
    c.draw(t, (w - t.width()) / 2, (h - t.height()) / 2);
    return c;
}

Canvas bigDigit(int digit, int w, int h, int size) {
    TextStyle s = headingStyle(size);
    s.face = Face::SansBold;
    s.outlineWidth = 2;
    s.outline2Width = 1;
    s.shadow = 2;
    return digitPicture(digit, w, h, s);
}

}  // namespace artgen
