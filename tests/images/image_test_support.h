// Picture files and screen read-back for the image tests.
#pragma once

#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <array>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace image_tests {

using Bytes = std::vector<uint8_t>;

inline void PutLe16(Bytes& b, uint32_t v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
inline void PutLe32(Bytes& b, uint32_t v) {
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}

inline void WriteFile(const std::string& name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The raw "BGRA" format, 8 bits per channel; pixels 0xAARRGGBB from the top.
inline Bytes MakeBgra(int w, int h, const std::vector<uint32_t>& pixels) {
    Bytes b = {'B', 'G', 'R', 'A'};
    PutLe32(b, 0x08080808u);
    PutLe32(b, w);
    PutLe32(b, h);
    for (uint32_t p : pixels) {
        b.push_back(p & 255);
        b.push_back((p >> 8) & 255);
        b.push_back((p >> 16) & 255);
        b.push_back(p >> 24);
    }
    return b;
}

// A 24-bit bottom-up BMP of 0xRRGGBB pixels given from the top.
inline Bytes MakeBmp24(int w, int h, const std::vector<uint32_t>& pixels) {
    const int stride = (w * 3 + 3) / 4 * 4;
    Bytes b = {'B', 'M'};
    PutLe32(b, 54 + stride * h);
    PutLe32(b, 0);
    PutLe32(b, 54);
    PutLe32(b, 40);
    PutLe32(b, w);
    PutLe32(b, h);
    PutLe16(b, 1);
    PutLe16(b, 24);
    for (int i = 0; i < 6; ++i) PutLe32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
            b.push_back(p & 255);
            b.push_back((p >> 8) & 255);
            b.push_back((p >> 16) & 255);
        }
        for (int i = w * 3; i < stride; ++i) b.push_back(0);
    }
    return b;
}

// A BMP: file header, 40-byte info header, palette (0xRRGGBB entries), then
// `pixels` as stored.
inline Bytes Bmp(int w, int h, int bits, uint32_t compression, const std::vector<uint32_t>& palette, const Bytes& pixels,
          uint32_t colorsUsed = 0) {
    Bytes b = {'B', 'M'};
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    PutLe32(b, offset + pixels.size());
    PutLe32(b, 0);
    PutLe32(b, offset);
    PutLe32(b, 40);
    PutLe32(b, w);
    PutLe32(b, h);
    PutLe16(b, 1);
    PutLe16(b, bits);
    PutLe32(b, compression);
    PutLe32(b, pixels.size());
    PutLe32(b, 0);
    PutLe32(b, 0);
    PutLe32(b, colorsUsed);
    PutLe32(b, 0);
    for (uint32_t p : palette) PutLe32(b, p);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

inline int LoadFromBytes(const std::string& name, const Bytes& bytes) {
    WriteFile(name, bytes);
    return LoadImage(name.c_str(), 0);
}

// The back buffer as 0xAARRGGBB values.
class Screen {
public:
    Screen() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight) {
        EXPECT_EQ(ReadScreenPixels(pixels_.data(), kScreenWidth, kScreenHeight), 0);
    }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kScreenWidth + x] & 0xFFFFFF; }
    int Red(int x, int y) const { return (At(x, y) >> 16) & 255; }
    int Green(int x, int y) const { return (At(x, y) >> 8) & 255; }
    int Blue(int x, int y) const { return At(x, y) & 255; }
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    std::vector<uint32_t> pixels_;
};

// Each channel of `actual` within `tolerance` of `expected` (0xRRGGBB).
inline ::testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift : {16, 8, 0}) {
        const int a = (actual >> shift) & 255, e = (expected >> shift) & 255;
        if (std::abs(a - e) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "colour 0x" << actual << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

// A started media layer in a scratch directory of its own; the renderer is
// the test's parameter where one is given.
class MediaFixture : public ::testing::Test {
protected:
    explicit MediaFixture(const char* renderer = nullptr) : renderer_(renderer) {}
    void SetUp() override {
        if (renderer_) setenv("SDL_RENDER_DRIVER", renderer_, 1);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) if (c == '/') c = '_';
        scratch_ = std::make_unique<testing_support::ScratchDirectory>(name);
        media_ = std::make_unique<testing_support::HeadlessMedia>();
        ASSERT_TRUE(media_->ok());
        ClearScreen();
    }
    void TearDown() override {
        media_.reset();
        scratch_.reset();
    }
    // By absolute path: a death test's child makes the directory anew.
    std::string Log() const { return ReadText(scratch_->path() + "/Log.txt"); }

private:
    const char* renderer_;
    std::unique_ptr<testing_support::ScratchDirectory> scratch_;
    std::unique_ptr<testing_support::HeadlessMedia> media_;
};

}  // namespace image_tests
