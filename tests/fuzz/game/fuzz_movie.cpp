// The movie opener through the file layer: any bytes as a movie file, opened
// for its picture and for its sound track as PlayMovie opens it, and a
// bounded number of frames and sound read from each.
#include "media/media.h"
#include "media/movies/movie_decoder.h"
#include "media/movies/sound_track.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFrames = 8;
constexpr size_t kSoundFrames = 48000;

std::string moviePath() {
    static const std::string path = "/tmp/lumotta-fuzz-movie-" + std::to_string(getpid()) + ".avi";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = moviePath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    media::movies::MovieDecoder picture;
    if (picture.Open(path.c_str())) {
        if (picture.width() <= 0 || picture.height() <= 0 || picture.width() > media::movies::kMaxFrameSide ||
            picture.height() > media::movies::kMaxFrameSide)
            std::abort();
        std::vector<uint32_t> pixels;
        double seconds = 0;
        for (int i = 0; i < kFrames && picture.NextFrame(pixels, &seconds); ++i)
            if (pixels.size() != static_cast<size_t>(picture.width()) * picture.height()) std::abort();
    }
    media::movies::SoundTrack sound;
    if (sound.Open(path.c_str()) == media::movies::SoundTrack::Opened::kPlayable) {
        std::vector<int16_t> out(2 * 4096);
        size_t total = 0;
        while (total < kSoundFrames) {
            const size_t got = sound.Read(out.data(), 4096);
            if (got == 0) break;
            total += got;
        }
    }
    std::remove(path.c_str());
    return 0;
}
