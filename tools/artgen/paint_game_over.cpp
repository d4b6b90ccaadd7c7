// Folder 20: the game-over pictures. 1 "CONTINUE?" slides in beside the
// falling countdown digits; 2 (drawn 640x449 at the screen's centre) darkens
// the field below the status bar and says "GAME OVER"; 3 is the closing
// picture when the player does not continue. (20/4 is loaded but never
// drawn: it stays a 1x1 picture.)
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"
#include "tools/artgen/sprite_kit.h"

#include <cmath>

namespace artgen {

namespace {

// The banner comes to rest centred at x 300; the countdown digits (up to 48
// wide) fall centred at x 520. The banner keeps to the left of x 472, a clear
// gap from the digits' left edge at 496.
Canvas continueBanner() {
    constexpr int kRestX = 300, kRightLimit = 472, kPadding = 20;
    constexpr int kWidest = 2 * (kRightLimit - kRestX);
    int size = 50;
    Canvas word = styledText("CONTINUE?", headingStyle(size));
    while (word.width() + 2 * kPadding > kWidest && size > 20) word = styledText("CONTINUE?", headingStyle(size -= 2));
    Canvas c(word.width() + 2 * kPadding, word.height() + 56);
    c.fillRoundRect(0, 0, c.width(), c.height(), 24, Rgba(24, 12, 48, 200));
    c.draw(word, kPadding, 10);
    const Canvas hint = styledText("press Z", noteStyle(16));
    c.draw(hint, (c.width() - hint.width()) / 2, c.height() - hint.height() - 10);
    return c;
}

Canvas veil() {
    // 640x449 drawn centred at (320, 240): rows 0..48 cover the status bar and stay clear.
    Canvas c(640, 449);
    for (int y = 49; y < 449; ++y)
        for (int x = 0; x < 640; ++x) {
            const double d = std::hypot(x - 320.0, (y - 240.0) * 1.3) / 420.0;
            c.set(x, y, Rgba(20, 8, 40, int(std::min(220.0, 110 + 110 * d))));
        }
    const Canvas word = styledText("GAME OVER", headingStyle(64));
    c.draw(word, 320 - word.width() / 2, 110 - word.height() / 2);
    return c;
}

Canvas closing(const PixelMaps& maps) {
    Canvas c(640, 480);
    paintLandscape(c, Theme::Snow, false);
    c.fillRect(0, 0, 640, 480, Rgba(10, 6, 30, 90));
    // The dark moon she has yet to light.
    c.fillCircle(470, 120, 56, Rgba(60, 64, 100));
    c.fillCircle(458, 108, 14, Rgba(70, 74, 112));
    c.ring(470, 120, 58, 3, Rgba(140, 140, 200, 120));
    const Canvas witch = witchLarge(maps, 155, 4);
    c.draw(withShadow(witch, 5, 5, 3, 100), 320 - 80, 440 - 160);
    const Canvas word = styledText("GAME OVER", headingStyle(60));
    c.draw(word, 320 - word.width() / 2, 70 - word.height() / 2);
    const Canvas line = styledText("The moon waits for you. Try again!", noteStyle(20));
    c.fillRoundRect(320 - line.width() / 2 - 16, 452 - 18, line.width() + 32, 36, 18, Rgba(24, 12, 48, 200));
    c.draw(line, 320 - line.width() / 2, 452 - line.height() / 2);
    return c;
}

}  // namespace

void paintGameOver(PictureSet& set, const PixelMaps& maps) {
    set.put("20/1.png", continueBanner());
    set.put("20/2.png", veil());
    set.put("20/3.png", closing(maps));
}

}  // namespace artgen
