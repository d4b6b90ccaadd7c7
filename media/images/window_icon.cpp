// The window's icon, from a picture file read through the file layer (so it
// may sit in a pack archive like every other picture).
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/images/byte_source.h"
#include "media/images/decoders.h"
#include "media/media.h"

#include <SDL.h>

namespace {

// Window systems show icons of a few dozen pixels; a larger file is a mistake.
constexpr int kMaxIconSide = 512;

}  // namespace

int SetWindowIcon(const char* fileName) {
    media::ApiLockGuard lock;
    SDL_Window* window = media::screen::Window();
    if (!fileName || !window) return -1;
    const int file = FileOpen(fileName, 0);
    if (!file) {
        media::log::Write("The window icon %s is missing\n", fileName);
        return -1;
    }
    media::images::Picture picture;
    media::images::DecodeResult result;
    {
        media::images::FileSource source(file);
        result = media::images::DecodePicture(source, picture);
    }
    FileClose(file);
    if (result != media::images::DecodeResult::Decoded || picture.width > kMaxIconSide ||
        picture.height > kMaxIconSide ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
        media::log::Write("The window icon %s could not be read\n", fileName);
        return -1;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        picture.pixels.data(), picture.width, picture.height, 32, picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return -1;
    SDL_SetWindowIcon(window, surface);  // SDL keeps its own copy
    SDL_FreeSurface(surface);
    return 0;
}
