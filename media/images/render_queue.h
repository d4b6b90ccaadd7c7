// Where image, rectangle and text draws go. On a GPU renderer consecutive
// draws that share a texture and blend mode are gathered and handed to SDL
// as one geometry call. Where SDL can only offer its software renderer (whose
// triangle path samples the wrong texels), or its OpenGL driver renders on
// the CPU, our own rasteriser draws into a frame in memory instead, which is
// copied into the back buffer texture before it is shown or read.
#pragma once

#include "media/images/image_table.h"

#include <SDL.h>

namespace media::images {

struct Corner {
    float x, y;     // target pixels
    float u, v;     // texels of the pixel store
};

enum class Backend { Gpu, Cpu };

void RenderStart(SDL_Renderer* renderer);
void RenderStop();
Backend ActiveBackend();
int MaxTextureSide();

// Textures for a store (GPU only; the CPU path reads the pixels directly).
bool MakeTextures(PixelStore& store);
// Makes the store's texture one that can be drawn into.
bool MakeRenderTarget(PixelStore& store);
// Rebuilds a store's textures from its kept pixels.
bool RestoreTextures(PixelStore& store);

// The surface draws land on: the back buffer, or a rectangle of a store.
void SetRenderSurface(PixelStore* store, const SDL_Rect& area);
void SetRenderClip(const SDL_Rect& clip);

// One quad, corners top-left, top-right, bottom-right, bottom-left, drawn as
// two triangles split along the top-right to bottom-left diagonal. `source`
// null fills with `colour`; `area` is the source rectangle (for clamping).
// Blend mode 0 replaces (skipping transparent pixels), 1 mixes by alpha, 2
// adds. `colour` multiplies the source; its alpha scales the source alpha.
void QueueQuad(PixelStore* source, const SDL_Rect* area, bool honourAlpha, int blendMode, SDL_Color colour,
               const Corner corners[4]);

// Every draw queued so far is done (textures they use may go). On the CPU
// they may still be in the frame in memory only.
void FlushRender();
// The back buffer texture holds every draw made so far.
void UpdateBackBuffer();
// The back buffer is about to be cleared to black.
void NoteScreenCleared();
// The back buffer texture was made anew (after a device reset).
void NoteBackBufferRemade();

}  // namespace media::images
