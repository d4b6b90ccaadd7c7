// The sound generator: turns one record under content/ (an effect, a jingle
// score or a music score) into the game's sound file.
//
//   lumotta_soundgen INSTRUMENTS RECORD OUTPUT
//
// OUTPUT ending in ".wav" gets 16-bit mono PCM at 44.1 kHz; ".ogg" gets a
// seamlessly looping stereo Ogg Vorbis track. The same inputs always give
// the same bytes.
#include "tools/soundgen/audio_files.h"
#include "tools/soundgen/effect.h"
#include "tools/soundgen/render.h"
#include "tools/soundgen/score.h"
#include "tools/soundgen/text_records.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

constexpr double kVorbisQuality = 0.3;

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

double toDb(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -120.0; }

void report(const std::string& output, double seconds, const soundgen::Levels& levels) {
    std::printf("%s: %.2f s, loudest %.1f dB, rms %.1f dB, peak %.1f dB\n", output.c_str(), seconds,
                toDb(levels.loudest), toDb(levels.rms), toDb(levels.peak));
}

void generate(const std::string& libraryPath, const std::string& recordPath, const std::string& output) {
    using namespace soundgen;
    InstrumentLibrary library;
    readInstrumentLibrary(libraryPath, library);
    const std::vector<Directive> directives = readDirectives(recordPath);

    if (isEffectRecord(directives)) {
        if (!endsWith(output, ".wav")) throw std::runtime_error("an effect record makes a .wav file");
        const EffectRecord effect = parseEffect(directives, library);
        std::vector<float> samples = renderEffect(effect);
        if (samples.empty()) throw std::runtime_error(recordPath + ": the effect is silent");
        levelEffect(samples, effect.level);
        writeMonoWav(output, samples);
        report(output, static_cast<double>(samples.size()) / kSampleRate, measure(samples));
        return;
    }

    const Score score = readScore(recordPath, library);
    if (score.events.empty()) throw std::runtime_error(recordPath + ": the score has no notes");
    Stereo sound = renderScore(score);
    if (endsWith(output, ".ogg")) {
        if (score.bars <= 0) throw std::runtime_error(recordPath + ": a music track needs \"bars\" (its loop)");
        levelMusic(sound, score.level);
        writeOggVorbis(output, sound, kVorbisQuality);
        report(output, static_cast<double>(sound.size()) / kSampleRate, measure(sound));
    } else if (endsWith(output, ".wav")) {
        std::vector<float> samples = mixToMono(sound);
        levelEffect(samples, score.level);
        writeMonoWav(output, samples);
        report(output, static_cast<double>(samples.size()) / kSampleRate, measure(samples));
    } else {
        throw std::runtime_error("the output must end in .wav or .ogg");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INSTRUMENTS RECORD OUTPUT\n", argv[0]);
        return 2;
    }
    try {
        generate(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
