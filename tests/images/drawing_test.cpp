// Drawing on known pixels: on the OpenGL renderer with the GPU drawing and
// with our own rasteriser (chosen where the driver has no GPU), and on SDL's
// software renderer (always our rasteriser).
#include "tests/images/image_test_support.h"

using namespace image_tests;

namespace {

constexpr uint32_t kGrey = 0x646464;     // 100, 100, 100

// The parameter: the renderer, then after a slash where draws are made.
std::string RendererOf(const char* parameter) {
    const std::string p = parameter;
    return p.substr(0, p.find('/'));
}

class Drawing : public MediaFixture, public ::testing::WithParamInterface<const char*> {
protected:
    Drawing() : rendererName_(RendererOf(GetParam())) {
        const std::string p = GetParam();
        if (p.find('/') != std::string::npos) setenv("LUMOTTA_DRAWING", p.substr(p.find('/') + 1).c_str(), 1);
    }
    ~Drawing() override { unsetenv("LUMOTTA_DRAWING"); }
    void SetUp() override {
        setenv("SDL_RENDER_DRIVER", rendererName_.c_str(), 1);
        MediaFixture::SetUp();
    }

    // A w x h picture of one opaque colour.
    int Solid(uint32_t rgb, int w = 4, int h = 4, uint8_t alpha = 255) {
        const std::string name = "solid" + std::to_string(counter_++) + ".bgra";
        return LoadFromBytes(name, MakeBgra(w, h, std::vector<uint32_t>(w * h, (uint32_t{alpha} << 24) | rgb)));
    }
    void Rect(int x, int y, int w, int h, int handle) {
        ASSERT_EQ(DrawImageQuad(x, y, x + w, y, x + w, y + h, x, y + h, handle, 1), 0);
    }
    void FillGrey() { DrawRectangle(0, 0, 640, 480, kGrey, 1); }

    const std::string rendererName_;

private:
    int counter_ = 0;
};

TEST_P(Drawing, RunsOnTheRendererAskedFor) {
    EXPECT_NE(Log().find("Renderer: " + rendererName_), std::string::npos);
    const std::string p = GetParam();
    if (p.find('/') != std::string::npos) {
        const bool gpu = p.substr(p.find('/') + 1) == "gpu";
        EXPECT_NE(Log().find(gpu ? "Drawing on the GPU" : "Drawing on the CPU"), std::string::npos);
    }
}

TEST_P(Drawing, RectangleCoversExactlyTheScreen) {
    DrawRectangle(0, 0, 640, 480, GetColorValue(255, 255, 255), 1);
    Screen s;
    for (uint32_t p : s.pixels()) ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu);
}

TEST_P(Drawing, RectangleFillsHalfOpenRangeAndOutlinesOnePixel) {
    DrawRectangle(10, 10, 20, 15, 0xFF0000, 1);
    DrawRectangle(30, 30, 40, 36, 0x00FF00, 0);
    Screen s;
    EXPECT_EQ(s.At(10, 10), 0xFF0000u);
    EXPECT_EQ(s.At(19, 14), 0xFF0000u);
    EXPECT_EQ(s.At(20, 14), 0u);
    EXPECT_EQ(s.At(19, 15), 0u);
    EXPECT_EQ(s.At(9, 10), 0u);
    for (int x = 30; x < 40; ++x) {
        EXPECT_EQ(s.At(x, 30), 0x00FF00u);
        EXPECT_EQ(s.At(x, 35), 0x00FF00u);
    }
    for (int y = 30; y < 36; ++y) {
        EXPECT_EQ(s.At(30, y), 0x00FF00u);
        EXPECT_EQ(s.At(39, y), 0x00FF00u);
    }
    EXPECT_EQ(s.At(31, 31), 0u);
    EXPECT_EQ(s.At(40, 30), 0u);
    EXPECT_EQ(s.At(30, 36), 0u);
}

TEST_P(Drawing, StretchedRectangleRepeatsEachTexel) {
    const int h = LoadFromBytes("q.bgra", MakeBgra(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    Rect(100, 100, 4, 4, h);
    Screen s;
    const uint32_t expected[4][4] = {{0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00},
                                     {0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00},
                                     {0x0000FF, 0x0000FF, 0xFFFFFF, 0xFFFFFF},
                                     {0x0000FF, 0x0000FF, 0xFFFFFF, 0xFFFFFF}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(s.At(100 + x, 100 + y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(s.At(104, 100), 0u);
    EXPECT_EQ(s.At(100, 104), 0u);
}

// Each texel of a 64 x 32 picture has a colour of its own.
std::vector<uint32_t> Gradient() {
    std::vector<uint32_t> p(64 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) p[y * 64 + x] = 0xFF000000u | (x * 4) << 16 | (y * 8) << 8 | 0x80;
    return p;
}
uint32_t GradientAt(int u, int v) { return (u * 4) << 16 | (v * 8) << 8 | 0x80; }

TEST_P(Drawing, MirroredByCornerOrder) {
    const int h = LoadFromBytes("g.bgra", MakeBgra(64, 32, Gradient()));
    // x2 < x1: the picture's left edge lands on the right.
    ASSERT_EQ(DrawImageQuad(164, 50, 100, 50, 100, 82, 164, 82, h, 1), 0);
    Screen s;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(s.At(100 + x, 50 + y), GradientAt(63 - x, y)) << x << "," << y;
}

TEST_P(Drawing, QuadTurnedBy90DegreesLandsWhereTheAffineMappingPutsIt) {
    const int h = LoadFromBytes("g.bgra", MakeBgra(64, 32, Gradient()));
    // Turned clockwise: the top edge runs down the right side.
    ASSERT_EQ(DrawImageQuad(232, 100, 232, 164, 200, 164, 200, 100, h, 1), 0);
    Screen s;
    for (int i = 0; i < 64; ++i)
        for (int j = 0; j < 32; ++j)
            ASSERT_EQ(s.At(231 - j, 100 + i), GradientAt(i, j)) << "texel " << i << "," << j;
    EXPECT_EQ(s.At(232, 100), 0u);
    EXPECT_EQ(s.At(199, 100), 0u);
    EXPECT_EQ(s.At(200, 164), 0u);
}

TEST_P(Drawing, ColourKeyAppliesToPicturesLoadedAfterIt) {
    const std::vector<uint32_t> pixels = {0x000000, 0x00FF00, 0xFF0000, 0x00FF00};
    const int before = LoadFromBytes("k1.bmp", MakeBmp24(2, 2, pixels));   // black is the key
    SetTransparentColor(0, 255, 0);
    const int after = LoadFromBytes("k2.bmp", MakeBmp24(2, 2, pixels));
    FillGrey();
    Rect(10, 10, 2, 2, before);
    Rect(20, 10, 2, 2, after);
    Rect(30, 10, 2, 2, after);
    ASSERT_EQ(DrawImageQuad(30, 10, 32, 10, 32, 12, 30, 12, after, 0), 0);   // flag 0: every pixel
    Screen s;
    EXPECT_EQ(s.At(10, 10), kGrey);
    EXPECT_EQ(s.At(11, 10), 0x00FF00u);
    EXPECT_EQ(s.At(10, 11), 0xFF0000u);
    EXPECT_EQ(s.At(20, 10), 0x000000u);
    EXPECT_EQ(s.At(21, 10), kGrey);
    EXPECT_EQ(s.At(21, 11), kGrey);
    EXPECT_EQ(s.At(31, 10), 0x00FF00u);
}

TEST_P(Drawing, ColourKeyIsReadAsRedGreenBlue) {
    // Orange and its mirror with red and blue exchanged: only the colour
    // given as (r, g, b) goes, not its mirror nor a colour one step off.
    SetTransparentColor(255, 128, 0);
    const int h = LoadFromBytes("order.bmp", MakeBmp24(2, 2, {0xFF8000, 0x0080FF, 0xFF8001, 0xFE8000}));
    FillGrey();
    Rect(10, 10, 2, 2, h);
    Screen s;
    EXPECT_EQ(s.At(10, 10), kGrey);
    EXPECT_EQ(s.At(11, 10), 0x0080FFu);
    EXPECT_EQ(s.At(10, 11), 0xFF8001u);
    EXPECT_EQ(s.At(11, 11), 0xFE8000u);
}

TEST_P(Drawing, AlphaChannelIsKept) {
    const int h = Solid(0xFF0000, 4, 4, 128);
    FillGrey();
    Rect(0, 0, 4, 4, h);
    ASSERT_EQ(DrawImageQuad(10, 0, 14, 0, 14, 4, 10, 4, h, 0), 0);
    Screen s;
    EXPECT_TRUE(ColourNear(s.At(1, 1), 0xB13232));   // 255*128/255 + 100*127/255
    EXPECT_EQ(s.At(11, 1), 0xFF0000u);                // flag 0 ignores alpha
}

TEST_P(Drawing, BlendModesOnKnownPixels) {
    const int red = Solid(0xC83200);   // 200, 50, 0
    FillGrey();
    SetBlendMode(kBlendNone, 10);
    Rect(0, 0, 4, 4, red);
    SetBlendMode(kBlendAlpha, 128);
    Rect(10, 0, 4, 4, red);
    SetBlendMode(kBlendAdd, 128);
    Rect(20, 0, 4, 4, red);
    SetBlendMode(kBlendAdd, 300);      // clamped to 255
    Rect(30, 0, 4, 4, red);
    SetBlendMode(kBlendAdd, -5);       // clamped to 0: nothing visible
    Rect(40, 0, 4, 4, red);
    SetBlendMode(kBlendAlpha, 0);
    Rect(50, 0, 4, 4, red);
    // Clamped to 255 exactly: white over black stays white to the last step.
    SetBlendMode(kBlendNone, 0);
    DrawRectangle(60, 0, 64, 4, 0x000000, 1);
    SetBlendMode(kBlendAlpha, 300);
    Rect(60, 0, 4, 4, Solid(0xFFFFFF));
    Screen s;
    EXPECT_EQ(s.At(1, 1), 0xC83200u);
    EXPECT_TRUE(ColourNear(s.At(11, 1), 0x964B32));   // 200*.502+100*.498, 50*.502+100*.498, 0+100*.498
    EXPECT_TRUE(ColourNear(s.At(21, 1), 0xC87D64));   // 100+100, 100+25, 100
    EXPECT_TRUE(ColourNear(s.At(31, 1), 0xFF9664));   // min(255, 300), 150, 100
    EXPECT_EQ(s.At(41, 1), kGrey);
    EXPECT_EQ(s.At(51, 1), kGrey);
    EXPECT_EQ(s.At(61, 1), 0xFFFFFFu);
}

TEST_P(Drawing, RectangleHonoursBlendMode) {
    FillGrey();
    SetBlendMode(kBlendAlpha, 128);
    DrawRectangle(0, 0, 4, 4, 0xFFFFFF, 1);
    SetBlendMode(kBlendAdd, 64);
    DrawRectangle(10, 0, 14, 4, 0xFFFFFF, 1);
    Screen s;
    EXPECT_TRUE(ColourNear(s.At(1, 1), 0xB2B2B2));
    EXPECT_TRUE(ColourNear(s.At(11, 1), 0xA4A4A4));
}

TEST_P(Drawing, BrightnessMultipliesTheSource) {
    const int h = Solid(0xC8C8C8);
    SetBrightness(0, 0, 0);
    FillGrey();
    Rect(0, 0, 4, 4, h);
    SetBrightness(128, 64, 300);                        // each channel its own value
    Rect(10, 0, 4, 4, h);
    SetBrightness(255, 255, 255);
    Rect(20, 0, 4, 4, h);
    Screen s;
    EXPECT_EQ(s.At(1, 1), 0u);                          // the shape in black
    EXPECT_TRUE(ColourNear(s.At(11, 1), 0x6432C8));
    EXPECT_EQ(s.At(21, 1), 0xC8C8C8u);
}

TEST_P(Drawing, DrawAreaSwapsClampsAndClips) {
    SetDrawArea(100, 50, 0, 0);
    DrawRectangle(0, 0, 640, 480, 0xFFFFFF, 1);
    SetDrawArea(-20, 470, 700, 900);   // clamped to (0, 470)-(640, 480)
    DrawRectangle(0, 0, 640, 480, 0x0000FF, 1);
    Screen s;
    EXPECT_EQ(s.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(s.At(99, 49), 0xFFFFFFu);
    EXPECT_EQ(s.At(100, 49), 0u);
    EXPECT_EQ(s.At(99, 50), 0u);
    EXPECT_EQ(s.At(639, 469), 0u);
    EXPECT_EQ(s.At(0, 470), 0x0000FFu);
    EXPECT_EQ(s.At(639, 479), 0x0000FFu);
}

TEST_P(Drawing, ZeroSizeAreaSuppressesDrawingUntilReset) {
    const int h = Solid(0xFFFFFF);
    SetDrawArea(50, 50, 50, 200);
    EXPECT_EQ(DrawImageQuad(0, 0, 640, 0, 640, 480, 0, 480, h, 1), 0);
    DrawRectangle(0, 0, 640, 480, 0xFFFFFF, 1);
    DrawText(0, 0, "0123", 0xFFFFFF, 0);
    {
        Screen s;
        for (uint32_t p : s.pixels()) ASSERT_EQ(p & 0xFFFFFF, 0u);
    }
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), 0);   // the clip covers the target again
    DrawRectangle(0, 0, 640, 480, 0xFFFFFF, 1);
    Screen s;
    EXPECT_EQ(s.At(639, 479), 0xFFFFFFu);
}

TEST_P(Drawing, ClearScreenIgnoresTheClipAndPaintsBlack) {
    DrawRectangle(0, 0, 640, 480, 0xFFFFFF, 1);
    SetDrawArea(0, 0, 10, 10);
    ClearScreen();
    Screen s;
    EXPECT_EQ(s.At(0, 0), 0u);
    EXPECT_EQ(s.At(639, 479), 0u);
}

TEST_P(Drawing, ImageHandleAsDrawTarget) {
    const int canvas = Solid(0x000000, 8, 8);
    const int dot = Solid(0xFF0000, 2, 2);
    ASSERT_EQ(SetDrawTarget(canvas), 0);
    int w = 0;
    SetDrawArea(0, 0, 100, 100);   // clamped to the image
    Rect(3, 3, 2, 2, dot);
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(GetImageSize(canvas, &w, nullptr), 0);
    EXPECT_EQ(w, 8);
    DrawRectangle(0, 0, 640, 480, kGrey, 1);
    ASSERT_EQ(DrawImageQuad(0, 0, 8, 0, 8, 8, 0, 8, canvas, 0), 0);
    Screen s;
    EXPECT_EQ(s.At(3, 3), 0xFF0000u);
    EXPECT_EQ(s.At(4, 4), 0xFF0000u);
    EXPECT_EQ(s.At(2, 2), 0u);
    EXPECT_EQ(s.At(5, 5), 0u);
}

TEST_P(Drawing, DrawsBeforeAndAfterFlipKeepTheirOrder) {
    const int red = Solid(0xFF0000), blue = Solid(0x0000FF);
    Rect(0, 0, 4, 4, red);
    Rect(2, 0, 4, 4, blue);
    DrawRectangle(4, 0, 5, 4, 0x00FF00, 1);
    Rect(5, 0, 4, 4, red);
    Screen s;
    EXPECT_EQ(s.At(1, 1), 0xFF0000u);
    EXPECT_EQ(s.At(3, 1), 0x0000FFu);
    EXPECT_EQ(s.At(4, 1), 0x00FF00u);
    EXPECT_EQ(s.At(5, 1), 0xFF0000u);
    FlipScreen();
    ClearScreen();
    Screen cleared;
    EXPECT_EQ(cleared.At(1, 1), 0u);
}

std::string ParameterName(const ::testing::TestParamInfo<const char*>& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Renderers, Drawing, ::testing::Values("opengl", "opengl/gpu", "opengl/cpu", "software"),
                         ParameterName);

}  // namespace
