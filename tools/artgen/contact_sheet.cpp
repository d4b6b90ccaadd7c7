#include "tools/artgen/contact_sheet.h"

#include "tools/artgen/image_files.h"
#include "tools/artgen/text.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

namespace artgen {

namespace {

struct Entry {
    std::string name;
    const Canvas* canvas;
    bool keyed;
};

int fileNumber(const std::string& name) {
    try {
        return std::stoi(name);
    } catch (...) {
        return 0;
    }
}

Canvas checker(int w, int h) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c.set(x, y, ((x / 8 + y / 8) % 2) ? Rgba(200, 200, 205) : Rgba(232, 232, 236));
    return c;
}

// The picture as the game would show it: key colour transparent.
Canvas shown(const Canvas& c, bool keyed) {
    if (!keyed) return c;
    Canvas out = c;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.get(x, y).a < 128) out.set(x, y, Rgba(0, 0, 0, 0));
    return out;
}

}  // namespace

bool writeContactSheets(const PictureSet& set, const std::string& directory) {
    std::filesystem::create_directories(directory);
    std::map<std::string, std::vector<Entry>> folders;
    std::map<std::string, std::vector<std::string>> placeholders;
    for (const auto& [file, picture] : set.pictures()) {
        const std::string folder = file.substr(0, file.find('/'));
        const std::string name = file.substr(file.find('/') + 1);
        if (picture.placeholder)
            placeholders[folder].push_back(name);
        else
            folders[folder].push_back({name, &picture.canvas, name.ends_with(".bmp")});
        folders[folder];
    }
    bool ok = true;
    for (auto& [folder, entries] : folders) {
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            const bool ab = a.name.ends_with(".bmp"), bb = b.name.ends_with(".bmp");
            if (ab != bb) return ab;
            return fileNumber(a.name) < fileNumber(b.name);
        });
        int maxW = 1, maxH = 1;
        for (const Entry& e : entries) maxW = std::max(maxW, e.canvas->width()), maxH = std::max(maxH, e.canvas->height());
        // Small sprites are enlarged so they can be judged; big pictures shrink.
        const int box = maxW <= 48 && maxH <= 48 ? 128 : 200;
        const int cellW = std::max(box, 120) + 8, cellH = box + 24;
        const int columns = std::max(1, std::min<int>(int(entries.size()), 2400 / cellW));
        const int rows = int((entries.size() + columns - 1) / columns);
        const int notesH = placeholders[folder].empty() ? 0 : 16 * (1 + int(placeholders[folder].size()) / 40);
        Canvas sheet(columns * cellW + 8, rows * cellH + 40 + notesH + 8, Rgba(60, 56, 72));
        TextStyle title{Face::SansBold, 18, Rgba(255, 255, 255), Rgba(255, 255, 255)};
        drawTextLeft(sheet, "Folder " + folder + "  (" + std::to_string(entries.size()) + " pictures)", title, 8, 18);
        TextStyle label{Face::Sans, 11, Rgba(240, 240, 240), Rgba(240, 240, 240)};
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const int cx = 8 + int(i % columns) * cellW, cy = 40 + int(i / columns) * cellH;
            const Canvas pic = shown(*e.canvas, e.keyed);
            int w = pic.width(), h = pic.height();
            Canvas thumb;
            if (w <= box / 2 && h <= box / 2) {
                const int f = std::max(1, std::min(box / std::max(1, w), box / std::max(1, h)));
                thumb = scaled(pic, std::min(f, 3));
            } else if (w > box || h > box) {
                const double k = std::min(double(box) / w, double(box) / h);
                thumb = resized(pic, std::max(1, int(w * k)), std::max(1, int(h * k)));
            } else {
                thumb = pic;
            }
            Canvas back = checker(thumb.width(), thumb.height());
            back.draw(thumb, 0, 0);
            const int tx = cx + (cellW - 8 - thumb.width()) / 2, ty = cy + (box - thumb.height()) / 2;
            sheet.draw(back, tx, ty);
            std::string text = e.name + "  " + std::to_string(w) + "x" + std::to_string(h);
            drawTextCentred(sheet, text, label, cx + (cellW - 8) / 2, cy + box + 10);
        }
        if (!placeholders[folder].empty()) {
            std::string line = "1x1 transparent: ";
            int y = rows * cellH + 40 + 8, count = 0;
            for (const std::string& n : placeholders[folder]) {
                line += n + " ";
                if (++count % 40 == 0) {
                    drawTextLeft(sheet, line, label, 8, y);
                    line.clear();
                    y += 16;
                }
            }
            if (!line.empty()) drawTextLeft(sheet, line, label, 8, y);
        }
        ok = writePng(directory + "/" + folder + ".png", sheet, 1) && ok;
    }
    return ok;
}

}  // namespace artgen
