// Starting and stopping the media layer, and the message pump.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/media.h"

#include <SDL.h>

namespace {

bool gRunning = false;
bool gQuit = false;

}  // namespace

int InitMedia() {
    media::ApiLockGuard lock;
    if (gRunning) return 0;
    media::log::Open();
    media::log::Write("Lumotta media layer\n");
    gQuit = false;
    media::files::Reset();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        media::log::Write("SDL could not start: %s\n", SDL_GetError());
        media::log::Close();
        return -1;
    }
    if (!media::screen::Start() || !media::input::Start()) {
        media::input::Stop();
        media::screen::Stop();
        SDL_Quit();
        media::log::Close();
        return -1;
    }
    media::sound::Start();
    if (!media::images::Start()) {
        EndMedia();
        return -1;
    }
    gRunning = true;
    SetDrawTarget(kDrawTargetBack);
    ClearScreen();
    return 0;
}

int EndMedia() {
    media::ApiLockGuard lock;
    media::movies::Stop();
    media::sound::Stop();
    media::images::Stop();
    media::input::Stop();
    media::screen::Stop();
    media::files::Stop();
    if (gRunning) SDL_Quit();
    gRunning = false;
    media::log::Close();
    return 0;
}

int ProcessMessage() {
    media::ApiLockGuard lock;
    if (gRunning) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) gQuit = true;
            if (event.type == SDL_WINDOWEVENT) {
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) gQuit = true;
                media::screen::HandleWindowEvent(event);
            }
            media::input::HandleEvent(event);
        }
        media::sound::Upkeep();
    }
    return gQuit ? -1 : 0;
}

uint32_t GetTimeMs() { return static_cast<uint32_t>(SDL_GetTicks64()); }

int SetAllowSecondInstance(int) { return 0; }
