#include "tools/artgen/pixel_maps.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace artgen {

namespace fs = std::filesystem;

namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

}  // namespace

bool PixelMaps::load(const std::string& folder, std::string& error) {
    const fs::path palette = fs::path(folder) / "palette.txt";
    if (!loadPalette(palette.string(), error)) return false;
    std::vector<fs::path> sources;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".txt" && entry.path().filename() != "palette.txt")
            sources.push_back(entry.path());
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    std::sort(sources.begin(), sources.end());
    for (const fs::path& p : sources)
        if (!loadSprites(p.string(), error)) return false;
    return true;
}

bool PixelMaps::loadPalette(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    files_.push_back(path);
    palette_['.'] = Rgba(0, 0, 0, 0);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        line = trimRight(line);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key;
        int r = -1, g = -1, b = -1, a = 255;
        fields >> key >> r >> g >> b;
        if (fields.fail() || key.size() != 1 || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) {
            error = path + ":" + std::to_string(n) + ": expected `<char> <r> <g> <b> [alpha]`";
            return false;
        }
        if (!(fields >> a)) a = 255;
        if (palette_.count(key[0]) && key[0] != '.') {
            error = path + ":" + std::to_string(n) + ": colour '" + key + "' defined twice";
            return false;
        }
        palette_[key[0]] = Rgba(r, g, b, std::clamp(a, 0, 255));
    }
    return true;
}

bool PixelMaps::loadSprites(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    files_.push_back(path);
    std::string line, name;
    std::vector<std::string> rows;
    int startLine = 0;
    auto finish = [&](int n) {
        if (rows.empty()) {
            error = path + ":" + std::to_string(startLine) + ": sprite `" + name + "` has no rows";
            return false;
        }
        size_t w = 0;
        for (const auto& r : rows) w = std::max(w, r.size());
        Canvas c(int(w), int(rows.size()));
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size(); ++x) {
                auto it = palette_.find(rows[y][x]);
                if (it == palette_.end()) {
                    error = path + ":" + std::to_string(startLine + 1 + int(y)) + ": colour '" +
                            std::string(1, rows[y][x]) + "' is not in the palette";
                    return false;
                }
                c.set(int(x), int(y), it->second);
            }
        if (sprites_.count(name)) {
            error = path + ":" + std::to_string(n) + ": sprite `" + name + "` defined twice";
            return false;
        }
        sprites_[name] = std::move(c);
        rows.clear();
        name.clear();
        return true;
    };
    for (int n = 1; std::getline(in, line); ++n) {
        line = trimRight(line);
        if (name.empty()) {
            if (line.empty() || line[0] == '#') continue;
            if (line.rfind("sprite ", 0) != 0) {
                error = path + ":" + std::to_string(n) + ": expected `sprite <name>`";
                return false;
            }
            name = line.substr(7);
            startLine = n;
            continue;
        }
        if (line == "end") {
            if (!finish(n)) return false;
            continue;
        }
        rows.push_back(line);
    }
    if (!name.empty()) {
        error = path + ":" + std::to_string(startLine) + ": sprite `" + name + "` lacks `end`";
        return false;
    }
    return true;
}

const Canvas& PixelMaps::sprite(const std::string& name) const {
    auto it = sprites_.find(name);
    if (it != sprites_.end()) return it->second;
    static const Canvas missing(8, 8, Rgba(255, 0, 255));
    std::lock_guard<std::mutex> hold(missingLock_);
    missing_.push_back(name);
    return missing;
}

Rgba PixelMaps::colour(char key) const {
    auto it = palette_.find(key);
    return it == palette_.end() ? Rgba(255, 0, 255) : it->second;
}

}  // namespace artgen
