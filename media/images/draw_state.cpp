// The drawing state and the operations that set it.
#include "media/images/draw_state.h"

#include "media/core/api_lock.h"
#include "media/images/image_table.h"
#include "media/images/images_area.h"
#include "media/images/render_queue.h"
#include "media/media.h"

#include <algorithm>
#include <utility>

namespace media::images {
namespace {
DrawState gState;
}

DrawState& State() { return gState; }

void ResetDrawState() {
    const uint32_t key = gState.transparentColour;
    const int fontSize = gState.fontSize;
    gState = DrawState{};
    gState.transparentColour = key;
    gState.fontSize = fontSize;
    SetRenderSurface(nullptr, SDL_Rect{0, 0, kScreenWidth, kScreenHeight});
    SetRenderClip(gState.clip);
}

bool TargetSize(int target, int& width, int& height) {
    if (target == kDrawTargetBack || target == kDrawTargetFront) {
        width = kScreenWidth;
        height = kScreenHeight;
        return true;
    }
    const ImageRecord* record = FindImage(target);
    if (!record) return false;
    width = record->area.w;
    height = record->area.h;
    return true;
}

bool SelectTarget(int target) {
    int width, height;
    if (!TargetSize(target, width, height)) return false;
    if (ImageRecord* record = FindImage(target)) {
        if (!OwnStore(*record) || !MakeRenderTarget(*record->store)) return false;
        SetRenderSurface(record->store.get(), record->area);
    } else {
        SetRenderSurface(nullptr, SDL_Rect{0, 0, kScreenWidth, kScreenHeight});
    }
    gState.target = target;
    gState.clip = SDL_Rect{0, 0, width, height};
    SetRenderClip(gState.clip);
    return true;
}

}  // namespace media::images

using media::images::State;

int SetTransparentColor(int r, int g, int b) {
    media::ApiLockGuard lock;
    State().transparentColour = static_cast<uint32_t>(((r & 255) << 16) | ((g & 255) << 8) | (b & 255));
    return 0;
}

int SetDrawArea(int x1, int y1, int x2, int y2) {
    media::ApiLockGuard lock;
    int width, height;
    if (!media::images::TargetSize(State().target, width, height)) return 0;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::clamp(x1, 0, width);
    x2 = std::clamp(x2, 0, width);
    y1 = std::clamp(y1, 0, height);
    y2 = std::clamp(y2, 0, height);
    State().clip = SDL_Rect{x1, y1, x2 - x1, y2 - y1};
    if (!SDL_RectEmpty(&State().clip)) media::images::SetRenderClip(State().clip);
    return 0;
}

int SetBlendMode(int mode, int parameter) {
    media::ApiLockGuard lock;
    State().blendMode = mode;
    State().blendParameter = std::clamp(parameter, 0, 255);
    return 0;
}

int SetBrightness(int r, int g, int b) {
    media::ApiLockGuard lock;
    auto& bright = State().brightness;
    bright[0] = static_cast<uint8_t>(std::clamp(r, 0, 255));
    bright[1] = static_cast<uint8_t>(std::clamp(g, 0, 255));
    bright[2] = static_cast<uint8_t>(std::clamp(b, 0, 255));
    return 0;
}

int GetColorValue(int r, int g, int b) {
    media::ApiLockGuard lock;
    // The back buffer holds 8 bits per channel: the value is 0xRRGGBB.
    return ((r & 255) << 16) | ((g & 255) << 8) | (b & 255);
}
