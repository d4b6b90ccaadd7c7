// Starting and stopping graphics, screen-mode changes, device resets, and
// the hooks the screen area calls around clearing and presenting.
#include "media/core/area_hooks.h"
#include "media/core/load_report.h"
#include "media/core/log.h"
#include "media/core/work_ahead.h"
#include "media/images/cached_pictures.h"
#include "media/images/decode_ahead.h"
#include "media/images/draw_state.h"
#include "media/images/image_table.h"
#include "media/images/images_area.h"
#include "media/images/render_queue.h"
#include "media/media.h"

#include <atomic>
#include <unordered_set>

namespace media::images {
namespace {

bool gRunning = false;
// Set from SDL's event watch (whichever thread pumps events), acted on by
// the next clear or present.
std::atomic<bool> gResetPending{false};
std::atomic<bool> gScreenshotPending{false};

int WatchEvents(void*, SDL_Event* event) {
    switch (event->type) {
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        gResetPending = true;
        break;
    case SDL_KEYDOWN:
        // F12 too: the desktop often takes Print Screen for its own screenshots.
        if ((event->key.keysym.scancode == SDL_SCANCODE_PRINTSCREEN ||
             event->key.keysym.scancode == SDL_SCANCODE_F12) && !event->key.repeat)
            gScreenshotPending = true;
        break;
    default:
        break;
    }
    return 1;
}

}  // namespace

bool GraphicsRunning() { return gRunning; }

bool Start() {
    RenderStart(screen::Renderer());
    State().transparentColour = 0;
    ResetDrawState();
    SelectTarget(kDrawTargetFront);
    gResetPending = false;
    gScreenshotPending = false;
    SDL_AddEventWatch(WatchEvents, nullptr);
    gRunning = true;
    StartText();   // a missing font leaves text undrawn, never stops the start
    return true;
}

void Stop() {
    if (!gRunning) return;
    core::StopWorkAhead();
    ForgetRuns();
    FlushRender();
    DeleteAllImageRecords(false);
    cache::Forget(cache::Kind::Picture);   // their textures go before the renderer
    StopText();
    RenderStop();
    SDL_DelEventWatch(WatchEvents, nullptr);
    gRunning = false;
}

void OnDisplayRecreated() {
    if (!gRunning) return;
    FlushRender();
    DeleteAllImageRecords(false);
    // The renderer may be a new one after the change.
    RenderStart(screen::Renderer());
    ResetDrawState();
    SelectTarget(kDrawTargetFront);
    RestoreTextTextures();
}

void OnRenderTargetsReset() {
    gResetPending = false;
    if (!gRunning) return;
    log::Write("グラフィックを復帰します\n");
    FlushRender();
    NoteBackBufferRemade();
    std::unordered_set<PixelStore*> done;
    ForEachImage([&](ImageRecord& record) {
        if (done.insert(record.store.get()).second && !RestoreTextures(*record.store))
            log::Write("The picture %s could not be restored\n", record.fileName.c_str());
    });
    DropIdleTextures(done);
    RestoreTextTextures();
}

bool SelectDrawTarget(int target) {
    if (!gRunning) return false;
    return SelectTarget(target);
}

bool BeforeClear() {
    report::SceneChangeEnds();   // a new frame: the scene change is over
    // What the worker decoded ahead meanwhile may have gone over the budget.
    cache::Trim();
    if (!gRunning) return false;
    if (gResetPending) OnRenderTargetsReset();
    ImageRecord* record = FindImage(State().target);
    if (!record) {
        NoteScreenCleared();
        return false;
    }
    // A picture as the target: all of it turns black, whatever the clip.
    const SDL_Rect clip = State().clip;
    const float w = static_cast<float>(record->area.w), h = static_cast<float>(record->area.h);
    const Corner corners[4] = {{0, 0, 0, 0}, {w, 0, 0, 0}, {w, h, 0, 0}, {0, h, 0, 0}};
    SetRenderClip(SDL_Rect{0, 0, record->area.w, record->area.h});
    QueueQuad(nullptr, nullptr, true, kBlendNone, SDL_Color{0, 0, 0, 255}, corners);
    if (!SDL_RectEmpty(&clip)) SetRenderClip(clip);
    return true;
}

void BeforePresent() {
    if (!gRunning) return;
    UpdateBackBuffer();
    if (gScreenshotPending.exchange(false)) SaveNumberedScreenshot();
}

void FinishDrawing() {
    if (gRunning) UpdateBackBuffer();
}

}  // namespace media::images
