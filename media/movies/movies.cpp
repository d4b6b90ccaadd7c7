// Movie playback: a movie file opens as an image showing its current frame,
// and PlayMovie shows it full screen, with its sound track, until it ends or
// the player presses something.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/media.h"
#include "media/movies/movie_clock.h"
#include "media/movies/movie_decoder.h"
#include "media/movies/movie_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace media::movies {
namespace {

// A movie whose length is unknown stops after this long at the latest.
constexpr double kLongestMovieSeconds = 30 * 60.0;
// Frames decoded in one display refresh at most, so a movie whose frames are
// all due at once cannot stall the loop.
constexpr int kMaxFramesPerFlip = 8;
// Keys that stay "held" by their lock state and so never skip a movie.
constexpr int kKeysIgnoredForSkip[] = {58, 112, 148};  // Caps Lock, Kana, Kanji
// The frame chosen now goes up at the next refresh, about one refresh from
// now: it is chosen for then.
constexpr double kFrameLeadSeconds = 1.0 / 60;
// The last frame stays up for about one frame's time.
constexpr double kLastFrameSeconds = 1.0 / 30;

FrameObserver gObserver = nullptr;
void* gObserverContext = nullptr;

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

void SetFrameObserver(FrameObserver observer, void* context) {
    gObserver = observer;
    gObserverContext = context;
}

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

    // The sound track plays in time with the display; shown as fast as
    // frames come (no pacing), a movie has no time to keep and plays silent.
    const bool paced = media::screen::Paced();
    std::optional<MovieSound> sound;
    if (paced) sound.emplace(fileName);
    MovieClock clock(paced);
    if (sound && sound->feed()) {
        sound->TopUp();
        clock.Follow(sound->feed());
    }

    const double known = decoder.duration();
    const double longest = known > 0 ? std::min(known + 1.0, kLongestMovieSeconds) : kLongestMovieSeconds;
    std::vector<uint32_t> frame, next;
    double nextAt = 0;
    bool haveNext = decoder.NextFrame(next, &nextAt);
    double lastAt = 0;
    for (;;) {
        if (sound) {
            sound->TopUp();
            if (clock.Following() && sound->Over()) {
                clock.Unfollow();
                sound->Stop();
            } else if (clock.Following() && clock.SoundStalled()) {
                clock.Unfollow();
                sound->LeaveOut("the sound device stopped taking it");
            }
        }
        const double now = clock.Now();
        // Show the latest frame that is due by this refresh.
        for (int n = 0; haveNext && nextAt <= now + kFrameLeadSeconds && n < kMaxFramesPerFlip; ++n) {
            frame.swap(next);
            lastAt = nextAt;
            media::images::ReplaceImagePixels(image, frame);
            haveNext = decoder.NextFrame(next, &nextAt);
        }
        DrawImageQuad(left, top, right, top, right, bottom, left, bottom, image, 0);
        FlipScreen();
        // The sound starts with the first frame up, however long that took.
        if (clock.Flipped() == 1 && sound) sound->Start();
        if (gObserver) gObserver(fileName, lastAt, gObserverContext);
        const bool skip = noSkipFlag == 0 && SkipPressed();
        if (ProcessMessage() != 0 || skip) break;
        // The movie is over once its last frame has been up for a while and
        // its sound has been heard to the end.
        if (!haveNext && now >= lastAt + kLastFrameSeconds && !clock.Following()) break;
        if (now >= longest) break;
    }
    if (sound) sound->Stop();
    DeleteImage(image, 0);
    SetDrawTarget(previousTarget);
    return 0;
}
