// How InitMedia, EndMedia and ProcessMessage reach the areas of the media
// layer. Each area implements its own block; nothing here is public.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <memory>
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
bool Paced();                    // FlipScreen holds 60 frames/s (SetFramePacing)
void Repaint();                  // the last presented frame shown again, no pacing
void DrawWindowPicture();        // the back buffer into the window as FlipScreen shows it, not
                                 // presented: the window's renderer target holds it (tests read it)
}  // namespace screen

namespace input {
bool Start();
void Stop();
void HandleEvent(const SDL_Event& event);
constexpr int kMaxPads = 8;      // joypads read, numbered 1..8
uint32_t MouseButtonsHeld();     // bit n-1 set while mouse button n is held
}  // namespace input

namespace files {
void Reset();                    // archive extension, table and cache cleared
void Stop();
// While one lives (under the API lock), the file operations look names up as
// of its start: the current directory and the directory changes are read
// once for a run of opens, such as a picture and its alpha companion.
class LookupBatch {
public:
    LookupBatch();
    ~LookupBatch();
    LookupBatch(const LookupBatch&) = delete;
    LookupBatch& operator=(const LookupBatch&) = delete;

private:
    struct Scope;
    std::unique_ptr<Scope> scope_;
};
}  // namespace files

namespace images {
bool Start();                    // drawing state to its defaults, default font
void Stop();                     // every image deleted
void OnDisplayRecreated();       // screen-mode change: every image deleted, state reset
void OnRenderTargetsReset();     // device reset: textures rebuilt from kept pixels
bool SelectDrawTarget(int target);  // from SetDrawTarget: false for an invalid target
// From ClearScreen: restores a lost display and settles queued draws. When
// the draw target is a picture it clears that picture and returns true; the
// screen then leaves the back buffer alone.
bool BeforeClear();
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

// A sound track that another area decodes and hands over piece by piece (a
// movie's): 16-bit stereo frames at kFeedRate, heard in the order written.
// Destroying it silences it at once.
constexpr int kFeedRate = 44100;
class Feed {
public:
    // Room for `seconds` of sound at a time; null while sound is off.
    static std::unique_ptr<Feed> Open(double seconds);
    virtual ~Feed() = default;
    virtual size_t Room() = 0;                // frames that can be written now
    virtual size_t Write(const int16_t* frames, size_t count) = 0;
    virtual void Start() = 0;                 // heard from the device's next pull on
    virtual void Finish() = 0;                // nothing more comes: it ends after the last frame
    // Seconds of the track heard so far, moving on smoothly between the
    // device's pulls; and seconds written but not yet heard.
    virtual double Heard() = 0;
    virtual double Queued() = 0;
    virtual bool Done() = 0;                  // finished and played to its last frame
};
}  // namespace sound

namespace movies {
void Stop();
// Tests watch playback here: called after every frame PlayMovie presents,
// with the file name as given and the time of the frame in the movie.
using FrameObserver = void (*)(const char* fileName, double frameSeconds, void* context);
void SetFrameObserver(FrameObserver observer, void* context);
}  // namespace movies

}  // namespace media
