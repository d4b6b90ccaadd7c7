#include "tools/soundgen/render.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace soundgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

double fromDb(double db) { return std::pow(10.0, db / 20.0); }

// A small room: eight damped combs in parallel and four all-passes in
// series per side, the right side slightly longer than the left.
class Room {
public:
    explicit Room(const RoomSettings& s) {
        static constexpr std::array<int, 8> kCombs = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static constexpr std::array<int, 4> kPasses = {556, 441, 341, 225};
        for (int side = 0; side < 2; ++side) {
            for (size_t k = 0; k < kCombs.size(); ++k) combs_[side][k].line.assign(kCombs[k] + 23 * side, 0.0f);
            for (size_t k = 0; k < kPasses.size(); ++k) passes_[side][k].line.assign(kPasses[k] + 23 * side, 0.0f);
        }
        feedback_ = static_cast<float>(0.7 + 0.28 * s.size);
        damp_ = static_cast<float>(0.4 * s.damp);
    }

    void run(float in, float& left, float& right) {
        const float input = in * 0.015f;
        float out[2];
        for (int side = 0; side < 2; ++side) {
            float sum = 0.0f;
            for (Comb& c : combs_[side]) {
                const float y = c.line[c.pos];
                c.store = y * (1.0f - damp_) + c.store * damp_;
                c.line[c.pos] = input + c.store * feedback_;
                if (++c.pos >= c.line.size()) c.pos = 0;
                sum += y;
            }
            for (Pass& p : passes_[side]) {
                const float delayed = p.line[p.pos];
                const float y = delayed - sum;
                p.line[p.pos] = sum + delayed * 0.5f;
                if (++p.pos >= p.line.size()) p.pos = 0;
                sum = y;
            }
            out[side] = sum;
        }
        left = out[0];
        right = out[1];
    }

private:
    struct Comb {
        std::vector<float> line;
        size_t pos = 0;
        float store = 0.0f;
    };
    struct Pass {
        std::vector<float> line;
        size_t pos = 0;
    };
    std::array<std::array<Comb, 8>, 2> combs_;
    std::array<std::array<Pass, 4>, 2> passes_;
    float feedback_ = 0.84f, damp_ = 0.2f;
};

}  // namespace

Stereo renderScore(const Score& score) {
    const bool loop = score.bars > 0;
    const double spb = score.secondsPerBeat();
    double end = 0.0;
    for (const NoteEvent& e : score.events)
        end = std::max(end, score.delay + (e.beat * spb) +
                                noteSeconds(score.instruments[static_cast<size_t>(e.instrument)], e.beats * spb));
    const size_t loopSamples =
        loop ? static_cast<size_t>(std::llround((score.delay + score.loopBeats() * spb) * kSampleRate)) : 0;
    const size_t roomTail = 3 * kSampleRate;
    const size_t dryLength = loop ? loopSamples : static_cast<size_t>(std::ceil(end * kSampleRate)) + roomTail;

    Stereo dry;
    dry.left.assign(dryLength, 0.0f);
    dry.right.assign(dryLength, 0.0f);
    std::vector<float> send(dryLength, 0.0f);
    std::vector<float> note;
    for (const NoteEvent& e : score.events) {
        const Instrument& in = score.instruments[static_cast<size_t>(e.instrument)];
        NoteSpec spec;
        spec.frequency = 440.0 * std::pow(2.0, (e.midi - 69.0) / 12.0);
        spec.holdSeconds = e.beats * spb;
        spec.velocity = e.velocity;
        spec.seed = e.seed;
        note.clear();
        renderNote(in, spec, note, 0);
        const double angle = (in.pan + 1.0) * kPi / 4.0;
        const float gl = static_cast<float>(std::cos(angle) * std::sqrt(2.0));
        const float gr = static_cast<float>(std::sin(angle) * std::sqrt(2.0));
        const float gs = static_cast<float>(in.reverb);
        size_t at = static_cast<size_t>(std::llround((score.delay + e.beat * spb) * kSampleRate));
        if (loop) at %= loopSamples;
        for (float v : note) {
            if (at >= dryLength) {
                if (!loop) break;
                at = 0;
            }
            dry.left[at] += v * gl;
            dry.right[at] += v * gr;
            send[at] += v * gs;
            ++at;
        }
    }

    Room room(score.room);
    const float wet = static_cast<float>(score.room.mix * 4.0);
    // A loop runs through the room until the room has settled (some ten
    // seconds) and keeps the last pass, so the tail of its end rings on
    // into its start exactly as it would when played round and round.
    const int passes = loop ? 1 + static_cast<int>(std::ceil(10.0 * kSampleRate / static_cast<double>(dryLength))) : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t i = 0; i < dryLength; ++i) {
            float l, r;
            room.run(send[i], l, r);
            if (pass == passes - 1) {
                dry.left[i] += l * wet;
                dry.right[i] += r * wet;
            }
        }
    }
    if (!loop) {
        // Cut a one-shot piece where it has died away (or at its length).
        size_t last = 0;
        for (size_t i = 0; i < dryLength; ++i)
            if (std::fabs(dry.left[i]) > 1e-4f || std::fabs(dry.right[i]) > 1e-4f) last = i + 1;
        if (score.length > 0.0) last = static_cast<size_t>(std::llround(score.length * kSampleRate));
        dry.left.resize(last, 0.0f);
        dry.right.resize(last, 0.0f);
    }
    return dry;
}

std::vector<float> mixToMono(const Stereo& sound) {
    std::vector<float> mono(sound.size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (sound.left[i] + sound.right[i]);
    return mono;
}

Levels measure(const std::vector<float>& samples) {
    Levels levels;
    const size_t window = kSampleRate / 20;
    double sum = 0.0, total = 0.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double v = samples[i];
        levels.peak = std::max(levels.peak, std::fabs(v));
        sum += v * v;
        total += v * v;
        if (i >= window) sum -= static_cast<double>(samples[i - window]) * samples[i - window];
        if (i + 1 >= std::min(window, samples.size()))
            levels.loudest = std::max(levels.loudest, std::sqrt(std::max(sum, 0.0) / static_cast<double>(window)));
    }
    if (!samples.empty()) levels.rms = std::sqrt(total / static_cast<double>(samples.size()));
    return levels;
}

Levels measure(const Stereo& sound) {
    const Levels l = measure(sound.left), r = measure(sound.right);
    return {std::max(l.loudest, r.loudest), std::max(l.peak, r.peak), std::sqrt(0.5 * (l.rms * l.rms + r.rms * r.rms))};
}

double levelEffect(std::vector<float>& samples, double targetDb) {
    const Levels levels = measure(samples);
    if (levels.peak <= 0.0) return 1.0;
    const double gain = std::min(fromDb(targetDb) / levels.loudest, fromDb(kEffectCeilingDb) / levels.peak);
    const size_t fade = std::min<size_t>(samples.size(), kSampleRate / 200);
    for (size_t i = 0; i < samples.size(); ++i) {
        double v = samples[i] * gain;
        const size_t left = samples.size() - i;
        if (left <= fade) v *= static_cast<double>(left - 1) / static_cast<double>(fade);
        samples[i] = static_cast<float>(v);
    }
    return gain;
}

namespace {

// Holds the peaks of a looping track under `ceiling` with a gain that dips
// smoothly: it falls over 5 ms ahead of a peak and recovers over 200 ms.
// Both passes run round the loop twice, so the gain at the seam matches.
void limitLoop(Stereo& sound, double ceiling) {
    const size_t n = sound.size();
    if (n == 0) return;
    std::vector<float> gain(n);
    for (size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::fabs(sound.left[i]), std::fabs(sound.right[i]));
        gain[i] = peak > ceiling ? static_cast<float>(ceiling / peak) : 1.0f;
    }
    const float recover = 1.0f / (0.2f * kSampleRate);
    const float fall = 1.0f / (0.005f * kSampleRate);
    float g = 1.0f;
    for (size_t k = 0; k < 2 * n; ++k) {
        const size_t i = k % n;
        g = std::min(gain[i], g + recover);
        gain[i] = g;
    }
    g = 1.0f;
    for (size_t k = 2 * n; k-- > 0;) {
        const size_t i = k % n;
        g = std::min(gain[i], g + fall);
        gain[i] = g;
    }
    for (size_t i = 0; i < n; ++i) {
        sound.left[i] *= gain[i];
        sound.right[i] *= gain[i];
    }
}

}  // namespace

double levelMusic(Stereo& sound, double targetDb) {
    const Levels levels = measure(sound);
    if (levels.peak <= 0.0) return 1.0;
    // Reach the loudness target, letting the limiter take at most 6 dB off
    // the loudest peaks.
    const double ceiling = fromDb(kMusicCeilingDb);
    const double gain = std::min(fromDb(targetDb) / levels.rms, 2.0 * ceiling / levels.peak);
    for (size_t i = 0; i < sound.size(); ++i) {
        sound.left[i] = static_cast<float>(sound.left[i] * gain);
        sound.right[i] = static_cast<float>(sound.right[i] * gain);
    }
    limitLoop(sound, ceiling * 0.999);
    return gain;
}

}  // namespace soundgen
