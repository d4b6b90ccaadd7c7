// The window, its renderer and the 640x480 back buffer every draw lands on.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/media.h"

#include <SDL.h>

#include <string>

namespace {

struct WindowWishes {
    int windowed = 1;
    std::string caption = "Lumotta";
    double scale = 1.0;
    int pacing = 1;
};

WindowWishes gWishes;
SDL_Window* gWindow = nullptr;
SDL_Renderer* gRenderer = nullptr;
SDL_Texture* gBackBuffer = nullptr;
int gDrawTarget = kDrawTargetBack;
uint64_t gNextDeadline = 0;

}  // namespace

namespace media::screen {

bool Start() {
    const int w = static_cast<int>(kScreenWidth * gWishes.scale);
    const int h = static_cast<int>(kScreenHeight * gWishes.scale);
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (!gWishes.windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    gWindow = SDL_CreateWindow(gWishes.caption.c_str(), SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, w, h, flags);
    if (!gWindow) {
        log::Write("ウインドウの作成に失敗しました\n");
        log::Write("%s\n", SDL_GetError());
        return false;
    }
    gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!gRenderer) gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_TARGETTEXTURE);
    if (!gRenderer) {
        log::Write("The renderer could not be made: %s\n", SDL_GetError());
        Stop();
        return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(gRenderer, &info);
    log::Write("Renderer: %s\n", info.name);
    gBackBuffer = SDL_CreateTexture(gRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                    kScreenWidth, kScreenHeight);
    if (!gBackBuffer) {
        log::Write("The back buffer could not be made: %s\n", SDL_GetError());
        Stop();
        return false;
    }
    SDL_SetRenderTarget(gRenderer, gBackBuffer);
    gNextDeadline = 0;
    return true;
}

void Stop() {
    if (gBackBuffer) SDL_DestroyTexture(gBackBuffer);
    if (gRenderer) SDL_DestroyRenderer(gRenderer);
    if (gWindow) SDL_DestroyWindow(gWindow);
    gBackBuffer = nullptr;
    gRenderer = nullptr;
    gWindow = nullptr;
}

bool Running() { return gRenderer != nullptr; }
SDL_Window* Window() { return gWindow; }
SDL_Renderer* Renderer() { return gRenderer; }
SDL_Texture* BackBuffer() { return gBackBuffer; }

void HandleWindowEvent(const SDL_Event&) {}

}  // namespace media::screen

int ChangeWindowMode(int windowed) {
    media::ApiLockGuard lock;
    gWishes.windowed = windowed ? 1 : 0;
    if (gWindow) {
        SDL_SetWindowFullscreen(gWindow, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        media::images::OnDisplayRecreated();
        gDrawTarget = kDrawTargetFront;
    }
    return 0;
}

int SetWindowCaption(const char* text) {
    media::ApiLockGuard lock;
    gWishes.caption = text ? text : "";
    if (gWindow) SDL_SetWindowTitle(gWindow, gWishes.caption.c_str());
    return 0;
}

int SetWindowScale(double rate) {
    media::ApiLockGuard lock;
    gWishes.scale = rate > 0 ? rate : 1.0;
    return 0;
}

int SetMouseCursorVisible(int flag) {
    media::ApiLockGuard lock;
    if (gWindow) SDL_ShowCursor(flag ? SDL_ENABLE : SDL_DISABLE);
    return 0;
}

int SetFramePacing(int on) {
    media::ApiLockGuard lock;
    gWishes.pacing = on ? 1 : 0;
    return 0;
}

int SetDrawTarget(int target) {
    media::ApiLockGuard lock;
    if (!gRenderer) return -1;
    if (!media::images::SelectDrawTarget(target)) return -1;
    gDrawTarget = target;
    return 0;
}

int ClearScreen() {
    media::ApiLockGuard lock;
    if (!gRenderer) return -1;
    media::images::BeforeClear();
    SDL_SetRenderTarget(gRenderer, gBackBuffer);
    SDL_RenderSetClipRect(gRenderer, nullptr);
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    return 0;
}

int FlipScreen() {
    media::ApiLockGuard lock;
    if (!gRenderer) return -1;
    media::images::BeforePresent();
    SDL_SetRenderTarget(gRenderer, nullptr);
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    SDL_RenderSetLogicalSize(gRenderer, kScreenWidth, kScreenHeight);
    SDL_RenderCopy(gRenderer, gBackBuffer, nullptr, nullptr);
    SDL_RenderPresent(gRenderer);
    SDL_SetRenderTarget(gRenderer, gBackBuffer);
    if (gWishes.pacing) {
        const uint64_t frequency = SDL_GetPerformanceFrequency();
        const uint64_t period = frequency / 60;
        uint64_t now = SDL_GetPerformanceCounter();
        if (gNextDeadline == 0 || now > gNextDeadline + frequency / 10) gNextDeadline = now;
        gNextDeadline += period;
        while ((now = SDL_GetPerformanceCounter()) < gNextDeadline) {
            const uint64_t left = (gNextDeadline - now) * 1000 / frequency;
            if (left > 1) SDL_Delay(static_cast<Uint32>(left - 1));
        }
    }
    return 0;
}

int ReadScreenPixels(uint32_t* pixels, int width, int height) {
    media::ApiLockGuard lock;
    if (!gRenderer || !pixels || width != kScreenWidth || height != kScreenHeight) return -1;
    media::images::FinishDrawing();
    SDL_SetRenderTarget(gRenderer, gBackBuffer);
    return SDL_RenderReadPixels(gRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels,
                                width * 4) == 0 ? 0 : -1;
}
