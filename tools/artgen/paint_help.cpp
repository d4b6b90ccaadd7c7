// 21/help.png: the controls, shown over any scene while F1 is held. Every
// key the game answers to, for play and for the menus.
#include "tools/artgen/front_end_style.h"
#include "tools/artgen/painters.h"

namespace artgen {

namespace {

struct HelpRow {
    const char* keys;
    const char* does;
};

constexpr int kWidth = 600, kHeight = 464;

constexpr HelpRow kPlayRows[] = {
    {"\u2190 \u2192", "walk"},
    {"\u2191", "jump"},
    {"\u2193", "crouch"},
    {"Z", "make or break a block"},
    {"X", "shoot (one magic charge)"},
    {"C", "big spell (needs three charges)"},
    {"A", "pause"},
};

constexpr HelpRow kMenuRows[] = {
    {"\u2191 \u2193  \u2190 \u2192", "choose"},
    {"Z", "decide, go on"},
    {"X", "back (stage select)"},
};

constexpr HelpRow kAnywhereRows[] = {
    {"Esc", "quit (settings and ranking are saved)"},
    {"Print Screen", "save a screenshot"},
    {"F1", "hold for this help"},
    {"Alt+Enter  F11", "full screen on or off"},
    {"\u2212  +  M", "volume down, up, sound off or on"},
};

constexpr int kKeyColumn = 70, kActionColumn = 230, kRowHeight = 19, kHeadingHeight = 31;

// A heading, then its rows of key and action, each row on one baseline;
// returns the y below them.
template <size_t N>
int drawRows(Canvas& c, const char* heading, const HelpRow (&rows)[N], int y) {
    const Canvas title = styledLine(heading, menuWordStyle(19));
    c.draw(title, kKeyColumn - 36, y);
    y += kHeadingHeight;
    TextStyle keys = noteStyle(16);
    keys.top = keys.bottom = Rgba(255, 214, 120);
    const TextStyle does = noteStyle(16);
    for (const HelpRow& row : rows) {
        c.draw(styledLine(row.keys, keys), kKeyColumn, y);
        c.draw(styledLine(row.does, does), kActionColumn, y);
        y += kRowHeight;
    }
    return y + 6;
}

Canvas helpPanel() {
    Canvas c(kWidth, kHeight);
    drawPanel(c, 0, 0, kWidth, kHeight, 240);
    drawTextCentred(c, "CONTROLS", headingStyle(30), kWidth / 2, 32);
    int y = 54;
    y = drawRows(c, "In play", kPlayRows, y);
    y = drawRows(c, "In the menus", kMenuRows, y);
    drawRows(c, "Anywhere", kAnywhereRows, y);
    return c;
}

}  // namespace

void paintHelp(PictureSet& set, const PixelMaps&) { set.put("21/help.png", helpPanel()); }

}  // namespace artgen
