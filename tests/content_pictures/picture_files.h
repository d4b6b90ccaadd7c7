// The generated picture set as the tests see it: where it lives, the files
// the scenes load, and a way to look at a picture through the media layer,
// the way the game loads and draws it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The build's default data directory (LUMOTTA_DATA_DIR, else the build's own).
std::string pictureDataDir();

// The files the scenes load ("04/0.png", ...), written out independently of
// the generator.
std::vector<std::string> loadedPictureFiles();

// "04/0.png" as the game names it: "04\\0.png".
std::string gameName(const std::string& file);

// Makes `dir` the working directory for the life of the object.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir);
    ~InDirectory();
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

// The back buffer after drawing pictures at 1:1 on a backdrop of a colour no
// sprite uses; what the key or the alpha leaves out shows the backdrop.
class Backdrop {
public:
    static constexpr uint32_t kColour = 0xFF00FF;

    Backdrop();  // clears to the backdrop colour
    // Draws `handle` at its own size with its top-left corner at (x, y).
    void draw(int handle, int x, int y);
    // Reads the back buffer; call after drawing, before asking.
    void read();

    uint32_t at(int x, int y) const;  // 0xRRGGBB
    // True when the rectangle shows any picture pixel / any backdrop pixel.
    bool drawnIn(int x, int y, int w, int h) const;
    bool backdropIn(int x, int y, int w, int h) const;
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    std::vector<uint32_t> pixels_;
};

// Width and height of a loaded picture; 0 x 0 when the handle is bad.
struct LoadedSize {
    int w = 0, h = 0;
};
LoadedSize loadedSize(int handle);
