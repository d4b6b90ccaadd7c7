#include "tools/moviegen/film_music.h"

#include "tools/soundgen/render.h"
#include "tools/soundgen/score.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace moviegen {

static_assert(kMusicRate == soundgen::kSampleRate, "films take the sound generator's rate");

std::vector<int16_t> RenderFilmMusic(const std::string& instruments, const std::string& scorePath, double seconds) {
    soundgen::InstrumentLibrary library;
    soundgen::readInstrumentLibrary(instruments, library);
    const soundgen::Score score = soundgen::readScore(scorePath, library);
    if (score.events.empty()) throw std::runtime_error(scorePath + ": the score has no notes");
    if (score.bars > 0) throw std::runtime_error(scorePath + ": a film's music plays once (no \"bars\")");
    soundgen::Stereo sound = soundgen::renderScore(score);
    soundgen::levelMusic(sound, score.level);
    const size_t frames = static_cast<size_t>(std::llround(seconds * kMusicRate));
    const size_t fade = kMusicRate / 2;
    std::vector<int16_t> out(frames * 2, 0);
    for (size_t i = 0; i < frames && i < sound.size(); ++i) {
        const double left = static_cast<double>(frames - i);
        const double gain = left < fade ? left / fade : 1.0;
        const auto sample = [&](float v) {
            return static_cast<int16_t>(std::lround(std::clamp(v * gain, -1.0, 1.0) * 32767));
        };
        out[i * 2] = sample(sound.left[i]);
        out[i * 2 + 1] = sample(sound.right[i]);
    }
    return out;
}

}  // namespace moviegen
