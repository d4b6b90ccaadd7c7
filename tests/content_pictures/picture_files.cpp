#include "tests/content_pictures/picture_files.h"

#include "media/media.h"

#include <cstdlib>
#include <set>

std::string pictureDataDir() {
    const char* d = std::getenv("LUMOTTA_DATA_DIR");
    return d && *d ? d : ARTGEN_DATA_DIR;
}

std::vector<std::string> loadedPictureFiles() {
    std::vector<std::string> f;
    auto range = [&](const std::string& folder, int first, int last, const std::string& ext, bool two = false,
                     std::set<int> skip = {}) {
        for (int n = first; n <= last; ++n) {
            if (skip.count(n)) continue;
            std::string s = std::to_string(n);
            if (two && s.size() < 2) s = "0" + s;
            f.push_back(folder + "/" + s + ext);
        }
    };
    range("00", 1, 24, ".bmp", true);
    range("00", 1, 8, ".png", true);
    range("00", 10, 11, ".png", true);
    range("00", 17, 17, ".png", true);
    range("00", 20, 20, ".png", true);
    range("02", 0, 399, ".bmp");
    range("03", 1, 6, ".bmp");
    range("04", 0, 153, ".png", false, {123});
    range("16", 1, 6, ".png");
    range("17", 1, 24, ".png");
    range("18", 1, 20, ".png");
    range("19", 1, 68, ".png");
    range("20", 1, 4, ".png");
    range("21", 1, 16, ".png", false, {12});
    f.push_back("21/help.png");
    range("22", 0, 199, ".png");
    range("23", 0, 10, ".png");
    range("23", 20, 32, ".png");
    range("24", 0, 0, ".png");
    range("24", 2, 5, ".png");
    range("24", 10, 21, ".png");
    range("26", 1, 10, ".png");
    return f;
}

std::string gameName(const std::string& file) {
    std::string name = file;
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

InDirectory::InDirectory(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

InDirectory::~InDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

Backdrop::Backdrop() : pixels_(size_t(kScreenWidth) * kScreenHeight, 0) {
    SetDrawTarget(kDrawTargetBack);
    SetDrawArea(0, 0, kScreenWidth, kScreenHeight);
    SetBlendMode(kBlendNone, 255);
    ClearScreen();
    DrawRectangle(0, 0, kScreenWidth, kScreenHeight, GetColorValue(255, 0, 255), 1);
}

void Backdrop::draw(int handle, int x, int y) {
    const LoadedSize s = loadedSize(handle);
    DrawImageQuad(x, y, x + s.w, y, x + s.w, y + s.h, x, y + s.h, handle, 1);
}

void Backdrop::read() {
    ReadScreenPixels(pixels_.data(), kScreenWidth, kScreenHeight);
    for (uint32_t& p : pixels_) p &= 0xFFFFFF;
}

uint32_t Backdrop::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight) return kColour;
    return pixels_[size_t(y) * kScreenWidth + x];
}

bool Backdrop::drawnIn(int x0, int y0, int w, int h) const {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (at(x, y) != kColour) return true;
    return false;
}

bool Backdrop::backdropIn(int x0, int y0, int w, int h) const {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (at(x, y) == kColour) return true;
    return false;
}

LoadedSize loadedSize(int handle) {
    LoadedSize s;
    if (GetImageSize(handle, &s.w, &s.h) != 0) return {};
    return s;
}
