#include "media/images/render_queue.h"

#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/images/soft_raster.h"
#include "media/media.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace media::images {
namespace {

constexpr int kBatchQuads = 4096;

struct Queue {
    SDL_Renderer* renderer = nullptr;
    Backend backend = Backend::Gpu;
    int maxTextureSide = 0;

    // The surface draws land on.
    PixelStore* surfaceStore = nullptr;     // null: the back buffer
    bool surfaceDrawn = false;              // something was drawn into surfaceStore
    SDL_Rect surfaceArea{0, 0, kScreenWidth, kScreenHeight};
    SDL_Rect clip{0, 0, kScreenWidth, kScreenHeight};

    // GPU: the batch waiting for SDL.
    SDL_Texture* batchTexture = nullptr;
    SDL_BlendMode batchBlend = SDL_BLENDMODE_BLEND;
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;

    // CPU: the frame is drawn here and copied into the back buffer texture
    // before it is shown or read.
    std::vector<uint32_t> frame;
    bool frameDirty = false;    // frame is newer than the back buffer texture
};

Queue gQueue;

SDL_BlendMode BlendFor(int mode) { return mode == 2 ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND; }

SDL_Texture* MakeTexture(const PixelStore& store, const uint32_t* pixels, bool target) {
    SDL_Texture* texture = SDL_CreateTexture(gQueue.renderer, SDL_PIXELFORMAT_ARGB8888,
                                             target ? SDL_TEXTUREACCESS_TARGET : SDL_TEXTUREACCESS_STATIC,
                                             store.width, store.height);
    if (!texture) {
        log::Write("A %d x %d texture could not be made: %s\n", store.width, store.height, SDL_GetError());
        return nullptr;
    }
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    if (SDL_UpdateTexture(texture, nullptr, pixels, store.width * 4) != 0) {
        log::Write("A texture could not be filled: %s\n", SDL_GetError());
        SDL_DestroyTexture(texture);
        return nullptr;
    }
    return texture;
}

SDL_Texture* OpaqueTexture(PixelStore& store) {
    if (!store.opaqueTexture) {
        std::vector<uint32_t> opaque(store.pixels);
        for (uint32_t& p : opaque) p |= 0xFF000000u;
        store.opaqueTexture = MakeTexture(store, opaque.data(), false);
    }
    return store.opaqueTexture;
}

SDL_Texture* SurfaceTexture() {
    return gQueue.surfaceStore ? gQueue.surfaceStore->texture : screen::BackBuffer();
}

void FlushGpu() {
    Queue& q = gQueue;
    if (q.indices.empty()) return;
    SDL_Renderer* r = q.renderer;
    SDL_Texture* target = SurfaceTexture();
    if (SDL_GetRenderTarget(r) != target) SDL_SetRenderTarget(r, target);
    SDL_RenderSetViewport(r, q.surfaceStore ? &q.surfaceArea : nullptr);
    SDL_RenderSetClipRect(r, &q.clip);
    if (q.batchTexture) {
        SDL_SetTextureBlendMode(q.batchTexture, q.batchBlend);
    } else {
        SDL_SetRenderDrawBlendMode(r, q.batchBlend);
    }
    SDL_RenderGeometry(r, q.batchTexture, q.vertices.data(), static_cast<int>(q.vertices.size()),
                       q.indices.data(), static_cast<int>(q.indices.size()));
    q.vertices.clear();
    q.indices.clear();
}

void QueueGpu(PixelStore* source, bool honourAlpha, int blendMode, SDL_Color colour,
              const Corner corners[4]) {
    Queue& q = gQueue;
    SDL_Texture* texture = nullptr;
    float invW = 0, invH = 0;
    if (source) {
        texture = honourAlpha ? source->texture : OpaqueTexture(*source);
        if (!texture) return;
        invW = 1.0f / source->width;
        invH = 1.0f / source->height;
    }
    const SDL_BlendMode blend = BlendFor(blendMode);
    if (texture != q.batchTexture || blend != q.batchBlend ||
        q.indices.size() >= static_cast<size_t>(kBatchQuads) * 6) {
        FlushGpu();
        q.batchTexture = texture;
        q.batchBlend = blend;
    }
    const int base = static_cast<int>(q.vertices.size());
    for (int i = 0; i < 4; ++i)
        q.vertices.push_back(SDL_Vertex{{corners[i].x, corners[i].y}, colour,
                                        {corners[i].u * invW, corners[i].v * invH}});
    // Top-left, top-right, bottom-left; then top-right, bottom-right, bottom-left.
    for (int k : {0, 1, 3, 1, 2, 3}) q.indices.push_back(base + k);
}

void QueueCpu(PixelStore* source, const SDL_Rect* area, bool honourAlpha, int blendMode, SDL_Color colour,
              const Corner corners[4]) {
    Queue& q = gQueue;
    RasterTarget target;
    if (q.surfaceStore) {
        PixelStore& s = *q.surfaceStore;
        target = {s.pixels.data() + static_cast<size_t>(q.surfaceArea.y) * s.width + q.surfaceArea.x, s.width,
                  q.surfaceArea.w, q.surfaceArea.h};
    } else {
        target = {q.frame.data(), kScreenWidth, kScreenWidth, kScreenHeight};
        q.frameDirty = true;
    }
    if (source) {
        const RasterSource raster{source->pixels.data(), source->width,
                                  area ? *area : SDL_Rect{0, 0, source->width, source->height}};
        RasteriseQuad(target, q.clip, &raster, honourAlpha, blendMode, colour, corners);
    } else {
        RasteriseQuad(target, q.clip, nullptr, honourAlpha, blendMode, colour, corners);
    }
}

// The OpenGL driver's name when it draws on the CPU itself (Mesa's llvmpipe
// and softpipe, or its older swrast), else empty.
std::string SoftwareOpenGl(const SDL_RendererInfo& info) {
    if (std::strncmp(info.name, "opengl", 6) != 0 || !SDL_GL_GetCurrentContext()) return {};
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    if (!name) return {};
    const std::string driver(reinterpret_cast<const char*>(name));
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
        if (driver.find(soft) != std::string::npos) return driver;
    return {};
}

// Where draws are made. SDL's software renderer maps texels wrongly on
// triangles, so we draw ourselves there; an OpenGL driver without a GPU is
// much slower at it than we are. LUMOTTA_DRAWING=gpu or cpu overrides the
// choice where both work.
Backend ChooseBackend(const SDL_RendererInfo& info) {
    if (std::strcmp(info.name, "software") == 0) {
        log::Write("Drawing on the CPU (SDL's software renderer)\n");
        return Backend::Cpu;
    }
    const char* wish = SDL_getenv("LUMOTTA_DRAWING");
    if (wish && (std::strcmp(wish, "cpu") == 0 || std::strcmp(wish, "gpu") == 0)) {
        log::Write("Drawing on the %s (LUMOTTA_DRAWING)\n", wish[0] == 'c' ? "CPU" : "GPU");
        return wish[0] == 'c' ? Backend::Cpu : Backend::Gpu;
    }
    const std::string soft = SoftwareOpenGl(info);
    if (!soft.empty()) {
        log::Write("Drawing on the CPU (the OpenGL driver %s has no GPU)\n", soft.c_str());
        return Backend::Cpu;
    }
    log::Write("Drawing on the GPU\n");
    return Backend::Gpu;
}

}  // namespace

void RenderStart(SDL_Renderer* renderer) {
    gQueue = Queue{};
    gQueue.renderer = renderer;
    SDL_RendererInfo info{};
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0) {
        gQueue.backend = ChooseBackend(info);
        gQueue.maxTextureSide = std::min(info.max_texture_width ? info.max_texture_width : 16384,
                                         info.max_texture_height ? info.max_texture_height : 16384);
    }
    if (gQueue.backend == Backend::Gpu) {
        gQueue.vertices.reserve(kBatchQuads * 4);
        gQueue.indices.reserve(kBatchQuads * 6);
    } else {
        // The back buffer starts black.
        gQueue.frame.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u);
    }
}

void RenderStop() {
    FlushRender();
    gQueue = Queue{};
}

Backend ActiveBackend() { return gQueue.backend; }
int MaxTextureSide() { return gQueue.maxTextureSide; }

bool MakeTextures(PixelStore& store) {
    if (gQueue.backend == Backend::Cpu || !gQueue.renderer) return true;
    if (store.width > gQueue.maxTextureSide || store.height > gQueue.maxTextureSide) {
        log::Write("A %d x %d picture is larger than the renderer's textures\n", store.width, store.height);
        return false;
    }
    store.texture = MakeTexture(store, store.pixels.data(), store.renderTarget);
    return store.texture != nullptr;
}

bool MakeRenderTarget(PixelStore& store) {
    if (store.renderTarget) return true;
    store.renderTarget = true;
    if (gQueue.backend == Backend::Cpu) return true;
    FlushGpu();
    SDL_Texture* texture = MakeTexture(store, store.pixels.data(), true);
    if (!texture) {
        store.renderTarget = false;
        return false;
    }
    if (store.texture) SDL_DestroyTexture(store.texture);
    store.texture = texture;
    return true;
}

bool RestoreTextures(PixelStore& store) {
    store.DropTextures();
    return MakeTextures(store);
}

void SetRenderSurface(PixelStore* store, const SDL_Rect& area) {
    Queue& q = gQueue;
    if (store == q.surfaceStore && SDL_RectEquals(&area, &q.surfaceArea)) return;
    FlushRender();
    if (q.surfaceStore && q.surfaceDrawn && q.backend == Backend::Gpu) {
        // Keep what was drawn into the picture, for draws that ignore its
        // alpha and for rebuilding it after a device reset.
        PixelStore& drawn = *q.surfaceStore;
        SDL_SetRenderTarget(q.renderer, drawn.texture);
        SDL_RenderReadPixels(q.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, drawn.pixels.data(), drawn.width * 4);
        if (drawn.opaqueTexture) SDL_DestroyTexture(drawn.opaqueTexture);
        drawn.opaqueTexture = nullptr;
        SDL_SetRenderTarget(q.renderer, screen::BackBuffer());
    }
    q.surfaceDrawn = false;
    gQueue.surfaceStore = store;
    gQueue.surfaceArea = area;
}

void SetRenderClip(const SDL_Rect& clip) {
    if (SDL_RectEquals(&clip, &gQueue.clip)) return;
    FlushGpu();
    gQueue.clip = clip;
}

void QueueQuad(PixelStore* source, const SDL_Rect* area, bool honourAlpha, int blendMode, SDL_Color colour,
               const Corner corners[4]) {
    if (!gQueue.renderer) return;
    gQueue.surfaceDrawn = gQueue.surfaceStore != nullptr;
    if (gQueue.backend == Backend::Cpu) {
        QueueCpu(source, area, honourAlpha, blendMode, colour, corners);
    } else {
        QueueGpu(source, honourAlpha, blendMode, colour, corners);
    }
}

void FlushRender() {
    if (gQueue.renderer && gQueue.backend == Backend::Gpu) FlushGpu();
}

void UpdateBackBuffer() {
    Queue& q = gQueue;
    if (!q.renderer) return;
    if (q.backend == Backend::Gpu) {
        FlushGpu();
        return;
    }
    if (!q.frameDirty) return;
    // SDL may still hold commands for the back buffer (ClearScreen's clear):
    // they must run before the upload, or at the next flush they run after it
    // and wipe the frame. SDL flushes by itself only for textures drawn from.
    SDL_RenderFlush(q.renderer);
    if (SDL_Texture* back = screen::BackBuffer()) SDL_UpdateTexture(back, nullptr, q.frame.data(), kScreenWidth * 4);
    q.frameDirty = false;
}

void NoteScreenCleared() {
    Queue& q = gQueue;
    FlushGpu();
    if (q.backend == Backend::Cpu) {
        std::fill(q.frame.begin(), q.frame.end(), 0xFF000000u);
        q.frameDirty = false;
    }
}

void NoteBackBufferRemade() {
    // Ours is the picture drawn so far: it goes into the new one.
    if (gQueue.backend == Backend::Cpu) gQueue.frameDirty = true;
}

}  // namespace media::images
