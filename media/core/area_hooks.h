// How InitMedia, EndMedia and ProcessMessage reach the areas of the media
// layer. Each area implements its own block; nothing here is public.
#pragma once

#include <SDL.h>

namespace media {

namespace screen {
bool Start();                    // window, renderer and back buffer
void Stop();
bool Running();
SDL_Window* Window();
SDL_Renderer* Renderer();
SDL_Texture* BackBuffer();       // the 640x480 target every draw lands on
void HandleWindowEvent(const SDL_Event& event);
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
