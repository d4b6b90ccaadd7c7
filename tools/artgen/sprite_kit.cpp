#include "tools/artgen/sprite_kit.h"

#include <algorithm>

namespace artgen {

std::string fileName(const std::string& folder, int number, const std::string& extension) {
    std::string n = std::to_string(number);
    if ((folder == "00" || folder == "10") && n.size() < 2) n = "0" + n;
    return folder + "/" + n + extension;
}

Canvas sheetOf(const std::vector<Canvas>& cells, int across, int down, int cellW, int cellH) {
    Canvas sheet(across * cellW, down * cellH);
    for (size_t i = 0; i < cells.size() && int(i) < across * down; ++i) {
        const int cx = int(i % across) * cellW, cy = int(i / across) * cellH;
        const Canvas cell = cells[i].width() == cellW && cells[i].height() == cellH
                                ? cells[i]
                                : centred(cells[i], cellW, cellH);
        sheet.draw(cell, cx, cy);
    }
    return sheet;
}

Canvas footed(const Canvas& sprite, int w, int h, int dx, int dy) {
    Canvas out(w, h);
    out.draw(sprite, (w - sprite.width()) / 2 + dx, h - sprite.height() + dy);
    return out;
}

Canvas centred(const Canvas& sprite, int w, int h, int dx, int dy) {
    Canvas out(w, h);
    out.draw(sprite, (w - sprite.width()) / 2 + dx, (h - sprite.height()) / 2 + dy);
    return out;
}

Canvas inked(const Canvas& sprite, const PixelMaps& maps) { return outlined(sprite, maps.colour('K'), 1, false); }

Canvas lit(const Canvas& sprite, double strength) {
    Canvas out = sprite;
    const double w = std::max(1, sprite.width() - 1), h = std::max(1, sprite.height() - 1);
    for (int y = 0; y < sprite.height(); ++y)
        for (int x = 0; x < sprite.width(); ++x) {
            const Rgba p = sprite.get(x, y);
            if (!p.a) continue;
            const double t = (x / w + y / h) / 2;  // 0 top-left .. 1 bottom-right
            out.set(x, y, shade(p, 1.0 + strength * (0.5 - t)));
        }
    return out;
}

}  // namespace artgen
