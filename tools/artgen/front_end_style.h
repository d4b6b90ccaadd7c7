// The look shared by the front-end pictures: panels, words, cursor, digits.
#pragma once

#include "tools/artgen/canvas.h"
#include "tools/artgen/pixel_maps.h"
#include "tools/artgen/text.h"

#include <string>

namespace artgen {

// Words of the menus: white to lilac with a deep violet edge.
TextStyle menuWordStyle(int size);
// Big headings: gold with a dark edge and shadow.
TextStyle headingStyle(int size);
// Small explanatory text on dark panels.
TextStyle noteStyle(int size);

// "Lumotta" as the title shows it, with the star over its last letter: the
// word fills the picture but for 8 columns on the right and 10 rows on top.
Canvas titleWord();

// A rounded panel: translucent violet glass with a gold rim.
void drawPanel(Canvas& c, double x, double y, double w, double h, int alpha = 225);
// A lighter strip for one row of a table.
void drawRowStrip(Canvas& c, double x, double y, double w, double h);

// The menu cursor: the witch's hat with a star, pointing right.
Canvas menuCursor(const PixelMaps& maps);
// A word on a small rounded plate (values such as "ON", "FULL").
Canvas wordPlate(const std::string& word, int w, int h, Rgba plate);
// A front-end digit set picture: one digit centred in w x h.
Canvas bigDigit(int digit, int w, int h, int size);

}  // namespace artgen
