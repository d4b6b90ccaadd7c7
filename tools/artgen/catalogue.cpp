#include "tools/artgen/catalogue.h"

#include <algorithm>
#include <set>

namespace artgen {

namespace {

void addRange(std::vector<std::string>& out, const std::string& folder, int first, int last, const std::string& ext,
              bool twoDigits = false, std::set<int> skip = {}) {
    for (int n = first; n <= last; ++n) {
        if (skip.count(n)) continue;
        std::string num = std::to_string(n);
        if (twoDigits && num.size() < 2) num = "0" + num;
        out.push_back(folder + "/" + num + ext);
    }
}

const std::set<std::string>& catalogueSet() {
    static const std::set<std::string> files = [] {
        const auto list = catalogueFiles();
        return std::set<std::string>(list.begin(), list.end());
    }();
    return files;
}

}  // namespace

std::vector<std::string> catalogueFiles() {
    std::vector<std::string> f;
    addRange(f, "00", 1, 24, ".bmp", true);            // sheets of 32x32 cells
    addRange(f, "00", 1, 8, ".png", true);             // the key's turn
    addRange(f, "00", 10, 11, ".png", true);           // the exit, closed and open
    addRange(f, "00", 17, 17, ".png", true);
    addRange(f, "00", 20, 20, ".png", true);
    addRange(f, "02", 0, 399, ".bmp");                 // player and effect pictures
    addRange(f, "03", 1, 6, ".bmp");                   // stage backgrounds
    addRange(f, "04", 0, 153, ".png", false, {123});   // status, banners, effect frames
    addRange(f, "16", 1, 6, ".png");                   // spell backdrop
    addRange(f, "17", 1, 24, ".png");                  // key spark arrival
    addRange(f, "18", 1, 20, ".png");                  // key flash
    addRange(f, "19", 1, 68, ".png");                  // stage intro light
    addRange(f, "20", 1, 4, ".png");                   // game over
    addRange(f, "21", 1, 16, ".png", false, {12});     // title
    f.push_back("21/help.png");                        // the controls, over any scene
    f.push_back("21/icon.png");                        // the window's icon
    addRange(f, "22", 0, 199, ".png");                 // stage select
    addRange(f, "23", 0, 10, ".png");                  // ranking
    addRange(f, "23", 20, 32, ".png");
    addRange(f, "24", 0, 0, ".png");                   // settings
    addRange(f, "24", 2, 5, ".png");
    addRange(f, "24", 10, 21, ".png");
    addRange(f, "26", 1, 10, ".png");                  // interlude
    return f;
}

void PictureSet::put(const std::string& file, Canvas picture) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!catalogueSet().count(file)) {
        errors_.push_back(file + " is not a catalogue file");
        return;
    }
    if (pictures_.count(file)) {
        errors_.push_back(file + " painted twice");
        return;
    }
    if (picture.empty()) {
        errors_.push_back(file + " painted empty");
        return;
    }
    pictures_[file] = Picture{std::move(picture), false};
}

void PictureSet::fillPlaceholders() {
    for (const std::string& file : catalogueSet())
        if (!pictures_.count(file)) pictures_[file] = Picture{Canvas(1, 1), true};
}

}  // namespace artgen
