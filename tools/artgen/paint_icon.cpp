// The game's icon: the witch, standing, in front of a night sky on a rounded
// square. 21/icon.png is the window's icon; the desktop's icon theme gets the
// same picture at each of the usual sizes (writeIconTheme).
#include "tools/artgen/icons.h"
#include "tools/artgen/image_files.h"
#include "tools/artgen/painters.h"
#include "tools/artgen/scenery.h"

#include <algorithm>
#include <filesystem>

namespace artgen {

namespace {

constexpr int kWindowIconSize = 64;
constexpr int kStandingPicture = 0;
// Below this the sprite cannot be drawn at a whole scale: the icon is made
// at this size and averaged down.
constexpr int kSmallestDrawn = 32;

// The part of the picture with something in it.
Canvas trimmed(const Canvas& c) {
    int left = c.width(), top = c.height(), right = -1, bottom = -1;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.get(x, y).a > 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return c;
    // One clear pixel around it, for the outline.
    Canvas out(right - left + 3, bottom - top + 3);
    out.draw(cropped(c, left, top, right - left + 1, bottom - top + 1), 1, 1);
    return out;
}

Canvas drawnIcon(const PixelMaps& maps, int size) {
    Canvas icon(size, size);
    const double s = size;
    const double inset = s / 32.0;
    Canvas sky(size, size);
    sky.verticalGradient(0, 0, size, size, Rgba(38, 24, 84), Rgba(92, 60, 150));
    sky.glow(s * 0.74, s * 0.26, s * 0.3, Rgba(255, 236, 170, 120));
    sky.fillCircle(s * 0.74, s * 0.26, s * 0.11, Rgba(255, 244, 200));
    sky.star(s * 0.2, s * 0.2, s * 0.05, s * 0.02, 4, 0, Rgba(255, 255, 230));
    sky.star(s * 0.36, s * 0.1, s * 0.035, s * 0.014, 4, 0, Rgba(255, 255, 230));
    Canvas plate(size, size);
    plate.fillRoundRect(inset, inset, s - 2 * inset, s - 2 * inset, s * 0.18, Rgba(255, 255, 255));
    plate.maskWith(sky);
    icon.draw(plate, 0, 0);

    // The witch as large as whole pixels allow, feet near the bottom edge.
    const Canvas witch = outlined(trimmed(witchPicture(maps, kStandingPicture)), Rgba(20, 12, 40), 1, false);
    const int scale = std::max(1, static_cast<int>(s * 0.84) / witch.height());
    const int w = witch.width() * scale, h = witch.height() * scale;
    icon.drawScaled(witch, (size - w) / 2, size - h - static_cast<int>(s * 0.07), scale);
    return icon;
}

}  // namespace

Canvas iconPicture(const PixelMaps& maps, int size) {
    if (size >= kSmallestDrawn) return drawnIcon(maps, size);
    return resized(drawnIcon(maps, kSmallestDrawn * 2), size, size);
}

void paintIcon(PictureSet& set, const PixelMaps& maps) { set.put("21/icon.png", iconPicture(maps, kWindowIconSize)); }

bool writeIconTheme(const PixelMaps& maps, const std::string& folder) {
    namespace fs = std::filesystem;
    for (int size : kIconThemeSizes) {
        const std::string side = std::to_string(size);
        const fs::path dir = fs::path(folder) / "hicolor" / (side + "x" + side) / "apps";
        std::error_code error;
        fs::create_directories(dir, error);
        if (!writePng((dir / "lumotta.png").string(), iconPicture(maps, size), 9)) return false;
    }
    return true;
}

}  // namespace artgen
