#include "tools/soundgen/synth.h"

#include "tools/soundgen/text_records.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>

namespace soundgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct WaveName {
    const char* name;
    Wave wave;
};
constexpr WaveName kWaves[] = {
    {"sine", Wave::Sine},   {"triangle", Wave::Triangle}, {"saw", Wave::Saw}, {"square", Wave::Square},
    {"noise", Wave::Noise}, {"pluck", Wave::Pluck},       {"fm", Wave::Fm},   {"organ", Wave::Organ},
};

struct FilterName {
    const char* name;
    FilterMode mode;
};
constexpr FilterName kFilters[] = {
    {"none", FilterMode::None}, {"lp", FilterMode::LowPass}, {"hp", FilterMode::HighPass}, {"bp", FilterMode::BandPass}};

// The numeric settings, by name, as member pointers: one table instead of a
// chain of comparisons.
struct NumberSetting {
    const char* key;
    double Instrument::*field;
    double low, high;
};
constexpr NumberSetting kNumbers[] = {
    {"duty", &Instrument::duty, 0.01, 0.99},
    {"ratio", &Instrument::fmRatio, 0.01, 32.0},
    {"index", &Instrument::fmIndex, 0.0, 50.0},
    {"index_decay", &Instrument::fmDecay, 0.0, 60.0},
    {"detune", &Instrument::detune, 0.0, 200.0},
    {"noise", &Instrument::noise, 0.0, 1.0},
    {"damping", &Instrument::damping, 0.0, 1.0},
    {"brightness", &Instrument::brightness, 0.0, 1.0},
    {"attack", &Instrument::attack, 0.0, 30.0},
    {"decay", &Instrument::decay, 0.0, 60.0},
    {"sustain", &Instrument::sustain, 0.0, 1.0},
    {"release", &Instrument::release, 0.0, 30.0},
    {"hold", &Instrument::hold, 0.0, 30.0},
    {"cutoff", &Instrument::cutoff, 20.0, 20000.0},
    {"cutoff_to", &Instrument::cutoffTo, 0.0, 20000.0},
    {"resonance", &Instrument::resonance, 0.0, 0.95},
    {"filter_env", &Instrument::filterEnv, -8.0, 8.0},
    {"filter_decay", &Instrument::filterDecay, 0.001, 30.0},
    {"keytrack", &Instrument::keyTrack, 0.0, 1.0},
    {"vibrato", &Instrument::vibrato, 0.0, 1200.0},
    {"vibrato_rate", &Instrument::vibratoRate, 0.0, 40.0},
    {"vibrato_delay", &Instrument::vibratoDelay, 0.0, 30.0},
    {"tremolo", &Instrument::tremolo, 0.0, 1.0},
    {"tremolo_rate", &Instrument::tremoloRate, 0.0, 60.0},
    {"sweep", &Instrument::sweep, -96.0, 96.0},
    {"sweep_time", &Instrument::sweepTime, 0.0005, 30.0},
    {"drive", &Instrument::drive, 0.0, 10.0},
    {"gain", &Instrument::gain, 0.0, 8.0},
    {"pan", &Instrument::pan, -1.0, 1.0},
    {"reverb", &Instrument::reverb, 0.0, 1.0},
};

double polyBlep(double phase, double step) {
    if (phase < step) {
        const double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        const double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// The amplitude envelope of a note held for `held` seconds, one sample
// after another: a linear attack, a hold, an exponential fall to the
// sustain level, and a release that fades to exactly zero.
class Envelope {
public:
    Envelope(const Instrument& in, double held)
        : attackSamples_(in.attack * kSampleRate),
          holdEnd_((in.attack + in.hold) * kSampleRate),
          heldSamples_(held * kSampleRate),
          releaseSamples_(std::max(in.release, 0.004) * kSampleRate),
          sustain_(in.sustain),
          decayStep_(in.decay > 0.0 ? std::exp(-5.0 / (in.decay * kSampleRate)) : 0.0),
          releaseStep_(std::exp(-4.0 / releaseSamples_)) {}

    double next() {
        const double i = static_cast<double>(n_++);
        if (i < heldSamples_) {
            if (i < attackSamples_) level_ = i / attackSamples_;
            else if (i < holdEnd_) level_ = 1.0;
            else {
                decayTerm_ *= decayStep_;
                level_ = sustain_ + (1.0 - sustain_) * decayTerm_;
            }
            return level_;
        }
        const double r = (i - heldSamples_) / releaseSamples_;
        if (r >= 1.0) return 0.0;
        releaseTerm_ *= releaseStep_;
        return level_ * releaseTerm_ * (1.0 - r);
    }

private:
    double attackSamples_, holdEnd_, heldSamples_, releaseSamples_;
    double sustain_, decayStep_, releaseStep_;
    double level_ = 0.0, decayTerm_ = 1.0, releaseTerm_ = 1.0;
    size_t n_ = 0;
};

// One cycle of a waveform sampled at Size points (plus a copy of the first at
// the end), read with linear interpolation for a phase in [0, 1).
template <int Size>
class CycleTable {
public:
    double at(double phase) const {
        const double x = phase * Size;
        const int i = static_cast<int>(x);
        const double frac = x - i;
        return table_[i & (Size - 1)] * (1.0 - frac) + table_[(i & (Size - 1)) + 1] * frac;
    }

protected:
    static constexpr int kSize = Size;
    double table_[Size + 1];
};

// sin(2 pi phase) from a table: the same numbers on every machine, and several
// times faster than the library call.
class SineTable : public CycleTable<16384> {
public:
    SineTable() {
        for (int i = 0; i <= kSize; ++i) table_[i] = std::sin(2.0 * kPi * i / kSize);
    }
};

const SineTable& sineTable() {
    static const SineTable table;
    return table;
}

double wrap(double phase) { return phase - std::floor(phase); }

// One cycle of an organ tone (its harmonics summed and scaled), leaving out
// the harmonics a note of the given pitch would fold back from beyond the
// audible range.
class OrganTable : public CycleTable<4096> {
public:
    OrganTable(const std::vector<double>& harmonics, double frequency, const SineTable& sine) {
        double weight = 0.0;
        for (double h : harmonics) weight += std::fabs(h);
        if (weight <= 0.0) weight = 1.0;
        for (int i = 0; i <= kSize; ++i) {
            const double phase = static_cast<double>(i) / kSize;
            double sum = 0.0;
            for (size_t h = 0; h < harmonics.size(); ++h)
                if (frequency * static_cast<double>(h + 1) < 0.45 * kSampleRate)
                    sum += harmonics[h] * sine.at(wrap(static_cast<double>(h + 1) * phase));
            table_[i] = sum / weight;
        }
    }
};

// A cheap, smooth saturation close to tanh: odd, monotonic, flat at +-1
// beyond +-3.
double softClip(double x) {
    if (x <= -3.0) return -1.0;
    if (x >= 3.0) return 1.0;
    const double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}

// Zero-delay-feedback state-variable filter.
class StateVariableFilter {
public:
    void tune(double cutoff, double resonance) {
        cutoff = std::clamp(cutoff, 20.0, 0.45 * kSampleRate);
        const double g = std::tan(kPi * cutoff / kSampleRate);
        k_ = 2.0 - 1.9 * resonance;
        a1_ = 1.0 / (1.0 + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    double run(double x, FilterMode mode) {
        const double v3 = x - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        switch (mode) {
            case FilterMode::LowPass: return v2;
            case FilterMode::HighPass: return x - k_ * v1 - v2;
            case FilterMode::BandPass: return v1;
            case FilterMode::None: break;
        }
        return x;
    }

private:
    double k_ = 2.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// A plucked string: a noise burst circulating in a delay line that loses its
// highs on every pass.
class PluckedString {
public:
    PluckedString(const Instrument& in, double frequency, Noise& noise) {
        length_ = std::clamp(kSampleRate / std::max(frequency, 20.0), 2.0, 4096.0);
        line_.assign(static_cast<size_t>(length_) + 2, 0.0);
        const double smooth = 1.0 - 0.85 * in.brightness;
        double previous = 0.0;
        for (double& s : line_) {
            previous += (noise.white() - previous) * (1.0 - smooth);
            s = previous;
        }
        blend_ = 0.1 + 0.4 * in.damping;
        feedback_ = 0.9995 - 0.008 * in.damping;
    }
    double next() {
        const size_t size = line_.size();
        // Read `length_` samples behind the write position, interpolated.
        double readPos = static_cast<double>(write_) - length_;
        while (readPos < 0.0) readPos += static_cast<double>(size);
        const size_t i0 = static_cast<size_t>(readPos) % size;
        const size_t i1 = (i0 + 1) % size;
        const double frac = readPos - std::floor(readPos);
        const double delayed = line_[i0] * (1.0 - frac) + line_[i1] * frac;
        const double filtered = feedback_ * ((1.0 - blend_) * delayed + blend_ * last_);
        last_ = delayed;
        line_[write_] = filtered;
        write_ = (write_ + 1) % size;
        return delayed;
    }

private:
    std::vector<double> line_;
    size_t write_ = 0;
    double length_ = 100.0;
    double blend_ = 0.3, feedback_ = 0.998, last_ = 0.0;
};

double oscillator(const Instrument& in, const SineTable& sine, const OrganTable* organ, double phase, double step,
                  double modPhase, double fmIndex) {
    switch (in.wave) {
        case Wave::Sine: return sine.at(phase);
        case Wave::Triangle: return 1.0 - 4.0 * std::fabs(phase - 0.5);
        case Wave::Saw: return 2.0 * phase - 1.0 - polyBlep(phase, step);
        case Wave::Square: {
            double v = phase < in.duty ? 1.0 : -1.0;
            v += polyBlep(phase, step);
            double shifted = phase + 1.0 - in.duty;
            shifted -= std::floor(shifted);
            v -= polyBlep(shifted, step);
            return v;
        }
        case Wave::Fm: return sine.at(wrap(phase + fmIndex * sine.at(modPhase) / (2.0 * kPi)));
        case Wave::Organ: return organ ? organ->at(phase) : 0.0;
        case Wave::Noise:
        case Wave::Pluck: break;
    }
    return 0.0;
}

}  // namespace

bool setInstrumentValue(Instrument& in, const std::string& key, const std::string& value) {
    if (key == "wave") {
        for (const WaveName& w : kWaves)
            if (value == w.name) {
                in.wave = w.wave;
                return true;
            }
        throw std::runtime_error("unknown wave \"" + value + "\"");
    }
    if (key == "filter") {
        for (const FilterName& f : kFilters)
            if (value == f.name) {
                in.filter = f.mode;
                return true;
            }
        throw std::runtime_error("unknown filter \"" + value + "\"");
    }
    if (key == "harmonics") {
        in.harmonics.clear();
        for (const std::string& part : splitList(value, ',')) in.harmonics.push_back(parseNumber(part, -1.0, 1.0));
        if (in.harmonics.empty() || in.harmonics.size() > 32) throw std::runtime_error("harmonics: 1 to 32 values");
        return true;
    }
    if (key == "unison") {
        in.unison = static_cast<int>(parseNumber(value, 1, 4));
        return true;
    }
    for (const NumberSetting& n : kNumbers)
        if (key == n.key) {
            in.*n.field = parseNumber(value, n.low, n.high);
            return true;
        }
    return false;
}

double noteSeconds(const Instrument& in, double holdSeconds) {
    return std::max(holdSeconds, 0.0) + std::max(in.release, 0.004);
}

void renderNote(const Instrument& in, const NoteSpec& note, std::vector<float>& out, size_t start) {
    const double held = std::max(note.holdSeconds, 0.0);
    const size_t count = static_cast<size_t>(std::ceil(noteSeconds(in, held) * kSampleRate));
    if (out.size() < start + count) out.resize(start + count, 0.0f);

    Noise noise(note.seed * 2654435761u + 12345u);
    Envelope envelope(in, held);
    StateVariableFilter filter;
    std::optional<PluckedString> string;
    if (in.wave == Wave::Pluck) string.emplace(in, note.frequency, noise);

    const int copies = std::clamp(in.unison, 1, 4);
    double phases[4], modPhases[4] = {0, 0, 0, 0}, detunes[4];
    for (int c = 0; c < copies; ++c) {
        phases[c] = copies == 1 ? 0.0 : static_cast<double>(noise.next() % 1000) / 1000.0;
        const double spread = copies == 1 ? 0.0 : (static_cast<double>(c) / (copies - 1) - 0.5);
        detunes[c] = std::pow(2.0, spread * in.detune / 1200.0);
    }
    const double copyGain = 1.0 / std::pow(static_cast<double>(copies), 0.7);
    double heldNoise = 0.0;
    double noisePhase = 1.0;

    const double f0 = std::max(note.frequency, 1.0);
    const double f1 = note.frequencyTo > 0.0 ? note.frequencyTo : f0;
    const double c1 = in.cutoffTo > 0.0 ? in.cutoffTo : in.cutoff;
    const double track = std::pow(f0 / 261.63, in.keyTrack);
    const double driveGain = 1.0 + in.drive * 5.0;
    const double driveNorm = in.drive > 0.0 ? 1.0 / softClip(driveGain) : 1.0;

    const SineTable& sine = sineTable();
    std::unique_ptr<OrganTable> organ;
    if (in.wave == Wave::Organ) organ = std::make_unique<OrganTable>(in.harmonics, f0 * std::max(f1 / f0, 1.0), sine);
    // Pitch, filter and wobble move slowly: they are worked out once every
    // kControl samples; only the oscillators and the envelope run per sample.
    constexpr size_t kControl = 16;
    double freq = f0, fmIndex = in.fmIndex, tremolo = 1.0;
    for (size_t i = 0; i < count; ++i) {
        if (i % kControl == 0) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double along = held > 0.0 ? std::min(t / held, 1.0) : 1.0;
            freq = f0;
            if (f1 != f0) freq = note.linearGlide ? f0 + (f1 - f0) * along : f0 * std::pow(f1 / f0, along);
            double semitones = 0.0;
            if (in.sweep != 0.0) semitones += in.sweep * std::exp(-3.0 * t / in.sweepTime);
            if (in.vibrato > 0.0 && t > in.vibratoDelay) {
                const double ramp = std::min((t - in.vibratoDelay) / 0.2, 1.0);
                semitones += ramp * in.vibrato * sine.at(wrap(in.vibratoRate * t)) / 100.0;
            }
            if (semitones != 0.0) freq *= std::exp2(semitones / 12.0);
            if (in.filter != FilterMode::None) {
                double cutoff = (c1 != in.cutoff ? in.cutoff * std::pow(c1 / in.cutoff, along) : in.cutoff) * track;
                if (in.filterEnv != 0.0) cutoff *= std::exp2(in.filterEnv * std::exp(-t / in.filterDecay));
                filter.tune(cutoff, in.resonance);
            }
            if (in.fmDecay > 0.0) fmIndex = in.fmIndex * std::exp(-1.0986 * t / in.fmDecay);
            if (in.tremolo > 0.0) tremolo = 1.0 - in.tremolo * 0.5 * (1.0 - sine.at(wrap(in.tremoloRate * t + 0.25)));
        }

        double v = 0.0;
        if (string) {
            v = string->next();
        } else if (in.wave == Wave::Noise) {
            // Sample-and-hold noise: a new value every cycle, so the pitch
            // colours it (a very high pitch gives plain white noise).
            noisePhase += freq / kSampleRate;
            if (noisePhase >= 1.0) {
                noisePhase -= std::floor(noisePhase);
                heldNoise = noise.white();
            }
            v = heldNoise;
        } else {
            for (int c = 0; c < copies; ++c) {
                const double step = std::min(freq * detunes[c] / kSampleRate, 0.49);
                v += oscillator(in, sine, organ.get(), phases[c], step, modPhases[c], fmIndex);
                phases[c] += step;
                phases[c] -= std::floor(phases[c]);
                modPhases[c] += step * in.fmRatio;
                modPhases[c] -= std::floor(modPhases[c]);
            }
            v *= copyGain;
        }
        if (in.noise > 0.0) v = v * (1.0 - in.noise) + noise.white() * in.noise;
        if (in.filter != FilterMode::None) v = filter.run(v, in.filter);
        if (in.drive > 0.0) v = softClip(driveGain * v) * driveNorm;

        const double amp = envelope.next() * note.velocity * in.gain * tremolo;
        out[start + i] += static_cast<float>(v * amp);
    }
}

}  // namespace soundgen
