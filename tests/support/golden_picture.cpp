#include "tests/support/golden_picture.h"

#include "media/media.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace testing_support {

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = kScreenWidth;
constexpr int kHeight = kScreenHeight;
// Frames for review go where the test program started (its folder under
// build/test-work), not into a scratch folder that the test removes.
const fs::path gReviewDirectory = [] {
    std::error_code ignored;
    return fs::current_path(ignored);
}();

fs::path referencePath(const std::string& folder, const std::string& name) {
    const char* source = std::getenv("LUMOTTA_SOURCE_DIR");
    return fs::path(source ? source : ".") / folder / (name + ".png");
}

// 0xAARRGGBB pixels to an RGB PNG.
bool writePng(const fs::path& path, const std::vector<uint32_t>& pixels) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    std::vector<png_byte> row(kWidth * 3);
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t p = pixels[y * kWidth + x];
                row[x * 3 + 0] = static_cast<png_byte>(p >> 16);
                row[x * 3 + 1] = static_cast<png_byte>(p >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return ok;
}

// A 640x480 PNG to 0xAARRGGBB pixels.
bool readPng(const fs::path& path, std::vector<uint32_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    if (image.width != static_cast<png_uint_32>(kWidth) ||
        image.height != static_cast<png_uint_32>(kHeight)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB
    pixels.assign(kWidth * kHeight, 0);
    return png_image_finish_read(&image, nullptr, pixels.data(), kWidth * 4, nullptr) != 0;
}

int channelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
        if (d > worst) worst = d;
    }
    return worst;
}

}  // namespace

::testing::AssertionResult matchesGoldenPicture(const std::string& folder, const std::string& name,
                                                GoldenTolerance tolerance) {
    std::vector<uint32_t> frame(kWidth * kHeight);
    if (ReadScreenPixels(frame.data(), kWidth, kHeight) != 0)
        return ::testing::AssertionFailure() << "the back buffer could not be read";

    const fs::path reference = referencePath(folder, name);
    const char* update = std::getenv("LUMOTTA_UPDATE_GOLDEN");
    if (update && *update == '1') {
        fs::create_directories(reference.parent_path());
        if (!writePng(reference, frame))
            return ::testing::AssertionFailure() << "could not write " << reference;
        return ::testing::AssertionSuccess() << "wrote " << reference;
    }

    std::vector<uint32_t> expected;
    const fs::path actual = gReviewDirectory / (name + ".actual.png");
    if (!readPng(reference, expected)) {
        writePng(actual, frame);
        return ::testing::AssertionFailure()
               << "no reference " << reference << "; this frame is in " << actual
               << " (run with LUMOTTA_UPDATE_GOLDEN=1 to take it)";
    }
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        if (channelDifference(frame[i], expected[i]) <= tolerance.channelSlack) continue;
        if (differing++ == 0) {
            firstX = i % kWidth;
            firstY = i / kWidth;
        }
    }
    if (differing <= tolerance.pixelsAllowed) {
        std::error_code ignored;
        fs::remove(actual, ignored);  // left by an earlier failing run
        return ::testing::AssertionSuccess();
    }
    writePng(actual, frame);
    return ::testing::AssertionFailure()
           << differing << " pixels differ by more than " << tolerance.channelSlack << " from "
           << reference << " (" << tolerance.pixelsAllowed << " allowed), the first at (" << firstX
           << ", " << firstY << "); this frame is in " << actual;
}

}  // namespace testing_support
