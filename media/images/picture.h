// A decoded picture in memory: 0xAARRGGBB pixels, rows from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::images {

// Limits on untrusted pictures: no side over 16384 pixels and no more than
// 64 million pixels in all.
constexpr int64_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = 64'000'000;

struct Picture {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;            // some pixel's alpha is meaningful
    std::vector<uint32_t> pixels;     // width * height, 0xAARRGGBB
};

// True when a picture of this size may be made. Logs why not otherwise.
bool PictureSizeAllowed(int64_t width, int64_t height);

// Sizes the picture (pixels set to `fill`) after checking the limits.
bool AllocatePicture(Picture& picture, int64_t width, int64_t height, uint32_t fill = 0xFF000000u);

constexpr uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Colours by index for the palette formats. Writers now and then leave
// pixels whose index lies past the last entry: such a pixel shows opaque
// black, as other viewers show it, and the decoder says so once.
class Palette {
public:
    std::vector<uint32_t> colours;

    uint32_t At(int64_t index) {
        if (index >= 0 && index < static_cast<int64_t>(colours.size())) return colours[static_cast<size_t>(index)];
        ++misses_;
        return PackArgb(255, 0, 0, 0);
    }
    // Logs how many pixels showed black for want of an entry, if any did.
    void ReportMisses(const char* format) const;

private:
    uint64_t misses_ = 0;
};

}  // namespace media::images
