// Helpers shared by the tests.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

// A fresh, empty directory under the test's working directory (named after
// `name` and the running test), made current for the life of the object.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

// Starts the media layer headless (second instances allowed, no pacing) and
// ends it again.
class HeadlessMedia {
public:
    HeadlessMedia();
    ~HeadlessMedia();
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Where the corpus of real-world media files lives; empty when absent.
std::string corpusDirectory();

// The whole of a file, or an empty string when it cannot be read.
std::string readWholeFile(const std::string& path);
// Replaces a file with `bytes`; false when it cannot be written.
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Writes a 24-bit BMP of w x h pixels, each the 0xRRGGBB value colour(x, y)
// (rows from the top), making the folder it goes in; false when it cannot be
// written.
bool writeBmp(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& colour);

// Waits until the millisecond timer has moved on, so the next keyboard or
// joypad query reads the devices afresh.
void waitNextMillisecond();

// Puts a key event into SDL's queue as the keyboard would, lets the media
// layer take it (ProcessMessage) and waits for the next millisecond.
void pressKey(SDL_Scancode scancode);
void releaseKey(SDL_Scancode scancode);

// Puts a window event (SDL_WINDOWEVENT_CLOSE, _FOCUS_LOST, ...) into SDL's
// queue; the next ProcessMessage takes it.
void pushWindowEvent(SDL_WindowEventID which);

}  // namespace testing_support
