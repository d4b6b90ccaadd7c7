// Words in pictures, rendered from the DejaVu fonts at generation time.
#pragma once

#include "tools/artgen/canvas.h"

#include <string>

namespace artgen {

enum class Face { Sans, SansBold, SansCondensedBold, Serif, SerifBold, SerifBoldItalic, MonoBold };

// Opens the font library; false when it or the fonts are missing.
bool startText(const std::string& fontDirectory);
void stopText();

// The text as white-on-transparent coverage (anti-aliased), tightly sized.
Canvas renderText(const std::string& utf8, Face face, int pixelSize);

struct TextStyle {
    Face face = Face::SansBold;
    int size = 24;
    Rgba top{255, 255, 255};      // fill gradient, top to bottom
    Rgba bottom{255, 255, 255};
    Rgba outline{0, 0, 0, 0};     // alpha 0 = none
    int outlineWidth = 0;
    Rgba outline2{0, 0, 0, 0};    // a second, outer edge
    int outline2Width = 0;
    int shadow = 0;               // drop shadow offset in pixels, 0 = none
    int letterSpacing = 0;        // extra pixels between letters
};

// Styled text with gradient fill, edges and shadow, tightly sized.
Canvas styledText(const std::string& utf8, const TextStyle& style);

// The same, as tall as the font's line whatever the letters: texts of one
// style drawn at the same y stand on one baseline.
Canvas styledLine(const std::string& utf8, const TextStyle& style);

// Draws styled text centred on (cx, cy).
void drawTextCentred(Canvas& into, const std::string& utf8, const TextStyle& style, int cx, int cy);
void drawTextLeft(Canvas& into, const std::string& utf8, const TextStyle& style, int x, int cy);

}  // namespace artgen
