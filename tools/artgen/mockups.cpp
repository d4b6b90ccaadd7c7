#include "tools/artgen/mockups.h"

#include "tools/artgen/image_files.h"

#include <filesystem>

namespace artgen {

namespace {

class Screen {
public:
    explicit Screen(const PictureSet& set) : set_(set), c_(640, 480, Rgba(0, 0, 0)) {}

    const Canvas& pic(const std::string& file) const {
        static const Canvas none(1, 1);
        auto it = set_.pictures().find(file);
        return it == set_.pictures().end() ? none : it->second.canvas;
    }
    // Key colour (alpha under half in the painter's picture) is transparent.
    void centred(const Canvas& p, int cx, int cy, bool mirror = false, bool additive = false) {
        Canvas q(p.width(), p.height());
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                Rgba v = p.get(mirror ? p.width() - 1 - x : x, y);
                if (v.a < 128 && !additive) continue;
                q.set(x, y, v);
            }
        if (additive) c_.drawAdd(q, cx - p.width() / 2, cy - p.height() / 2);
        else c_.draw(q, cx - p.width() / 2, cy - p.height() / 2);
    }
    void footed(const Canvas& p, int x, int y, bool mirror = false, bool additive = false) {
        centred(p, x, y - p.height() / 2 + 1, mirror, additive);
    }
    Canvas cell(const std::string& sheet, int index) const {
        const Canvas& s = pic(sheet);
        const int across = s.width() / 32;
        Canvas out(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) out.set(x, y, s.get((index % across) * 32 + x, (index / across) * 32 + y));
        return out;
    }
    void block(int col, int row, int cellIndex) { centred(cell("00/01.bmp", cellIndex), 32 * col + 16, 32 * row + 16); }
    void digits(int value, int count, int x0, int y, int step) {
        int div = 1;
        for (int i = 1; i < count; ++i) div *= 10;
        for (int i = 0; i < count; ++i, div /= 10) centred(pic("04/" + std::to_string((value / div) % 10) + ".png"), x0 + i * step, y);
    }
    Canvas& canvas() { return c_; }
    void dim(int alpha) { c_.fillRect(0, 0, 640, 480, Rgba(0, 0, 0, alpha)); }
    void backdrop(const Canvas& p, int frame) {
        const int a = frame % 640;
        const int x = int(320 + 1.2 * a), y = 240 - a;
        centred(p, x, y), centred(p, x - p.width(), y), centred(p, x, y + p.height()), centred(p, x - p.width(), y + p.height());
    }

private:
    const PictureSet& set_;
    Canvas c_;
};

}  // namespace

bool writeMockups(const PictureSet& set, const std::string& directory) {
    std::filesystem::create_directories(directory);
    bool ok = true;
    for (int theme = 1; theme <= 6; ++theme) {
        Screen s(set);
        s.centred(s.pic("03/" + std::to_string(theme) + ".bmp"), 320, 240);
        for (int col = 1; col <= 18; ++col) s.block(col, 13, 5);
        for (int col = 3; col <= 8; ++col) s.block(col, 9, 0);
        for (int col = 11; col <= 16; ++col) s.block(col, 7, col % 3 == 0 ? 16 : 5);
        s.block(9, 12, 4), s.block(10, 12, 15), s.block(14, 12, 0), s.block(14, 11, 0);
        s.block(5, 5, 0), s.block(6, 5, 5);
        // actors
        s.footed(s.pic("00/01.png"), 13 * 32 + 16, 6 * 32 + 31);
        s.footed(s.pic("00/10.png"), 4 * 32 + 16, 8 * 32 + 31);
        s.footed(s.pic("00/11.png"), 7 * 32 + 16, 8 * 32 + 31);
        s.footed(s.cell("00/03.bmp", 1), 6 * 32 + 16, 12 * 32 + 31);
        s.footed(s.cell("00/02.bmp", 3), 16 * 32 + 16, 12 * 32 + 31, true);
        s.footed(s.cell("00/10.bmp", 0), 17 * 32 + 16, 9 * 32 + 31);
        s.footed(s.cell("00/05.bmp", 1), 10 * 32 + 16, 4 * 32 + 31);
        s.footed(s.cell("00/11.bmp", 7), 15 * 32 + 16, 6 * 32 + 31, true);
        s.footed(s.cell("00/12.bmp", 5), 15 * 32 + 16 + 28, 6 * 32 + 31 + 14, true, true);
        s.footed(s.cell("00/16.bmp", 3), 11 * 32 + 16, 6 * 32 + 31);
        s.footed(s.cell("00/16.bmp", 5), 12 * 32 + 16, 12 * 32 + 31);
        s.footed(s.cell("00/16.bmp", 7), 8 * 32 + 16, 12 * 32 + 31);
        s.footed(s.cell("00/06.bmp", 0), 1 * 32 + 16, 12 * 32 + 31, true);
        s.footed(s.cell("00/07.bmp", 1), 3 * 32 + 16, 12 * 32 + 31, true, true);
        s.footed(s.cell("00/08.bmp", 0), 18 * 32 + 16, 6 * 32 + 31);
        s.footed(s.cell("00/14.bmp", 0), 2 * 32 + 16, 4 * 32 + 31);
        s.footed(s.pic("02/8.bmp"), 4 * 32 + 16, 12 * 32 + 31);
        s.footed(s.pic("02/85.bmp"), 11 * 32 + 16, 12 * 32 + 31, true);
        // status display
        s.digits(3, 2, 90, 32, 10);
        s.digits(theme * 10 - 9, 2, 180, 32, 10);
        s.digits(8765, 4, 264, 32, 10);
        for (int i = 0; i < 2; ++i) s.centred(s.pic("04/10.png"), 350 + 18 * i, 48);
        s.digits(123450, 7, 540, 18, 10);
        s.digits(4200, 7, 540, 48, 10);
        ok = writePng(directory + "/mockup-stage-theme-" + std::to_string(theme) + ".png", s.canvas(), 1) && ok;
    }
    // The title menu.
    {
        Screen s(set);
        s.canvas().fill(Rgba(255, 255, 255));
        s.backdrop(s.pic("21/8.png"), 300);
        for (const char* layer : {"21/6.png", "21/4.png", "21/3.png", "21/2.png"}) s.centred(s.pic(layer), 320, 240);
        const Canvas glint = rotated(s.pic("21/5.png"), 40, 340, 340);
        s.centred(glint, 270, 275, false, true);
        s.centred(s.pic("21/7.png"), 320, 360);
        s.centred(s.pic("21/1.png"), 320, 430);
        ok = writePng(directory + "/mockup-title.png", s.canvas(), 1) && ok;
        s.dim(120);
        s.centred(s.pic("21/16.png"), 320, 240);
        const char* items[5] = {"21/13.png", "21/14.png", "21/15.png", "21/11.png", "21/10.png"};
        for (int i = 0; i < 5; ++i) s.centred(s.pic(items[i]), 320, 170 + 50 * i);
        s.centred(s.pic("21/9.png"), 180, 170 + 50 * 2);
        s.digits(123450, 7, 240, 27, 10);
        s.digits(17, 2, 430, 27, 10);
        ok = writePng(directory + "/mockup-title-menu.png", s.canvas(), 1) && ok;
    }
    // Stage select, ranking, settings, joypad page.
    {
        Screen s(set);
        s.canvas().fill(Rgba(255, 255, 255));
        s.backdrop(s.pic("21/8.png"), 100);
        s.centred(s.pic("22/20.png"), 320, 160);
        s.centred(s.pic("22/31.png"), 400, 160), s.centred(s.pic("22/37.png"), 434, 160);
        s.centred(s.pic("22/21.png"), 320, 20 + s.pic("22/21.png").height() / 2);
        s.centred(s.pic("22/5.png"), 320, 260);
        s.centred(s.pic("22/22.png"), 320, 460 - s.pic("22/22.png").height() / 2);
        ok = writePng(directory + "/mockup-stage-select.png", s.canvas(), 1) && ok;
    }
    {
        Screen s(set);
        s.canvas().fill(Rgba(255, 255, 255));
        s.backdrop(s.pic("21/8.png"), 200);
        s.centred(s.pic("23/0.png"), 320, 260);
        const int scores[5] = {1234567, 98000, 45210, 1200, 0};
        for (int r = 0; r < 5; ++r) {
            const int y = 220 + 55 * r;
            if (r < 3) s.centred(s.pic("23/" + std::to_string(32 - r) + ".png"), 17, y - 10);
            s.centred(s.pic("23/" + std::to_string(1 + r) + ".png"), 60, y);
            int div = 1000000;
            for (int j = 0; j < 7; ++j, div /= 10) s.centred(s.pic("23/" + std::to_string(20 + (scores[r] / div) % 10) + ".png"), 120 + 24 * j, y);
            s.centred(s.pic("23/" + std::to_string(20 + (50 - r * 9) / 10 % 10) + ".png"), 458, y);
            s.centred(s.pic("23/" + std::to_string(20 + (50 - r * 9) % 10) + ".png"), 482, y);
        }
        ok = writePng(directory + "/mockup-ranking.png", s.canvas(), 1) && ok;
    }
    {
        Screen s(set);
        s.canvas().fill(Rgba(255, 255, 255));
        s.backdrop(s.pic("21/8.png"), 50);
        s.centred(s.pic("24/0.png"), 320, 260);
        s.centred(s.pic("24/10.png"), 468, 225), s.centred(s.pic("24/13.png"), 492, 225);
        s.centred(s.pic("24/4.png"), 480, 305), s.centred(s.pic("24/2.png"), 480, 385);
        s.centred(s.pic("24/20.png"), 100, 225);
        ok = writePng(directory + "/mockup-settings.png", s.canvas(), 1) && ok;
        Screen j(set);
        j.canvas().fill(Rgba(255, 255, 255));
        j.backdrop(j.pic("21/8.png"), 50);
        j.centred(j.pic("24/20.png"), 90, 264);
        j.centred(j.pic("24/21.png"), 320, 240);
        ok = writePng(directory + "/mockup-joypad.png", j.canvas(), 1) && ok;
    }
    // Game over, counting down.
    {
        Screen s(set);
        s.centred(s.pic("03/1.bmp"), 320, 240);
        s.centred(resized(s.pic("20/2.png"), 640, 449), 320, 240);
        s.centred(s.pic("20/1.png"), 300, 240);
        s.centred(s.pic("02/150.bmp"), 320, 424);
        s.digits(123450, 7, 540, 18, 10);
        s.digits(4200, 7, 540, 48, 10);
        s.digits(0, 2, 90, 32, 10);
        s.digits(12, 2, 180, 32, 10);
        s.digits(0, 4, 264, 32, 10);
        for (int i = 0; i < 3; ++i) {
            s.footed(s.cell("00/02.bmp", i * 3), 240 - 80 * i, 448);
            s.footed(s.cell("00/02.bmp", i * 3), 400 + 80 * i, 448, true);
        }
        s.centred(s.pic("04/17.png"), 520, 240);
        ok = writePng(directory + "/mockup-game-over.png", s.canvas(), 1) && ok;
    }
    return ok;
}

}  // namespace artgen
