#include "tools/soundgen/effect.h"

#include "tools/soundgen/text_records.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace soundgen {

bool isEffectRecord(const std::vector<Directive>& directives) {
    return std::any_of(directives.begin(), directives.end(), [](const Directive& d) { return d.name == "layer"; });
}

namespace {

EffectLayer parseLayer(const std::string& text, const InstrumentLibrary& library) {
    EffectLayer layer;
    const auto settings = splitSettings(text);
    for (const auto& [key, value] : settings)
        if (key == "instrument") {
            const auto found = library.find(value);
            if (found == library.end()) throw std::runtime_error("unknown instrument " + value);
            layer.instrument = found->second;
        }
    bool haveDuration = false;
    for (const auto& [key, value] : settings) {
        if (key == "instrument") continue;
        if (key == "freq") layer.frequency = parseFrequency(value);
        else if (key == "to") layer.frequencyTo = parseFrequency(value);
        else if (key == "glide") {
            if (value != "lin" && value != "exp") throw std::runtime_error("glide=lin or glide=exp");
            layer.linearGlide = value == "lin";
        } else if (key == "time") layer.time = parseNumber(value, 0, 60);
        else if (key == "dur") {
            layer.duration = parseNumber(value, 0, 60);
            haveDuration = true;
        } else if (key == "notes") {
            for (const std::string& n : splitList(value, ',')) layer.notes.push_back(parseFrequency(n));
        } else if (key == "step") layer.step = parseNumber(value, 0.001, 10);
        else if (key == "repeat") layer.repeat = static_cast<int>(parseNumber(value, 1, 200));
        else if (key == "every") layer.every = parseNumber(value, 0.001, 10);
        else if (key == "fade") layer.fade = parseNumber(value, 0, 2);
        else if (key == "shift") layer.shift = parseNumber(value, -24, 24);
        else if (key == "vel") layer.velocity = parseNumber(value, 0, 4);
        else if (!setInstrumentValue(layer.instrument, key, value))
            throw std::runtime_error("unknown layer setting " + key);
    }
    if (!layer.notes.empty() && !haveDuration) layer.duration = layer.step;
    return layer;
}

}  // namespace

EffectRecord parseEffect(const std::vector<Directive>& directives, const InstrumentLibrary& library) {
    EffectRecord effect;
    for (const Directive& d : directives) {
        try {
            if (d.name == "layer") effect.layers.push_back(parseLayer(d.rest, library));
            else if (d.name == "length") effect.length = parseNumber(d.rest, 0.01, 60);
            else if (d.name == "level") effect.level = parseNumber(d.rest, -60, 0);
            else throw std::runtime_error("unknown directive " + d.name);
        } catch (const std::exception& e) {
            throw std::runtime_error(d.where + ": " + e.what());
        }
    }
    return effect;
}

std::vector<float> renderEffect(const EffectRecord& effect) {
    std::vector<float> out;
    uint32_t seed = 1;
    for (const EffectLayer& layer : effect.layers) {
        for (int r = 0; r < layer.repeat; ++r) {
            const double start = layer.time + r * layer.every;
            const double velocity = layer.velocity * std::pow(layer.fade, r);
            const double pitch = std::pow(2.0, layer.shift * r / 12.0);
            if (layer.notes.empty()) {
                NoteSpec note;
                note.frequency = layer.frequency * pitch;
                note.frequencyTo = layer.frequencyTo > 0.0 ? layer.frequencyTo * pitch : 0.0;
                note.linearGlide = layer.linearGlide;
                note.holdSeconds = layer.duration;
                note.velocity = velocity;
                note.seed = seed++;
                renderNote(layer.instrument, note, out, static_cast<size_t>(std::llround(start * kSampleRate)));
            } else {
                for (size_t k = 0; k < layer.notes.size(); ++k) {
                    NoteSpec note;
                    note.frequency = layer.notes[k] * pitch;
                    note.holdSeconds = layer.duration;
                    note.velocity = velocity;
                    note.seed = seed++;
                    const double at = start + static_cast<double>(k) * layer.step;
                    renderNote(layer.instrument, note, out, static_cast<size_t>(std::llround(at * kSampleRate)));
                }
            }
        }
    }
    if (effect.length > 0.0) out.resize(static_cast<size_t>(std::llround(effect.length * kSampleRate)), 0.0f);
    return out;
}

}  // namespace soundgen
