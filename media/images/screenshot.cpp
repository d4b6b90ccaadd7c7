// Saving the back buffer as a PNG file: for tests and tools, and the Print
// Screen key's "screenshots/NNNN.png".
#include "media/core/api_lock.h"
#include "media/core/log.h"
#include "media/images/images_area.h"
#include "media/media.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace media::images {
namespace {

std::string gScreenshotFolder;  // "" = the current directory

void PngError(png_structp png, png_const_charp message) {
    log::Write("PNG writing: %s\n", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

}  // namespace

bool SavePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        log::Write("%s could not be written\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // Rows of R, G, B bytes, made before the jump point so nothing leaks.
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    bool ok = false;
    if (png && info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 6);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const uint32_t* in = pixels + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<uint8_t>(in[x] >> 16);
                row[3 * x + 1] = static_cast<uint8_t>(in[x] >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(in[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

void SaveNumberedScreenshot() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(gScreenshotFolder) / "screenshots";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        log::Fail("The screenshot could not be saved: the folder %s cannot be made (%s)\n",
                  folder.c_str(), error.message().c_str());
        return;
    }
    for (int n = 0; n < 10000; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%04d.png", n);
        const std::string path = (folder / name).string();
        if (fs::exists(path, error)) continue;
        if (SaveScreenshotPng(path.c_str()) == 0)
            log::Write("Screenshot saved: %s\n", path.c_str());
        else
            log::Fail("The screenshot %s could not be saved\n", path.c_str());
        return;
    }
    log::Fail("The screenshot was not saved: %s is full\n", folder.c_str());
}

}  // namespace media::images

int SetScreenshotFolder(const char* folder) {
    media::ApiLockGuard lock;
    media::images::gScreenshotFolder = folder ? folder : "";
    return 0;
}

int SaveScreenshotPng(const char* path) {
    media::ApiLockGuard lock;
    if (!path || !media::images::GraphicsRunning()) return -1;
    std::vector<uint32_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    if (ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight) != 0) return -1;
    return media::images::SavePng(path, pixels.data(), kScreenWidth, kScreenHeight) ? 0 : -1;
}
