// Run by hand: build/bench/drawing/bench_drawing [frames]
// Headless on the OpenGL renderer under SDL's offscreen driver unless the
// environment says otherwise.
#include "media/core/area_hooks.h"
#include "media/media.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Picture {
    int w, h;
    std::vector<uint32_t> argb;
};

Picture Pattern(int w, int h, uint32_t seed, bool alpha) {
    Picture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t v = (x * 7 + y * 13 + seed * 31) & 255;
            const uint32_t a = alpha ? ((x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < w * h / 4 ? 255 : 0)
                                     : 255;
            p.argb[static_cast<size_t>(y) * w + x] = a << 24 | v << 16 | (255 - v) << 8 | (seed & 255);
        }
    return p;
}

void WriteBgra(const std::string& name, const Picture& p) {
    std::ofstream out(name, std::ios::binary);
    auto le32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    out.write("BGRA", 4);
    le32(0x08080808u);
    le32(p.w);
    le32(p.h);
    out.write(reinterpret_cast<const char*>(p.argb.data()), static_cast<std::streamsize>(p.argb.size() * 4));
}

void WriteBmp(const std::string& name, const Picture& p) {
    const int stride = (p.w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b = {'B', 'M'};
    auto le = [&](uint32_t v, int n) { for (int i = 0; i < n; ++i) b.push_back((v >> (8 * i)) & 255); };
    le(54 + stride * p.h, 4); le(0, 4); le(54, 4); le(40, 4); le(p.w, 4); le(p.h, 4); le(1, 2); le(24, 2);
    for (int i = 0; i < 6; ++i) le(0, 4);
    for (int y = p.h - 1; y >= 0; --y) {
        for (int x = 0; x < p.w; ++x) le(p.argb[static_cast<size_t>(y) * p.w + x], 3);
        for (int i = p.w * 3; i < stride; ++i) b.push_back(0);
    }
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

struct Stats {
    double median, p99, mean;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    return {v[v.size() / 2], v[std::min(v.size() - 1, static_cast<size_t>(std::ceil(v.size() * 0.99)) - 1)],
            sum / v.size()};
}

// Where every quad of the busy frame goes.
struct Quad {
    int picture;        // index into the frame's picture list
    int cell;           // -1: whole picture; else cell of the sheet
    float x[4], y[4];
    int blend;          // 0, 1, 2
    int parameter;
};

constexpr int kCell = 32;

struct Scene {
    // pictures: 0 background, 1 tile sheet, 2 sprite sheet, 3 effect, 4 overlay, 5 digits
    Picture pictures[6];
    std::vector<Quad> quads;
};

void AddRect(Scene& s, int picture, int cell, float x, float y, float w, float h, int blend, int parameter,
             float turn = 0) {
    Quad q{picture, cell, {}, {}, blend, parameter};
    const float cx = x + w / 2, cy = y + h / 2;
    const float dx[4] = {-w / 2, w / 2, w / 2, -w / 2}, dy[4] = {-h / 2, -h / 2, h / 2, h / 2};
    for (int i = 0; i < 4; ++i) {
        q.x[i] = std::round(cx + dx[i] * std::cos(turn) - dy[i] * std::sin(turn));
        q.y[i] = std::round(cy + dx[i] * std::sin(turn) + dy[i] * std::cos(turn));
    }
    s.quads.push_back(q);
}

Scene BusyScene() {
    Scene s;
    s.pictures[0] = Pattern(640, 480, 1, false);
    s.pictures[1] = Pattern(24 * kCell, 9 * kCell, 2, false);     // 216 cells
    s.pictures[2] = Pattern(8 * kCell, 8 * kCell, 3, true);       // 64 sprites
    s.pictures[3] = Pattern(96, 96, 4, true);
    s.pictures[4] = Pattern(640, 640, 5, true);
    s.pictures[5] = Pattern(10 * 16, 32, 6, true);                // digits
    AddRect(s, 0, -1, 0, 0, 640, 480, 0, 0);
    for (int i = 0; i < 216; ++i) AddRect(s, 1, i, (i % 20) * 32.f, (i / 20) * 32.f, 32, 32, 0, 0);
    for (int i = 0; i < 100; ++i)
        AddRect(s, 2, i % 64, (i * 37) % 600, (i * 53) % 440, 32, 32, 0, 0, (i % 4) * 1.5707963f);
    for (int i = 0; i < 100; ++i) {
        const float size = 32 + (i * 7) % 65;
        AddRect(s, 3, -1, (i * 61) % 560, (i * 29) % 400, size, size, 2, 160, i * 0.1f);
    }
    AddRect(s, 4, -1, 0, -80, 640, 640, 2, 96);
    AddRect(s, 4, -1, 0, -80, 640, 640, 2, 64, 0.3f);
    for (int i = 0; i < 30; ++i) AddRect(s, 5, i % 10, 8 + i * 16.f, 440, 16, 32, 0, 0);
    return s;
}

SDL_Rect CellRect(const Scene& s, int picture, int cell) {
    const Picture& p = s.pictures[picture];
    if (cell < 0) return {0, 0, p.w, p.h};
    if (picture == 5) return {cell * 16, 0, 16, 32};
    const int across = p.w / kCell;
    return {(cell % across) * kCell, (cell / across) * kCell, kCell, kCell};
}

// Our path: LoadImageTiles / LoadImage handles and DrawImageQuad.
struct OurFrame {
    std::vector<int> handles[6];
    void Load(const Scene& s) {
        const char* names[6] = {"bg.bgra", "tiles.bgra", "sprites.bgra", "effect.bgra", "overlay.bgra", "digits.bgra"};
        for (int i = 0; i < 6; ++i) {
            WriteBgra(names[i], s.pictures[i]);
            if (i == 1 || i == 2 || i == 5) {
                const SDL_Rect c = CellRect(s, i, 0);
                const int across = s.pictures[i].w / c.w, down = s.pictures[i].h / c.h;
                handles[i].resize(across * down);
                LoadImageTiles(names[i], across * down, across, down, c.w, c.h, handles[i].data(), 0);
            } else {
                handles[i] = {LoadImage(names[i], 0)};
            }
        }
    }
    void Draw(const Scene& s) {
        ClearScreen();
        int blend = -1, parameter = -1;
        for (const Quad& q : s.quads) {
            if (q.blend != blend || q.parameter != parameter) SetBlendMode(blend = q.blend, parameter = q.parameter);
            const int h = handles[q.picture][q.cell < 0 ? 0 : q.cell];
            DrawImageQuad(q.x[0], q.y[0], q.x[1], q.y[1], q.x[2], q.y[2], q.x[3], q.y[3], h, 1);
        }
        SetBlendMode(0, 0);
        FlipScreen();
    }
};

// The naive baseline: a texture per picture, one SDL_RenderGeometry per quad.
struct NaiveFrame {
    SDL_Texture* textures[6] = {};
    void Load(const Scene& s) {
        for (int i = 0; i < 6; ++i) {
            const Picture& p = s.pictures[i];
            textures[i] = SDL_CreateTexture(media::screen::Renderer(), SDL_PIXELFORMAT_ARGB8888,
                                            SDL_TEXTUREACCESS_STATIC, p.w, p.h);
            SDL_UpdateTexture(textures[i], nullptr, p.argb.data(), p.w * 4);
            SDL_SetTextureScaleMode(textures[i], SDL_ScaleModeNearest);
        }
    }
    void Draw(const Scene& s) {
        ClearScreen();
        SDL_Renderer* r = media::screen::Renderer();
        for (const Quad& q : s.quads) {
            const Picture& p = s.pictures[q.picture];
            const SDL_Rect c = CellRect(s, q.picture, q.cell);
            const float u0 = float(c.x) / p.w, v0 = float(c.y) / p.h;
            const float u1 = float(c.x + c.w) / p.w, v1 = float(c.y + c.h) / p.h;
            const float us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
            const Uint8 a = q.blend ? static_cast<Uint8>(q.parameter) : 255;
            SDL_Vertex v[4];
            for (int i = 0; i < 4; ++i) v[i] = {{q.x[i], q.y[i]}, {255, 255, 255, a}, {us[i], vs[i]}};
            const int indices[6] = {0, 1, 3, 1, 2, 3};
            SDL_SetTextureBlendMode(textures[q.picture], q.blend == 2 ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
            SDL_RenderGeometry(r, textures[q.picture], v, 4, indices, 6);
        }
        FlipScreen();
    }
    ~NaiveFrame() {
        for (SDL_Texture* t : textures)
            if (t) SDL_DestroyTexture(t);
    }
};

// Waits for the GPU to finish the frame: reading one pixel back does.
void Sync() {
    uint32_t pixel;
    const SDL_Rect one{0, 0, 1, 1};
    SDL_RenderReadPixels(media::screen::Renderer(), &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
}

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

void BenchLoading() {
    // Some 650 small pictures, as the play scene loads: half BMP, half BGRA.
    fs::create_directories("00");
    std::vector<std::string> names;
    for (int i = 0; i < 650; ++i) {
        const int side = 16 + (i * 7) % 49;
        const Picture p = Pattern(side, side, i, i % 2 == 1);
        char name[32];
        std::snprintf(name, sizeof name, "00/%03d.%s", i, i % 2 ? "bgra" : "bmp");
        if (i % 2) WriteBgra(name, p); else WriteBmp(name, p);
        names.push_back(std::string("00\\") + (name + 3));
    }
    auto loadAll = [&]() {
        const auto t0 = Clock::now();
        int failed = 0;
        for (const auto& n : names) failed += LoadImage(n.c_str(), 0) == -1;
        const auto t1 = Clock::now();
        DeleteAllImages(0);
        if (failed) std::printf("  (%d pictures failed to load)\n", failed);
        return Ms(t0, t1);
    };
    std::vector<double> loose, packed;
    for (int i = 0; i < 5; ++i) loose.push_back(loadAll());
    const std::string command = std::string(LUMOTTA_PACK_TOOL) + " 00 -o 00.lmt > /dev/null";
    if (std::system(command.c_str()) != 0) {
        std::printf("the pack tool failed; archive loading not measured\n");
    } else {
        fs::rename("00", "00-loose");
        SetPackArchiveExtension("lmt");
        for (int i = 0; i < 5; ++i) packed.push_back(loadAll());
    }
    const Stats l = Summarise(loose);
    std::printf("loading 650 pictures, loose files: median %.1f ms (%.3f ms each)\n", l.median, l.median / 650);
    if (!packed.empty()) {
        const Stats p = Summarise(packed);
        std::printf("loading 650 pictures, archive:     median %.1f ms (%.3f ms each)\n", p.median, p.median / 650);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(20, std::atoi(argv[1])) : 600;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "opengl", 0);
    const fs::path work = fs::temp_directory_path() / ("lumotta-bench-drawing-" + std::to_string(getpid()));
    fs::create_directories(work);
    fs::current_path(work);
    SetAllowSecondInstance(1);
    SetFramePacing(0);
    if (InitMedia() != 0) {
        std::fprintf(stderr, "the media layer could not start\n");
        return 1;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(media::screen::Renderer(), &info);
    std::printf("renderer: %s\n", info.name);

    const Scene scene = BusyScene();
    OurFrame ours;
    NaiveFrame naive;
    ours.Load(scene);
    naive.Load(scene);
    std::printf("busy frame: %zu quads\n", scene.quads.size());
    for (int i = 0; i < 30; ++i) {   // warm up both
        ours.Draw(scene);
        naive.Draw(scene);
    }
    // Alternate in blocks of ten so both see the same machine load.
    std::vector<double> ourTimes, naiveTimes;
    for (int done = 0; done < frames; done += 10) {
        for (int i = 0; i < 10; ++i) {
            const auto t0 = Clock::now();
            ours.Draw(scene);
            Sync();
            ourTimes.push_back(Ms(t0, Clock::now()));
        }
        for (int i = 0; i < 10; ++i) {
            const auto t0 = Clock::now();
            naive.Draw(scene);
            Sync();
            naiveTimes.push_back(Ms(t0, Clock::now()));
        }
    }
    const Stats o = Summarise(ourTimes), n = Summarise(naiveTimes);
    std::printf("ours:  median %.3f ms  p99 %.3f ms  mean %.3f ms  (p99/median %.2f)\n", o.median, o.p99, o.mean,
                o.p99 / o.median);
    std::printf("naive: median %.3f ms  p99 %.3f ms  mean %.3f ms  (p99/median %.2f)\n", n.median, n.p99, n.mean,
                n.p99 / n.median);
    std::printf("ratio ours/naive (median): %.3f\n", o.median / n.median);

    BenchLoading();
    EndMedia();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    return 0;
}
