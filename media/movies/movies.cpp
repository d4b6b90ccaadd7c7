// Movie playback: a movie file opens as an image showing its current frame,
// and PlayMovie shows it full screen until it ends or the player presses
// something. Only the video track is played.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/media.h"
#include "media/movies/movie_decoder.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace media::movies {
namespace {

constexpr double kFlipsPerSecond = 60.0;
// A movie whose length is unknown stops after this long at the latest.
constexpr double kLongestMovieSeconds = 30 * 60.0;
// Frames decoded in one display refresh at most, so a movie whose frames are
// all due at once cannot stall the loop.
constexpr int kMaxFramesPerFlip = 8;
// Keys that stay "held" by their lock state and so never skip a movie.
constexpr int kKeysIgnoredForSkip[] = {58, 112, 148};  // Caps Lock, Kana, Kanji

bool LoadFirstFrame(const char* fileName, int* width, int* height, std::vector<uint32_t>* pixels) {
    MovieDecoder decoder;
    double seconds = 0;
    if (!decoder.Open(fileName) || !decoder.NextFrame(*pixels, &seconds)) {
        log::Write("ムービーファイルオープン処理時にエラーが発生しました\n");
        return false;
    }
    *width = decoder.width();
    *height = decoder.height();
    return true;
}

const bool gLoaderRegistered = (images::SetMovieFrameLoader(&LoadFirstFrame), true);

bool SkipPressed() {
    for (int key = 1; key < 256; ++key) {
        if (std::find(std::begin(kKeysIgnoredForSkip), std::end(kKeysIgnoredForSkip), key) !=
            std::end(kKeysIgnoredForSkip))
            continue;
        if (CheckKey(key)) return true;
    }
    // Every joypad the input area reads, any direction or button.
    for (int pad = 1; pad <= media::input::kMaxPads; ++pad)
        if (GetPadInput(pad) != 0) return true;
    return media::input::MouseButtonsHeld() != 0;
}

}  // namespace

void Stop() {}

}  // namespace media::movies

using namespace media::movies;

int PlayMovie(const char* fileName, int scale, int noSkipFlag) {
    media::ApiLockGuard lock;
    if (!fileName) return 0;
    (void)gLoaderRegistered;
    // A whole multiple of the movie's size; nonsense values show it as it is.
    if (scale < 1 || scale > 16) scale = 1;
    const int image = LoadImage(fileName, 0);
    if (image == -1) return 0;
    // The image holds the first frame; playback reads the file from its start.
    MovieDecoder decoder;
    if (!decoder.Open(fileName)) {
        media::log::Write("ムービーファイルオープン処理時にエラーが発生しました\n");
        DeleteImage(image, 0);
        return 0;
    }
    const int w = decoder.width(), h = decoder.height();
    const int left = (kScreenWidth - scale * w) >> 1;
    const int top = (kScreenHeight - scale * h) >> 1;
    const int right = left + scale * w, bottom = top + scale * h;

    const int previousTarget = media::images::CurrentDrawTarget();
    SetDrawTarget(kDrawTargetBack);
    ClearScreen();

    const double known = decoder.duration();
    const double longest = known > 0 ? std::min(known + 1.0, kLongestMovieSeconds) : kLongestMovieSeconds;
    std::vector<uint32_t> frame, next;
    double nextAt = 0;
    bool haveNext = decoder.NextFrame(next, &nextAt);
    double lastAt = 0;
    for (long flips = 0;; ++flips) {
        const double now = flips / kFlipsPerSecond;
        // Show the latest frame that is due by this refresh.
        for (int n = 0; haveNext && nextAt <= now && n < kMaxFramesPerFlip; ++n) {
            frame.swap(next);
            lastAt = nextAt;
            media::images::ReplaceImagePixels(image, frame);
            haveNext = decoder.NextFrame(next, &nextAt);
        }
        DrawImageQuad(left, top, right, top, right, bottom, left, bottom, image, 0);
        FlipScreen();
        const bool skip = noSkipFlag == 0 && SkipPressed();
        if (ProcessMessage() != 0 || skip) break;
        // The last frame stays up for about one frame's time, then it ends.
        if (!haveNext && now >= lastAt + 1.0 / 30) break;
        if (now >= longest) break;
    }
    DeleteImage(image, 0);
    SetDrawTarget(previousTarget);
    return 0;
}
