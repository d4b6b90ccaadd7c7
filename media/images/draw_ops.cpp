// Drawing images and rectangles onto the current target.
#include "media/core/api_lock.h"
#include "media/images/draw_state.h"
#include "media/images/image_table.h"
#include "media/images/images_area.h"
#include "media/images/render_queue.h"
#include "media/media.h"

namespace media::images {
namespace {

// Modes beyond additive are not provided; they draw as mode 0.
int EffectiveMode(int mode) { return mode == kBlendAlpha || mode == kBlendAdd ? mode : kBlendNone; }

uint8_t VertexAlpha() {
    const DrawState& s = State();
    return static_cast<uint8_t>(EffectiveMode(s.blendMode) == kBlendNone ? 255 : s.blendParameter);
}

bool DrawingSuppressed() { return !GraphicsRunning() || SDL_RectEmpty(&State().clip); }

void FillRect(int x1, int y1, int x2, int y2, SDL_Color colour) {
    if (x2 <= x1 || y2 <= y1) return;
    const float l = static_cast<float>(x1), t = static_cast<float>(y1);
    const float r = static_cast<float>(x2), b = static_cast<float>(y2);
    const Corner corners[4] = {{l, t, 0, 0}, {r, t, 0, 0}, {r, b, 0, 0}, {l, b, 0, 0}};
    QueueQuad(nullptr, nullptr, true, EffectiveMode(State().blendMode), colour, corners);
}

}  // namespace
}  // namespace media::images

using namespace media::images;

int DrawImageQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int graphHandle,
                  int transparentFlag) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning()) return 0;
    ImageRecord* record = FindImage(graphHandle);
    if (!record) return -1;
    if (DrawingSuppressed()) return 0;
    const DrawState& s = State();
    const SDL_Color colour{s.brightness[0], s.brightness[1], s.brightness[2], VertexAlpha()};
    const SDL_Rect& a = record->area;
    const float u0 = static_cast<float>(a.x), v0 = static_cast<float>(a.y);
    const float u1 = static_cast<float>(a.x + a.w), v1 = static_cast<float>(a.y + a.h);
    // An axis-aligned rectangle of corners is the same two triangles: a
    // plain stretched draw, mirrored when the corners come in reverse.
    const Corner corners[4] = {
        {static_cast<float>(x1), static_cast<float>(y1), u0, v0},
        {static_cast<float>(x2), static_cast<float>(y2), u1, v0},
        {static_cast<float>(x3), static_cast<float>(y3), u1, v1},
        {static_cast<float>(x4), static_cast<float>(y4), u0, v1},
    };
    QueueQuad(record->store.get(), &record->area, transparentFlag != 0, EffectiveMode(s.blendMode), colour,
              corners);
    return 0;
}

int DrawRectangle(int x1, int y1, int x2, int y2, int colorValue, int fillFlag) {
    media::ApiLockGuard lock;
    if (DrawingSuppressed()) return 0;
    const SDL_Color colour{static_cast<uint8_t>(colorValue >> 16), static_cast<uint8_t>(colorValue >> 8),
                           static_cast<uint8_t>(colorValue), VertexAlpha()};
    if (fillFlag) {
        FillRect(x1, y1, x2, y2, colour);
        return 0;
    }
    if (x2 <= x1 || y2 <= y1) return 0;
    // The one-pixel outline, each pixel drawn once.
    FillRect(x1, y1, x2, y1 + 1, colour);
    if (y2 - 1 > y1) FillRect(x1, y2 - 1, x2, y2, colour);
    FillRect(x1, y1 + 1, x1 + 1, y2 - 1, colour);
    if (x2 - 1 > x1) FillRect(x2 - 1, y1 + 1, x2, y2 - 1, colour);
    return 0;
}
