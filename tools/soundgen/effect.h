// Sound-effect records: a few layers of synthesized notes, each an
// instrument (see synth.h) with a pitch, a pitch sweep, a start time and a
// held length, optionally stepping through a list of notes or repeating.
//
//   length 0.4          seconds in all (default: until the last layer ends)
//   level -16           loudness target in dB below full scale
//   layer [instrument=NAME] key=value ...
//     freq=440 | freq=c5   pitch at the start     to=...  pitch at the end
//     glide=lin           glide evenly in Hz (default: evenly in pitch)
//     time=0 dur=0.1      start and held length, seconds
//     notes=c5,e5,g5 step=0.06   one note after another
//     repeat=3 every=0.1 fade=0.7 shift=2   repeats, each softer by `fade`
//                                            and `shift` semitones higher
//     vel=1               loudness of the layer
//     and every instrument setting.
#pragma once

#include "tools/soundgen/score.h"
#include "tools/soundgen/text_records.h"

#include <string>
#include <vector>

namespace soundgen {

struct EffectLayer {
    Instrument instrument;
    double time = 0.0;
    double duration = 0.1;
    double frequency = 440.0;
    double frequencyTo = 0.0;
    bool linearGlide = false;
    std::vector<double> notes;  // Hz
    double step = 0.1;
    int repeat = 1;
    double every = 0.1;
    double fade = 1.0;
    double shift = 0.0;
    double velocity = 1.0;
};

struct EffectRecord {
    double length = 0.0;
    double level = -16.0;
    std::vector<EffectLayer> layers;
};

// True when the directives describe an effect (they hold "layer" lines)
// rather than a score.
bool isEffectRecord(const std::vector<Directive>& directives);

EffectRecord parseEffect(const std::vector<Directive>& directives, const InstrumentLibrary& library);

// Renders the effect into mono samples (not yet levelled).
std::vector<float> renderEffect(const EffectRecord& effect);

}  // namespace soundgen
