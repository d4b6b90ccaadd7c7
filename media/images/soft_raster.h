// Our own triangle rasteriser, for renderers whose triangle drawing cannot be
// trusted: pixel centres sampled, the top-left fill rule, nearest texels,
// affine mapping.
#pragma once

#include "media/images/render_queue.h"

#include <SDL.h>

#include <cstdint>

namespace media::images {

struct RasterTarget {
    uint32_t* pixels;
    int stride;          // in pixels
    int width;
    int height;
};

struct RasterSource {
    const uint32_t* pixels;
    int stride;          // in pixels
    SDL_Rect area;       // texels outside it are never read
};

// Draws the quad (corners top-left, top-right, bottom-right, bottom-left) as
// two triangles split along the top-right to bottom-left diagonal, within
// `clip`. A null source fills with `colour`.
void RasteriseQuad(const RasterTarget& target, const SDL_Rect& clip, const RasterSource* source,
                   bool honourAlpha, int blendMode, SDL_Color colour, const Corner corners[4]);

}  // namespace media::images
