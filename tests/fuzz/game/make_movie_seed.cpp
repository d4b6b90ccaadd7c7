// Writes the movie fuzz target's seeds with the project's own movie writer:
// small AVIs like the default movies (MPEG-1 video, MPEG-1 Layer II or PCM
// sound), a few frames each.
//   make_movie_seed FOLDER
#include "tools/moviegen/movie_writer.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool write(const std::string& path, const moviegen::SoundFormat* sound) {
    constexpr int kWidth = 32, kHeight = 24, kFrames = 4, kRate = 30;
    moviegen::MovieWriter writer;
    if (!writer.Open(path, kWidth, kHeight, kRate, sound)) return false;
    for (int f = 0; f < kFrames; ++f) {
        std::vector<uint32_t> pixels(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 97 + f * 40000);
        if (!writer.Add(pixels)) return false;
        if (sound) {
            std::vector<int16_t> tone(static_cast<size_t>(sound->rate / kRate * sound->channels));
            for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(8000 * std::sin(0.05 * i));
            if (!writer.AddSound(tone.data(), tone.size() / sound->channels)) return false;
        }
    }
    return writer.Close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_movie_seed FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    moviegen::SoundFormat mp2;
    mp2.rate = 22050;
    mp2.bitRate = 64000;
    moviegen::SoundFormat pcm;
    pcm.coding = moviegen::SoundCoding::kPcm16;
    pcm.rate = 8000;
    pcm.channels = 1;
    const bool ok = write(folder + "/silent.avi", nullptr) && write(folder + "/mp2.avi", &mp2) &&
                    write(folder + "/pcm.avi", &pcm);
    return ok ? 0 : 1;
}
