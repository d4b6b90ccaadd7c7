// Sprites authored as text pixel maps over one shared palette
// (content/art/palette.txt and the *.txt sprite files beside it).
#pragma once

#include "tools/artgen/canvas.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace artgen {

class PixelMaps {
public:
    // Reads the palette and every sprite file of the folder. Returns false and
    // fills `error` (file:line: message) on malformed input.
    bool load(const std::string& folder, std::string& error);

    bool has(const std::string& name) const { return sprites_.count(name) != 0; }
    // The named sprite; a missing name is a programming error reported on
    // stderr and answered with a magenta square so it shows in the sheets.
    const Canvas& sprite(const std::string& name) const;
    Rgba colour(char key) const;
    // Every file the maps were read from (for the build's dependency list).
    const std::vector<std::string>& files() const { return files_; }
    // Names asked for that no file defines.
    const std::vector<std::string>& missing() const { return missing_; }

private:
    bool loadPalette(const std::string& path, std::string& error);
    bool loadSprites(const std::string& path, std::string& error);

    std::map<char, Rgba> palette_;
    std::map<std::string, Canvas> sprites_;
    std::vector<std::string> files_;
    mutable std::mutex missingLock_;
    mutable std::vector<std::string> missing_;
};

}  // namespace artgen
