// Starting and stopping the media layer, and the message pump.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/decoded_cache.h"
#include "media/core/instance_lock.h"
#include "media/core/load_report.h"
#include "media/core/log.h"
#include "media/core/message_pump.h"
#include "media/core/system_info.h"
#include "media/core/upkeep_thread.h"
#include "media/core/work_ahead.h"
#include "media/media.h"
#include "media/screen/window_settings.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <malloc.h>
#include <ctime>
#include <thread>

namespace {

bool gRunning = false;
bool gQuit = false;         // set for good once the window is closed
bool gFocused = true;
bool gMinimised = false;
bool gSoundOn = false;
bool gAllowSecondInstance = false;
bool gSdlStarted = false;
std::thread::id gWindowThread;

constexpr int kEventsPerPass = 256;  // a flood of events cannot hold the game
constexpr Uint32 kShowWaitMs = 200;

bool active() { return gFocused && !gMinimised; }

void dispatch(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            gQuit = true;
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE: gQuit = true; break;
                case SDL_WINDOWEVENT_FOCUS_LOST: gFocused = false; break;
                case SDL_WINDOWEVENT_FOCUS_GAINED: gFocused = true; break;
                case SDL_WINDOWEVENT_MINIMIZED: gMinimised = true; break;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                case SDL_WINDOWEVENT_SHOWN: gMinimised = false; break;
                default: break;
            }
            media::screen::HandleWindowEvent(event);
            // The game is held in ProcessMessage while inactive: what the
            // window shows is the last frame, painted again when the window
            // system has lost it (another window dragged across).
            if (!active() && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                              event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
                media::screen::Repaint();
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            media::screen::HandleWindowEvent(event);
            break;
        default:
            break;
    }
    media::input::HandleEvent(event);
}

// Returns true when the queue was emptied.
bool pumpEvents() {
    SDL_Event event;
    for (int n = 0; n < kEventsPerPass; ++n) {
        if (!SDL_PollEvent(&event)) return true;
        dispatch(event);
    }
    return false;
}

void upkeep() {
    if (gSoundOn) media::sound::Upkeep();
}

// Undoes whatever InitMedia started, in reverse order.
void shutDown() {
    media::core::StopWorkAhead();
    media::movies::Stop();
    if (gSoundOn) media::sound::Stop();
    gSoundOn = false;
    media::images::Stop();
    media::input::Stop();
    media::screen::Stop();
    media::files::Stop();
    if (gSdlStarted) SDL_Quit();
    gSdlStarted = false;
    gRunning = false;
    media::core::ReleaseInstanceLock();
}

int failInit() {
    media::core::StopUpkeepThread();
    shutDown();
    media::log::Write("The media layer could not start\n");
    media::log::Close();
    return -1;
}

// Logs what the check for another running copy found.
void logInstanceCheck(media::core::InstanceCheck check) {
    using media::core::InstanceCheck;
    if (check == InstanceCheck::kSecond) {
        media::log::Write("二重起動されていますが続行します\n");
        return;
    }
    if (check == InstanceCheck::kUnknown)
        media::log::Write("The lock file %s cannot be made; not checking for another copy\n",
                          media::core::InstanceLockPath(media::screen::Caption()).c_str());
    media::log::Write("二重起動はされていませんでした\n");
}

// SDL falls back to its offscreen or dummy video driver when no display can
// be reached; a game running invisibly is of no use to anyone who did not ask
// for it by name.
bool displayWasMeant() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
    const char* wish = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return wish && std::strstr(wish, driver) != nullptr;
}

// Wayland's socket lives in XDG_RUNTIME_DIR (unless WAYLAND_DISPLAY names it
// whole). Without that folder no Wayland display can be reached, and trying
// makes the Wayland library say "XDG_RUNTIME_DIR is invalid or not set" on
// standard error, which reads like a fault of the game. Unless a driver is
// named, SDL then tries its other drivers only (never the invisible ones).
// True when it named the drivers (the wish is taken back once SDL started).
bool leaveOutUnreachableWayland() {
    const char* wish = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (wish && *wish) return false;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && wayland[0] == '/') return false;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat info{};
    if (runtime && runtime[0] == '/' && stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) return false;
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* name = SDL_GetVideoDriver(i);
        if (!name || !std::strcmp(name, "wayland") || !std::strcmp(name, "offscreen") ||
            !std::strcmp(name, "dummy") || !std::strcmp(name, "evdev"))
            continue;
        drivers += drivers.empty() ? name : std::string(",") + name;
    }
    if (drivers.empty()) return false;
    media::log::Write("XDG_RUNTIME_DIR is not set or no folder: no Wayland display can be reached; "
                      "trying %s\n", drivers.c_str());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    return true;
}

// Lets the window appear before the first frame (at most 200 ms).
void waitForWindow() {
    const Uint64 until = SDL_GetTicks64() + kShowWaitMs;
    SDL_Event event;
    while (SDL_GetTicks64() < until) {
        bool shown = false;
        while (SDL_PollEvent(&event)) {
            dispatch(event);
            if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_SHOWN ||
                                                  event.window.event == SDL_WINDOWEVENT_EXPOSED))
                shown = true;
        }
        if (shown) return;
        SDL_Delay(1);
    }
}

}  // namespace

namespace media::core {
bool OnWindowThread() { return gRunning && std::this_thread::get_id() == gWindowThread; }
bool Running() { return gRunning; }
}  // namespace media::core

int InitMedia() {
    media::ApiLockGuard lock;
    if (gRunning) return 0;
    // Another copy is looked for before the log is opened: the running
    // copy's Log.txt is its record and stays as it is.
    const media::core::InstanceCheck instance = media::core::AcquireInstanceLock(media::screen::Caption());
    if (instance == media::core::InstanceCheck::kSecond && !gAllowSecondInstance) {
        std::fprintf(stderr, "Lumotta: 二重起動されています、ソフトを終了します\n"
                             "Lumotta: another copy of the game is already running; this one ends "
                             "and leaves that copy's Log.txt as it is\n");
        // Started from the desktop menu, nobody reads standard error.
        const std::string caption = media::screen::Caption();
        ShowMessageBox(caption.c_str(), (caption + " is already running.").c_str());
        return -1;
    }
    media::log::Open();
    media::report::ForgetNamedFailures();
    media::core::LogSystem();
    gQuit = false;
    gFocused = true;
    gMinimised = false;
    gWindowThread = std::this_thread::get_id();
    media::files::Reset();
    media::cache::Start();
    // Pictures of a megabyte and more (backgrounds, overlay frames) get
    // pages of their own, given back to the system when they go. Left to
    // itself the allocator raises this threshold after the first such block
    // is freed and serves the next ones from its heaps, where what the
    // cache lets go of (freed on another thread than it was decoded on)
    // stays with the process and the peak creeps up.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);

    logInstanceCheck(instance);

    SDL_SetHint(SDL_HINT_APP_NAME, media::screen::Caption().c_str());
    // The game pauses itself while its window is inactive; SDL must not drop
    // joypad input on its own when it cannot tell which window has the focus
    // (no window manager, offscreen).
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const bool namedDrivers = leaveOutUnreachableWayland();
    const bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    if (started) gSdlStarted = true;
    const bool meant = started && displayWasMeant();
    if (namedDrivers) SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (!meant) {
        if (started)
            media::log::Fail("No display could be opened: SDL found only its \"%s\" driver, "
                             "which shows nothing\n", SDL_GetCurrentVideoDriver());
        else
            media::log::Fail("No display could be opened: %s\n", SDL_GetError());
        media::log::Fail("The game needs a desktop session (X11 or Wayland) to show its window; "
                         "start it from the desktop, or where DISPLAY or WAYLAND_DISPLAY is set\n");
        media::log::Write("(Tests and tools without a display set SDL_VIDEODRIVER=offscreen "
                          "SDL_AUDIODRIVER=dummy)\n");
        media::log::Write("ウインドウの作成に失敗しました\n");
        return failInit();
    }
    media::core::LogVideo();

    media::log::Write("Making the window\n");
    {
        media::log::Nest nest;
        if (!media::screen::Start()) return failInit();
    }
    waitForWindow();
    if (!media::core::StartUpkeepThread())
        media::log::Write("ProcessMessage をひたすら呼びつづけるスレッドの立ち上げに失敗しました\n");

    media::log::Write("Starting input\n");
    {
        media::log::Nest nest;
        if (!media::input::Start()) return failInit();
    }
    media::log::Write("Starting sound\n");
    {
        media::log::Nest nest;
        gSoundOn = media::sound::Start();
        if (!gSoundOn) media::log::Write("Sound stays off\n");
    }
    media::log::Write("Starting graphics\n");
    {
        media::log::Nest nest;
        if (!media::images::Start()) return failInit();
    }
    gRunning = true;
    SetDrawTarget(kDrawTargetBack);
    // The front and the back buffer start black.
    ClearScreen();
    FlipScreen();
    ClearScreen();
    media::log::Write("Decoded pictures and sounds are kept up to %zu MB (LUMOTTA_CACHE_MB)\n",
                      media::cache::BudgetBytes() >> 20);
    media::log::Write("The media layer is running\n");
    return 0;
}

int EndMedia() {
    media::core::StopUpkeepThread();
    media::core::StopWorkAhead();
    media::ApiLockGuard lock;
    if (!gRunning && !media::log::IsOpen()) return 0;
    media::report::SceneChangeEnds();
    media::log::Write("Stopping the media layer\n");
    shutDown();
    media::log::Write("Done\n");
    media::log::Close();
    return 0;
}

int ProcessMessage() {
    media::ApiLockGuard lock;
    if (!gRunning) return gQuit ? -1 : 0;
    if (!media::core::OnWindowThread()) {
        // Another thread (the upkeep thread): the upkeep only.
        upkeep();
        return gQuit ? -1 : 0;
    }
    for (;;) {
        const bool emptied = pumpEvents();
        if (gQuit || (active() && emptied)) break;
        if (!active()) {
            // Held here while the window is inactive; music keeps playing.
            upkeep();
            media::ApiLockRelease release;
            SDL_Delay(1);
        }
    }
    upkeep();
    return gQuit ? -1 : 0;
}

uint32_t GetTimeMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1'000'000u);
}

int SetAllowSecondInstance(int allow) {
    media::ApiLockGuard lock;
    gAllowSecondInstance = allow != 0;
    return 0;
}

int SetLogFolder(const char* folder) {
    media::ApiLockGuard lock;
    media::log::SetFolder(folder ? folder : "");
    return 0;
}

int LogText(const char* text) {
    media::ApiLockGuard lock;
    if (!text) return -1;
    media::log::Write("%s\n", text);
    return 0;
}

int LogFailure(const char* text) {
    media::ApiLockGuard lock;
    if (!text) return -1;
    media::log::Fail("%s\n", text);
    return 0;
}
