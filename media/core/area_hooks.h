// How InitMedia, EndMedia and ProcessMessage reach the areas of the media
// layer. Each area implements its own block; nothing here is public.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace media {

namespace screen {
bool Start();                    // window, renderer and back buffer
void Stop();
bool Running();
SDL_Window* Window();
SDL_Renderer* Renderer();
SDL_Texture* BackBuffer();       // the 640x480 target every draw lands on
void HandleWindowEvent(const SDL_Event& event);
void Repaint();                  // the last presented frame shown again, no pacing
void DrawWindowPicture();        // the back buffer into the window as FlipScreen shows it, not
                                 // presented: the window's renderer target holds it (tests read it)
}  // namespace screen

namespace input {
bool Start();
void Stop();
void HandleEvent(const SDL_Event& event);
}  // namespace input

namespace files {
void Reset();                    // archive extension, table and cache cleared
void Stop();
}  // namespace files

namespace images {
bool Start();                    // drawing state to its defaults, default font
void Stop();                     // every image deleted
void OnDisplayRecreated();       // screen-mode change: every image deleted, state reset
void OnRenderTargetsReset();     // device reset: textures rebuilt from kept pixels
bool SelectDrawTarget(int target);  // from SetDrawTarget: false for an invalid target
void BeforeClear();              // from ClearScreen: restore a lost display, settle queued draws
void BeforePresent();            // from FlipScreen: queued draws reach the back buffer
void FinishDrawing();            // before anyone reads or draws the back buffer directly
// A movie file opened as an image shows its current frame; the movie area
// registers how (0xAARRGGBB pixels, rows from the top).
using MovieFrameLoader = bool (*)(const char* fileName, int* width, int* height,
                                  std::vector<uint32_t>* pixels);
void SetMovieFrameLoader(MovieFrameLoader loader);
// A movie's next frame into its image (same size, 0xAARRGGBB): false for a
// handle that is not a whole image of that size.
bool ReplaceImagePixels(int graphHandle, const std::vector<uint32_t>& pixels);
int CurrentDrawTarget();         // as last selected by SetDrawTarget
}  // namespace images

namespace sound {
bool Start();                    // false leaves sound off; InitMedia carries on
void Stop();
void Upkeep();                   // refill the music streams
}  // namespace sound

namespace movies {
void Stop();
}  // namespace movies

}  // namespace media
