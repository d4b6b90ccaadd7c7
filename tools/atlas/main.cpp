// lumotta-atlas: the whole game at a glance. Draws every stage as it looks
// when play begins, through the game's own renderer (SDL offscreen), and
// puts them side by side, small and numbered, in atlas.png; for every stage
// with a solution it also writes stage-NN.png, four moments of that
// solution (play begins, a third of the way, two thirds, the clear).
#include "game/play/play_render.h"
#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "media/media.h"
#include "tools/runner/input_script.h"
#include "tools/runner/stage_run.h"
#include "tools/stagec/stage_io.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kStages = 51;
constexpr int kFirstPlayTick = input_script::kReadyTicks + 1;

// A plain RGB picture.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    Picture(int w, int h, uint8_t grey) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, grey) {}
    uint8_t* at(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

bool writePng(const std::string& path, const Picture& picture) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y)
        png_write_row(png, picture.rgb.data() + static_cast<size_t>(y) * picture.width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// The frame on screen now, shrunk by `factor` (box filter) into `out` at (left, top).
void shrinkScreenInto(Picture& out, int left, int top, int factor) {
    static std::vector<uint32_t> screen(kScreenWidth * kScreenHeight);
    ReadScreenPixels(screen.data(), kScreenWidth, kScreenHeight);
    const int w = kScreenWidth / factor, h = kScreenHeight / factor;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    uint32_t p = screen[static_cast<size_t>(y * factor + dy) * kScreenWidth + x * factor + dx];
                    sum[0] += p >> 16 & 0xFF;
                    sum[1] += p >> 8 & 0xFF;
                    sum[2] += p & 0xFF;
                }
            uint8_t* dst = out.at(left + x, top + y);
            for (int c = 0; c < 3; ++c) dst[c] = static_cast<uint8_t>(sum[c] / (factor * factor));
        }
}

// Digits 0..9 as 3x5 pixel glyphs, one row per entry, bit 2 the leftmost.
constexpr std::array<std::array<uint8_t, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
}};

// The stage number in white on a dark plate, `scale` pixels per glyph pixel.
void label(Picture& out, int left, int top, int number, int scale) {
    const int digits[2] = {number / 10, number % 10};
    const int plateW = (2 * 4 + 1) * scale, plateH = 7 * scale;
    for (int y = 0; y < plateH; ++y)
        for (int x = 0; x < plateW; ++x) {
            uint8_t* p = out.at(left + x, top + y);
            p[0] = p[1] = p[2] = 24;
        }
    for (int d = 0; d < 2; ++d)
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col) {
                if (!(kDigits[digits[d]][row] >> (2 - col) & 1)) continue;
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx) {
                        uint8_t* p = out.at(left + (1 + d * 4 + col) * scale + sx, top + (1 + row) * scale + sy);
                        p[0] = p[1] = p[2] = 255;
                    }
            }
}

// The picture handle tables, which a fresh game state clears.
struct Handles {
    decltype(GameGlobals::pictures) pictures;
    decltype(GameGlobals::tileImages) tileImages;
    decltype(GameGlobals::sceneImages) sceneImages;
    decltype(GameGlobals::sheetCells) sheetCells;

    void save() {
        std::copy(std::begin(game.pictures), std::end(game.pictures), pictures);
        std::copy(std::begin(game.tileImages), std::end(game.tileImages), tileImages);
        std::copy(std::begin(game.sceneImages), std::end(game.sceneImages), sceneImages);
        std::copy(&game.sheetCells[0][0], &game.sheetCells[0][0] + sizeof sheetCells / sizeof(int32_t), &sheetCells[0][0]);
    }
    void restore() const {
        std::copy(std::begin(pictures), std::end(pictures), game.pictures);
        std::copy(std::begin(tileImages), std::end(tileImages), game.tileImages);
        std::copy(std::begin(sceneImages), std::end(sceneImages), game.sceneImages);
        std::copy(&sheetCells[0][0], &sheetCells[0][0] + sizeof sheetCells / sizeof(int32_t), &game.sheetCells[0][0]);
    }
};

struct Atlas {
    std::string dataDir, sourceDir, outDir;
    int loadedBand = -1;
    Handles handles;

    // The play pictures of the stage's band (the background differs by
    // band): loaded once a band, and put back after every fresh start.
    void pictures(int stage) {
        int band = stage / 10;
        if (band != loadedBand) {
            LoadSceneImages();
            handles.save();
            loadedBand = band;
        }
        handles.restore();
    }

    void draw() {
        ClearScreen();
        drawPlayScene();
    }

    bool start(const ReplayStart& s) {
        std::string error;
        if (!stage_run::startStage(dataDir, s, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        pictures(s.stage);
        return true;
    }

    bool solution(int stage, Replay& out) {
        char name[32];
        std::snprintf(name, sizeof name, "/content/replays/%02d.script", stage);
        std::string text;
        if (!stagec::readTextFile(sourceDir + name, text)) return false;
        input_script::Result r = input_script::compile(text, name);
        if (!r.ok()) return false;
        if (!r.stageGiven) r.replay.start.stage = stage;
        out = r.replay;
        return true;
    }

    // Four moments of the stage's solution, each at half size.
    bool moments(int stage) {
        Replay replay;
        if (!solution(stage, replay) || !start(replay.start)) return false;
        stage_run::Result full = stage_run::play(replay, -1);
        if (full.outcome != stage_run::Outcome::Cleared) return false;
        const long at[4] = {kFirstPlayTick, kFirstPlayTick + (full.tick - kFirstPlayTick) / 3,
                            kFirstPlayTick + 2 * (full.tick - kFirstPlayTick) / 3, full.tick};
        Picture sheet(kScreenWidth, kScreenHeight, 0);
        start(replay.start);
        int next = 0;
        stage_run::play(replay, full.tick, [&](long tick) {
            while (next < 4 && at[next] == tick) {
                draw();
                shrinkScreenInto(sheet, next % 2 * kScreenWidth / 2, next / 2 * kScreenHeight / 2, 2);
                ++next;
            }
        });
        char name[32];
        std::snprintf(name, sizeof name, "/stage-%02d.png", stage);
        return writePng(outDir + name, sheet);
    }
};

}  // namespace

int main(int argc, char** argv) {
    Atlas atlas;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--data") atlas.dataDir = argv[i + 1];
        else if (arg == "--source") atlas.sourceDir = argv[i + 1];
        else if (arg == "--out") atlas.outDir = argv[i + 1];
    }
    if (atlas.dataDir.empty() || atlas.sourceDir.empty() || atlas.outDir.empty() || argc % 2 == 0) {
        std::fputs("usage: lumotta-atlas --data DIR --source DIR --out DIR\n", stderr);
        return 2;
    }
    atlas.dataDir = std::filesystem::absolute(atlas.dataDir).string();
    atlas.sourceDir = std::filesystem::absolute(atlas.sourceDir).string();
    std::filesystem::create_directories(atlas.outDir);
    atlas.outDir = std::filesystem::absolute(atlas.outDir).string();

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "opengl", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    if (InitMedia() == -1) {
        std::fputs("the media layer did not start\n", stderr);
        return 1;
    }
    SetDrawTarget(kDrawTargetBack);
    SetTransparentColor(0, 255, 0);
    FileSetCurrentDirectory(atlas.dataDir.c_str());

    // Every stage as play begins: a quarter of the screen each, eight across.
    constexpr int kAcross = 8, kGap = 8, kFactor = 4;
    constexpr int kCellW = kScreenWidth / kFactor, kCellH = kScreenHeight / kFactor;
    constexpr int kDown = (kStages + kAcross - 1) / kAcross;
    Picture sheet(kAcross * (kCellW + kGap) + kGap, kDown * (kCellH + kGap) + kGap, 40);
    int drawn = 0, moments = 0;
    for (int stage = 0; stage < kStages; ++stage) {
        ReplayStart s;
        s.stage = stage;
        if (!atlas.start(s)) continue;
        stage_run::play(Replay{s, {}}, kFirstPlayTick);
        atlas.draw();
        int left = kGap + stage % kAcross * (kCellW + kGap), top = kGap + stage / kAcross * (kCellH + kGap);
        shrinkScreenInto(sheet, left, top, kFactor);
        label(sheet, left + 2, top + 2, stage, 3);
        ++drawn;
        moments += atlas.moments(stage) ? 1 : 0;
    }
    bool written = writePng(atlas.outDir + "/atlas.png", sheet);
    EndMedia();
    std::printf("%s/atlas.png: %d stages; %d solution sheets\n", atlas.outDir.c_str(), drawn, moments);
    return written && drawn == kStages ? 0 : 1;
}
