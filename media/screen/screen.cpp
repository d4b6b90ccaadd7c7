// The window, its renderer and the 640x480 back buffer every draw lands on.
// FlipScreen letterboxes the back buffer into the window and paces the game
// at 60 frames per second.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/core/message_pump.h"
#include "media/media.h"
#include "media/screen/desktop.h"
#include "media/screen/frame_pacer.h"
#include "media/screen/letterbox.h"
#include "media/screen/window_settings.h"

#include <SDL.h>
#include <dlfcn.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

namespace {

// The window's place and size while windowed, in desktop pixels.
struct Placement {
    int x = 0, y = 0, w = 0, h = 0;
    bool known = false;
};

// Settings that may be made before the window exists.
struct WindowWishes {
    int windowed = 1;
    std::string caption = "Lumotta";
    double scale = 1.0;
    int cursorVisible = 1;
    int pacing = 1;
    int scaling = kScalingSmooth;
    Placement placement;  // where the next window opens (SetWindowPlacement)
};

constexpr double kMaxWindowScale = 16.0;

WindowWishes gWishes;
Placement gSeenPlacement;  // the window's own, as last seen windowed
// Full screen made by covering the display with the borderless window, where
// no window manager answers the request for full screen.
bool gOwnFullScreen = false;
SDL_Window* gWindow = nullptr;
SDL_Renderer* gRenderer = nullptr;
SDL_Texture* gBackBuffer = nullptr;
int gDrawTarget = kDrawTargetBack;

// Pacing: by the vertical blank on a 60 Hz display, else by the clock.
bool gVsync = false;
bool gVsyncDistrusted = false;  // the vertical blank turned out not to hold the rate
int gRefreshRate = 0;
media::screen::FramePacer gPacer;
media::screen::PresentCost gPresentCost;
// OpenGL renders what was queued when it must: glFinish makes it happen
// before the pacing sleep instead of inside the present.
using GlFinish = void (*)();
GlFinish gGlFinish = nullptr;
int64_t gLastPresentNs = 0;
int gVsyncFrames = 0;
int64_t gVsyncSpanNs = 0;

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepUntil(int64_t deadlineNs) {
    // steady_clock is CLOCK_MONOTONIC; an absolute sleep does not drift.
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadlineNs / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(deadlineNs % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
    }
}

int windowDisplayRefresh() {
    if (!gWindow) return 0;
    const int display = SDL_GetWindowDisplayIndex(gWindow);
    SDL_DisplayMode mode{};
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

// Chooses between the vertical blank and the clock. Called at start, when the
// pacing setting changes and when the window moves to another display.
void choosePacing() {
    if (!gRenderer) return;
    gRefreshRate = windowDisplayRefresh();
    const bool sixtyHz = gRefreshRate == 59 || gRefreshRate == 60;
    const bool wantVsync = gWishes.pacing && sixtyHz && !gVsyncDistrusted;
    if (wantVsync != gVsync || wantVsync) {
        if (SDL_RenderSetVSync(gRenderer, wantVsync ? 1 : 0) != 0 && wantVsync) {
            media::log::Write("The vertical blank cannot be waited for (%s); pacing by the clock\n",
                              SDL_GetError());
            gVsyncDistrusted = true;
            SDL_RenderSetVSync(gRenderer, 0);
            gVsync = false;
        } else {
            gVsync = wantVsync;
        }
    }
    gPacer.Reset();
    gPresentCost.Reset();
    gVsyncFrames = 0;
    gVsyncSpanNs = 0;
    if (!gWishes.pacing)
        media::log::Write("Frame pacing off: frames are shown as fast as they come\n");
    else if (gVsync)
        media::log::Write("Frame pacing: the vertical blank of the %d Hz display\n", gRefreshRate);
    else
        media::log::Write("Frame pacing: the clock at 60 frames per second (display %d Hz)\n",
                          gRefreshRate);
}

// Some drivers accept a vertical-blank wait and then ignore it. When the first
// second runs clearly faster than 60 frames per second, pace by the clock.
void watchVsync(int64_t presentNs) {
    if (!gVsync || gLastPresentNs == 0) return;
    if (++gVsyncFrames <= 5) return;  // start-up frames prove nothing
    gVsyncSpanNs += presentNs - gLastPresentNs;
    if (gVsyncFrames < 65) return;
    const int64_t averageNs = gVsyncSpanNs / (gVsyncFrames - 5);
    if (averageNs < 14'000'000) {
        media::log::Write("The vertical blank did not hold 60 frames per second (%.2f ms a frame); "
                          "pacing by the clock\n", averageNs / 1e6);
        gVsyncDistrusted = true;
        choosePacing();
    } else {
        gVsyncFrames = -1'000'000'000;  // trusted; stop watching
    }
}

// The window's size in windowed mode.
void applyWindowedSize() {
    const int w = static_cast<int>(std::lround(kScreenWidth * gWishes.scale));
    const int h = static_cast<int>(std::lround(kScreenHeight * gWishes.scale));
    SDL_SetWindowSize(gWindow, w < 1 ? 1 : w, h < 1 ? 1 : h);
    SDL_SetWindowPosition(gWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

constexpr int kMinWindowW = kScreenWidth / 4, kMinWindowH = kScreenHeight / 4;

// A remembered place made safe for the displays there are now: no larger
// than the display its centre lies on, and centred when its centre lies on
// none (a display since unplugged).
Placement fitOnDisplays(Placement p) {
    p.w = std::max(p.w, kMinWindowW);
    p.h = std::max(p.h, kMinWindowH);
    const int cx = p.x + p.w / 2, cy = p.y + p.h / 2;
    for (int d = 0; d < SDL_GetNumVideoDisplays(); ++d) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(d, &bounds) != 0) continue;
        if (cx < bounds.x || cy < bounds.y || cx >= bounds.x + bounds.w || cy >= bounds.y + bounds.h) continue;
        p.w = std::min(p.w, bounds.w);
        p.h = std::min(p.h, bounds.h);
        return p;
    }
    SDL_Rect first{};
    if (SDL_GetDisplayBounds(0, &first) == 0) {
        p.w = std::min(p.w, first.w);
        p.h = std::min(p.h, first.h);
    }
    p.x = SDL_WINDOWPOS_CENTERED;
    p.y = SDL_WINDOWPOS_CENTERED;
    return p;
}

// The frame a window manager draws around the window: left and top edges
// (0 where there is none, or it is not known yet).
void frameEdges(int* left, int* top) {
    int t = 0, l = 0, b = 0, r = 0;
    if (!gWindow || SDL_GetWindowBordersSize(gWindow, &t, &l, &b, &r) != 0) t = l = 0;
    *left = l;
    *top = t;
}

// Notes where the window is while it is an ordinary window. The place is the
// frame's top left corner, as a window manager takes the place a new window
// asks for: SDL tells where the picture inside the frame is.
void notePlacement() {
    if (!gWindow || !gWishes.windowed || gOwnFullScreen) return;
    if (SDL_GetWindowFlags(gWindow) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED))
        return;
    Placement p;
    SDL_GetWindowPosition(gWindow, &p.x, &p.y);
    SDL_GetWindowSize(gWindow, &p.w, &p.h);
    int left = 0, top = 0;
    frameEdges(&left, &top);
    p.x -= left;
    p.y -= top;
    p.known = p.w > 0 && p.h > 0;
    if (p.known) gSeenPlacement = p;
}

// Back from full screen: where the window was, or as the scale says. SDL
// moves the picture inside the frame: the frame's place is moved by its
// edges.
void restoreWindowedPlace() {
    const Placement& known = gSeenPlacement.known ? gSeenPlacement : gWishes.placement;
    if (!known.known) {
        applyWindowedSize();
        return;
    }
    const Placement p = fitOnDisplays(known);
    SDL_SetWindowSize(gWindow, p.w, p.h);
    if (p.x == SDL_WINDOWPOS_CENTERED) {
        SDL_SetWindowPosition(gWindow, p.x, p.y);
        return;
    }
    int left = 0, top = 0;
    frameEdges(&left, &top);
    SDL_SetWindowPosition(gWindow, p.x + left, p.y + top);
}

// Full screen on the desktop's resolution. A window manager does it when
// asked; without one nobody answers SDL's request, the window keeps its size
// while SDL draws for the whole display (a corner of the picture, enlarged),
// so the borderless window is laid over the display here.
bool enterFullScreen() {
    if (media::screen::DesktopMakesFullScreen(gWindow))
        return SDL_SetWindowFullscreen(gWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(gWindow);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0) return false;
    SDL_SetWindowBordered(gWindow, SDL_FALSE);
    SDL_SetWindowPosition(gWindow, bounds.x, bounds.y);
    SDL_SetWindowSize(gWindow, bounds.w, bounds.h);
    SDL_RaiseWindow(gWindow);
    gOwnFullScreen = true;
    media::log::Write("(no window manager: the window covers the display, %dx%d) ", bounds.w, bounds.h);
    return true;
}

bool leaveFullScreen() {
    if (!gOwnFullScreen) return SDL_SetWindowFullscreen(gWindow, 0) == 0;
    gOwnFullScreen = false;
    SDL_SetWindowBordered(gWindow, SDL_TRUE);
    return true;
}

// What drawing the picture into the window disturbs: the back buffer as
// target, with its clip rectangle and draw state. Kept for the life of the
// object and put back at its end.
class BackBufferState {
public:
    BackBufferState() {
        clipped_ = SDL_RenderIsClipEnabled(gRenderer);
        if (clipped_) SDL_RenderGetClipRect(gRenderer, &clip_);
        SDL_GetRenderDrawColor(gRenderer, &r_, &g_, &b_, &a_);
        SDL_GetRenderDrawBlendMode(gRenderer, &blend_);
    }
    ~BackBufferState() {
        SDL_SetRenderTarget(gRenderer, gBackBuffer);
        SDL_SetRenderDrawColor(gRenderer, r_, g_, b_, a_);
        SDL_SetRenderDrawBlendMode(gRenderer, blend_);
        if (clipped_) SDL_RenderSetClipRect(gRenderer, &clip_);
    }
    BackBufferState(const BackBufferState&) = delete;
    BackBufferState& operator=(const BackBufferState&) = delete;

private:
    SDL_Rect clip_{};
    bool clipped_ = false;
    Uint8 r_ = 0, g_ = 0, b_ = 0, a_ = 0;
    SDL_BlendMode blend_ = SDL_BLENDMODE_NONE;
};

// The back buffer into the window, scaled as chosen, black bars around.
void drawWindowPicture() {
    SDL_SetRenderTarget(gRenderer, nullptr);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(gRenderer, &outW, &outH);
    const media::screen::PictureRect box = media::screen::PictureBox(outW, outH, gWishes.scaling);
    if (box.x > 0 || box.y > 0 || box.w < outW || box.h < outH) {
        SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
        SDL_RenderClear(gRenderer);
    }
    SDL_SetTextureScaleMode(gBackBuffer, box.wholeMultiple ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(gBackBuffer, SDL_BLENDMODE_NONE);
    const SDL_Rect dest{box.x, box.y, box.w, box.h};
    SDL_RenderCopy(gRenderer, gBackBuffer, nullptr, &dest);
}

void clearBackBuffer() {
    SDL_SetRenderTarget(gRenderer, gBackBuffer);
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
}

bool makeBackBuffer() {
    gBackBuffer = SDL_CreateTexture(gRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                    kScreenWidth, kScreenHeight);
    if (!gBackBuffer) {
        media::log::Fail("The back buffer could not be made: %s\n", SDL_GetError());
        return false;
    }
    clearBackBuffer();
    return true;
}

void logDisplay() {
    const int display = SDL_GetWindowDisplayIndex(gWindow);
    SDL_DisplayMode mode{};
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) {
        media::log::Write("Display %d (%s): %dx%d, %d bits, %d Hz\n", display,
                          SDL_GetDisplayName(display) ? SDL_GetDisplayName(display) : "?", mode.w,
                          mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)), mode.refresh_rate);
    }
}

// When the connection to the X server is lost, the X library calls its I/O
// error handler and then ends the program with exit(). Ours says so in the
// log first and hands on to the handler it replaced (the library's own,
// which names the display and exits): the game saves at that exit as at a
// normal end. SDL loads the X library itself; it is only looked up.
using XIoErrorHandler = int (*)(void*);
XIoErrorHandler gPreviousIoHandler = nullptr;

int displayLost(void* display) {
    media::log::Write("The connection to the display was lost: the program ends\n");
    if (gPreviousIoHandler) return gPreviousIoHandler(display);
    return 0;
}

void watchForALostDisplay() {
    static bool installed = false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (installed || !driver || std::strcmp(driver, "x11") != 0) return;
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11) return;
    using SetHandler = XIoErrorHandler (*)(XIoErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"))) {
        gPreviousIoHandler = set(displayLost);
        installed = true;
    }
    dlclose(x11);  // SDL keeps it loaded
}

}  // namespace

namespace media::screen {

bool Start() {
    Placement place;
    place.w = static_cast<int>(std::lround(kScreenWidth * gWishes.scale));
    place.h = static_cast<int>(std::lround(kScreenHeight * gWishes.scale));
    place.x = place.y = SDL_WINDOWPOS_CENTERED;
    if (gWishes.placement.known) place = fitOnDisplays(gWishes.placement);
    gSeenPlacement = Placement{};
    gOwnFullScreen = false;
    gWindow = SDL_CreateWindow(gWishes.caption.c_str(), place.x, place.y, place.w, place.h,
                               SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!gWindow) {
        log::Fail("ウインドウの作成に失敗しました\n");
        log::Fail("SDL: %s\n", SDL_GetError());
        return false;
    }
    if (!gWishes.windowed && !enterFullScreen()) log::Write("Full screen failed: %s\n", SDL_GetError());
    SDL_SetWindowMinimumSize(gWindow, kMinWindowW, kMinWindowH);
    watchForALostDisplay();
    logDisplay();

    gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!gRenderer) {
        log::Write("No accelerated renderer (%s); trying any renderer\n", SDL_GetError());
        gRenderer = SDL_CreateRenderer(gWindow, -1, SDL_RENDERER_TARGETTEXTURE);
    }
    if (!gRenderer) {
        log::Fail("The renderer could not be made: %s\n", SDL_GetError());
        Stop();
        return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(gRenderer, &info);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(gRenderer, &outW, &outH);
    log::Write("Renderer: %s%s, output %dx%d, largest texture %dx%d\n", info.name,
               (info.flags & SDL_RENDERER_ACCELERATED) ? " (accelerated)" : "", outW, outH,
               info.max_texture_width, info.max_texture_height);
    if (!makeBackBuffer()) {
        Stop();
        return false;
    }
    gGlFinish = std::strncmp(info.name, "opengl", 6) == 0 && SDL_GL_GetCurrentContext()
                    ? reinterpret_cast<GlFinish>(SDL_GL_GetProcAddress("glFinish"))
                    : nullptr;
    gDrawTarget = kDrawTargetBack;
    gVsync = false;
    gVsyncDistrusted = false;
    gLastPresentNs = 0;
    choosePacing();

    // The cursor shows in a window and hides in full screen.
    gWishes.cursorVisible = gWishes.windowed;
    SDL_ShowCursor(gWishes.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    if (!gWishes.cursorVisible) log::Write("カーソルを不可視にしました\n");
    // No input-method window pops up over the game.
    SDL_StopTextInput();
    log::Write("ＩＭＥを無効にしました\n");
    SDL_RaiseWindow(gWindow);
    return true;
}

void Stop() {
    notePlacement();
    gOwnFullScreen = false;
    gWishes.placement.known = false;  // a wish is for the one window made after it
    if (gBackBuffer) SDL_DestroyTexture(gBackBuffer);
    if (gRenderer) SDL_DestroyRenderer(gRenderer);
    if (gWindow) SDL_DestroyWindow(gWindow);
    gBackBuffer = nullptr;
    gRenderer = nullptr;
    gWindow = nullptr;
    gVsync = false;
    gGlFinish = nullptr;
}

bool Running() { return gRenderer != nullptr; }
bool Paced() { return gWishes.pacing != 0; }
SDL_Window* Window() { return gWindow; }
SDL_Renderer* Renderer() { return gRenderer; }
SDL_Texture* BackBuffer() { return gBackBuffer; }

void HandleWindowEvent(const SDL_Event& event) {
    if (!gRenderer) return;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
        logDisplay();
        choosePacing();
    } else if (event.type == SDL_RENDER_DEVICE_RESET) {
        // Every texture is gone: make the back buffer again (the images
        // area rebuilds its own at the next ClearScreen).
        log::Write("The display device was reset; making the back buffer again\n");
        SDL_DestroyTexture(gBackBuffer);
        gBackBuffer = nullptr;
        makeBackBuffer();
    } else if (event.type == SDL_RENDER_TARGETS_RESET) {
        if (gBackBuffer) clearBackBuffer();
    }
}

void DrawWindowPicture() {
    if (!gRenderer || !gBackBuffer) return;
    media::images::FinishDrawing();
    drawWindowPicture();
}

void Repaint() {
    if (!gRenderer || !gBackBuffer) return;
    BackBufferState keep;
    drawWindowPicture();
    SDL_RenderPresent(gRenderer);
}

}  // namespace media::screen

int ChangeWindowMode(int windowed) {
    media::ApiLockGuard lock;
    media::log::Write("ChangeWindowMode実行 \n");
    windowed = windowed ? 1 : 0;
    if (windowed == gWishes.windowed) return 0;
    gWishes.windowed = windowed;
    media::log::Write(windowed ? "ウインドウモードフラグが立てられました\n"
                               : "ウインドウモードフラグが倒されました\n");
    if (!gWindow) return 0;

    media::log::Write(windowed ? "ウインドウスタイルをウインドウモード用に変更します..."
                               : "ウインドウスタイルをフルスクリーンモード用に変更します...");
    if (!windowed) {
        // Where the window was, for the way back.
        gWishes.windowed = 1;
        notePlacement();
        gWishes.windowed = 0;
    }
    if (!(windowed ? leaveFullScreen() : enterFullScreen())) {
        media::log::Write("失敗しました: %s\n", SDL_GetError());
        gWishes.windowed = windowed ? 0 : 1;
        return -1;
    }
    if (windowed) restoreWindowedPlace();
    media::log::Write("完了\n");

    // The display is made anew for the new mode: every image is deleted and
    // the drawing state starts over, with the front buffer as draw target
    // until the game selects the back buffer again.
    media::images::OnDisplayRecreated();
    clearBackBuffer();
    SDL_RenderSetClipRect(gRenderer, nullptr);
    gDrawTarget = kDrawTargetFront;
    choosePacing();
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
    if (!(rate > 0)) rate = 1.0;  // also NaN
    if (rate > kMaxWindowScale) rate = kMaxWindowScale;
    if (rate == gWishes.scale) return 0;
    gWishes.scale = rate;
    if (gWindow && gWishes.windowed) {
        applyWindowedSize();
        notePlacement();
    } else if (!gWindow) {
        gWishes.placement.known = false;  // the scale decides the size
    }
    return 0;
}

int SetScalingMode(int mode) {
    media::ApiLockGuard lock;
    if (mode != kScalingSmooth && mode != kScalingSharp) return -1;
    gWishes.scaling = mode;
    return 0;
}

int SetWindowPlacement(int x, int y, int width, int height) {
    media::ApiLockGuard lock;
    if (width <= 0 || height <= 0) return -1;
    gWishes.placement = {x, y, width, height, true};
    if (gWindow) {
        gSeenPlacement = gWishes.placement;
        if (gWishes.windowed) restoreWindowedPlace();
    }
    return 0;
}

int GetWindowPlacement(int* x, int* y, int* width, int* height) {
    media::ApiLockGuard lock;
    notePlacement();
    const Placement& p = gSeenPlacement.known ? gSeenPlacement : gWishes.placement;
    if (!p.known) return -1;
    if (x) *x = p.x;
    if (y) *y = p.y;
    if (width) *width = p.w;
    if (height) *height = p.h;
    return 0;
}

int SetMouseCursorVisible(int flag) {
    media::ApiLockGuard lock;
    gWishes.cursorVisible = flag ? 1 : 0;
    if (gWindow) SDL_ShowCursor(gWishes.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    return 0;
}

int SetFramePacing(int on) {
    media::ApiLockGuard lock;
    on = on ? 1 : 0;
    if (on == gWishes.pacing) return 0;
    gWishes.pacing = on;
    choosePacing();
    return 0;
}

// The drawing area keeps the target and its clip rectangle; images may be
// targets too.
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
    if (media::images::BeforeClear()) return 0;  // a picture was the target
    if (SDL_GetRenderTarget(gRenderer) != gBackBuffer) SDL_SetRenderTarget(gRenderer, gBackBuffer);
    // The whole target is filled; the clip rectangle does not apply.
    SDL_Rect clip{};
    const bool clipped = SDL_RenderIsClipEnabled(gRenderer);
    if (clipped) SDL_RenderGetClipRect(gRenderer, &clip);
    Uint8 r, g, b, a;
    SDL_GetRenderDrawColor(gRenderer, &r, &g, &b, &a);
    SDL_RenderSetClipRect(gRenderer, nullptr);
    SDL_SetRenderDrawColor(gRenderer, 0, 0, 0, 255);
    SDL_RenderClear(gRenderer);
    SDL_SetRenderDrawColor(gRenderer, r, g, b, a);
    if (clipped) SDL_RenderSetClipRect(gRenderer, &clip);
    return 0;
}

int FlipScreen() {
    media::ApiLockGuard lock;
    if (!gRenderer) return -1;
    media::images::BeforePresent();

    // Leaving the back buffer as target forgets its clip rectangle and draw
    // state; they are kept for the drawing of the next frame.
    BackBufferState keep;
    drawWindowPicture();

    const bool byClock = gWishes.pacing && !gVsync;
    if (byClock) {
        // The frame is drawn before the sleep, so that what is left for the
        // deadline is the short and steady present.
        SDL_RenderFlush(gRenderer);
        if (gGlFinish && SDL_GL_GetCurrentContext()) gGlFinish();
        const int64_t due = gPacer.NextPresent(nowNs()) - gPresentCost.Estimate();
        if (due > nowNs()) {
            // Other threads (the music upkeep) may use the lock meanwhile.
            media::ApiLockRelease release;
            sleepUntil(due);
        }
    }
    const int64_t presenting = nowNs();
    SDL_RenderPresent(gRenderer);
    const int64_t presented = nowNs();
    if (byClock) {
        gPresentCost.Record(presented - presenting);
        // The grid counts from when the first frame showed, not from when
        // its present began.
        gPacer.AnchorFirstFrame(presented);
    }
    watchVsync(presented);
    gLastPresentNs = presented;
    return 0;
}

int ReadScreenPixels(uint32_t* pixels, int width, int height) {
    media::ApiLockGuard lock;
    if (!gRenderer || !pixels || width != kScreenWidth || height != kScreenHeight) return -1;
    media::images::FinishDrawing();
    if (SDL_GetRenderTarget(gRenderer) != gBackBuffer) SDL_SetRenderTarget(gRenderer, gBackBuffer);
    return SDL_RenderReadPixels(gRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels, width * 4) == 0
               ? 0
               : -1;
}

namespace media::screen {
std::string Caption() { return gWishes.caption; }
}  // namespace media::screen
