#include "tools/soundgen/score.h"

#include "tools/soundgen/text_records.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace soundgen {

namespace {

// ---------------------------------------------------------------- chords

struct ChordQuality {
    const char* suffix;
    std::vector<int> intervals;
};

// Longest suffixes first so that "maj7" is not read as "m" + "aj7".
const std::vector<ChordQuality>& chordQualities() {
    static const std::vector<ChordQuality> qualities = {
        {"maj9", {0, 4, 7, 11, 14}}, {"madd9", {0, 3, 7, 14}}, {"7sus4", {0, 5, 7, 10}}, {"maj7", {0, 4, 7, 11}},
        {"m7b5", {0, 3, 6, 10}},     {"dim7", {0, 3, 6, 9}},   {"add9", {0, 4, 7, 14}},  {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},         {"mmaj7", {0, 3, 7, 11}}, {"dim", {0, 3, 6}},       {"aug", {0, 4, 8}},
        {"m9", {0, 3, 7, 10, 14}},   {"m7", {0, 3, 7, 10}},    {"m6", {0, 3, 7, 9}},     {"9", {0, 4, 7, 10, 14}},
        {"7", {0, 4, 7, 10}},        {"6", {0, 4, 7, 9}},      {"5", {0, 7}},            {"m", {0, 3, 7}},
        {"", {0, 4, 7}},
    };
    return qualities;
}

int pitchClass(const std::string& text, size_t& i) {
    static constexpr int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};
    if (i >= text.size()) throw std::runtime_error("missing chord root");
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (letter < 'A' || letter > 'G') throw std::runtime_error("bad chord root in \"" + text + "\"");
    int pc = kSteps[letter - 'A'];
    ++i;
    while (i < text.size() && (text[i] == '#' || text[i] == '+' || text[i] == 'b')) pc += text[i++] == 'b' ? -1 : 1;
    return (pc % 12 + 12) % 12;
}

struct Chord {
    double beats = 4.0;
    int bass = 0;                 // pitch class of the lowest note
    std::vector<int> tones;       // offsets above the bass, ascending, first 0
};

Chord parseChord(const std::string& token, int meter) {
    Chord chord;
    chord.beats = meter;
    std::string name = token;
    const size_t colon = name.find(':');
    if (colon != std::string::npos) {
        chord.beats = parseNumber(name.substr(colon + 1), 0.25, 64);
        name = name.substr(0, colon);
    }
    size_t i = 0;
    const int root = pitchClass(name, i);
    std::string rest = name.substr(i);
    int bass = root;
    const size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        size_t j = 0;
        const std::string bassName = rest.substr(slash + 1);
        bass = pitchClass(bassName, j);
        if (j != bassName.size()) throw std::runtime_error("bad bass note in \"" + token + "\"");
        rest = rest.substr(0, slash);
    }
    const ChordQuality* quality = nullptr;
    for (const ChordQuality& q : chordQualities())
        if (rest == q.suffix) {
            quality = &q;
            break;
        }
    if (!quality) throw std::runtime_error("unknown chord \"" + token + "\"");
    std::vector<int> offsets;
    offsets.push_back(0);
    for (int interval : quality->intervals) {
        const int offset = ((root + interval - bass) % 12 + 12) % 12;
        if (std::find(offsets.begin(), offsets.end(), offset) == offsets.end()) offsets.push_back(offset);
    }
    std::sort(offsets.begin(), offsets.end());
    chord.bass = bass;
    chord.tones = offsets;
    return chord;
}

// ---------------------------------------------------------------- notes

class NoteReader {
public:
    NoteReader(const std::map<std::string, std::string>& macros, int instrument, int octave, double startBeat,
               int transpose, std::vector<NoteEvent>& out)
        : macros_(macros), instrument_(instrument), octave_(octave), beat_(startBeat), transpose_(transpose),
          out_(out) {}

    void play(const std::string& text, int depth = 0) {
        if (depth > 16) throw std::runtime_error("macros or repeats nested too deeply");
        size_t i = 0;
        while (i < text.size()) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            if (std::isspace(static_cast<unsigned char>(c)) || c == '|') {
                ++i;
            } else if (c >= 'a' && c <= 'g') {
                const int midi = readPitch(text, i);
                note({midi}, readLengthAndTies(text, i));
            } else if (c == 'r') {
                ++i;
                beat_ += readLengthAndTies(text, i);
                lastEvents_ = 0;
            } else if (c == '(') {
                ++i;
                std::vector<int> pitches;
                while (i < text.size() && text[i] != ')') {
                    const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
                    if (d >= 'a' && d <= 'g') pitches.push_back(readPitch(text, i));
                    else if (d == '<') --octave_, ++i;
                    else if (d == '>') ++octave_, ++i;
                    else if (std::isspace(static_cast<unsigned char>(d))) ++i;
                    else throw std::runtime_error(std::string("unexpected '") + d + "' in a chord");
                }
                if (i >= text.size()) throw std::runtime_error("unclosed chord");
                ++i;
                note(pitches, readLengthAndTies(text, i));
            } else if (c == '^' || c == '&') {
                ++i;
                skipTieNote(text, i);
                extendLast(readLength(text, i));
            } else if (c == 'o') {
                ++i;
                octave_ = static_cast<int>(readInt(text, i, 0, 8));
            } else if (c == '>') {
                ++octave_, ++i;
            } else if (c == '<') {
                --octave_, ++i;
            } else if (c == 'l') {
                ++i;
                defaultLength_ = readLength(text, i, false);
            } else if (c == 'v') {
                ++i;
                velocity_ = readInt(text, i, 0, 127) / 100.0;
            } else if (c == 'q') {
                ++i;
                gate_ = readInt(text, i, 1, 8) / 8.0;
            } else if (c == 'k') {
                ++i;
                transpose_ = static_cast<int>(readInt(text, i, -48, 48, true));
            } else if (c == '[') {
                const size_t close = matching(text, i);
                const std::string inner = text.substr(i + 1, close - i - 1);
                i = close + 1;
                const int count = static_cast<int>(readInt(text, i, 1, 64));
                for (int n = 0; n < count; ++n) play(inner, depth + 1);
            } else if (c == '$') {
                ++i;
                size_t end = i;
                while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                    ++end;
                const std::string name = text.substr(i, end - i);
                i = end;
                const auto found = macros_.find(name);
                if (found == macros_.end()) throw std::runtime_error("unknown macro $" + name);
                play(found->second, depth + 1);
            } else {
                throw std::runtime_error(std::string("unexpected '") + text[i] + "' in notes");
            }
        }
    }

    double beat() const { return beat_; }

private:
    int readPitch(const std::string& text, size_t& i) {
        static constexpr int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};
        int semitone = kSteps[std::tolower(static_cast<unsigned char>(text[i])) - 'a'];
        ++i;
        while (i < text.size() && (text[i] == '+' || text[i] == '#' || text[i] == '-'))
            semitone += text[i++] == '-' ? -1 : 1;
        const int midi = 12 * (octave_ + 1) + semitone + transpose_;
        if (midi < 12 || midi > 120) throw std::runtime_error("note out of range");
        return midi;
    }

    static double readInt(const std::string& text, size_t& i, double low, double high, bool sign = false) {
        size_t end = i;
        if (sign && end < text.size() && text[end] == '-') ++end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        const std::string digits = text.substr(i, end - i);
        i = end;
        return parseNumber(digits, low, high);
    }

    // A length in beats: "8" is an eighth note (half a beat); no digits
    // means the default length; dots add half, a quarter, ...
    double readLength(const std::string& text, size_t& i, bool allowDefault = true) {
        double beats = defaultLength_;
        if (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            beats = 4.0 / readInt(text, i, 1, 96);
        } else if (!allowDefault) {
            throw std::runtime_error("missing length");
        }
        double add = beats / 2.0;
        while (i < text.size() && text[i] == '.') {
            beats += add;
            add /= 2.0;
            ++i;
        }
        return beats;
    }

    double readLengthAndTies(const std::string& text, size_t& i) {
        double beats = readLength(text, i);
        for (;;) {
            size_t j = i;
            while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
            if (j >= text.size() || (text[j] != '^' && text[j] != '&')) break;
            i = j + 1;
            skipTieNote(text, i);
            beats += readLength(text, i);
        }
        return beats;
    }

    // "c4&c8": the tied note's name may be repeated; it is not read again.
    static void skipTieNote(const std::string& text, size_t& i) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i < text.size()) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            if (c >= 'a' && c <= 'g') {
                ++i;
                while (i < text.size() && (text[i] == '+' || text[i] == '#' || text[i] == '-')) ++i;
            }
        }
    }

    static size_t matching(const std::string& text, size_t open) {
        int depth = 0;
        for (size_t i = open; i < text.size(); ++i) {
            if (text[i] == '[') ++depth;
            if (text[i] == ']' && --depth == 0) return i;
        }
        throw std::runtime_error("unclosed [");
    }

    void note(const std::vector<int>& pitches, double beats) {
        for (int midi : pitches) {
            NoteEvent e;
            e.beat = beat_;
            e.beats = beats * gate_;
            e.midi = midi;
            e.velocity = velocity_;
            e.instrument = instrument_;
            e.seed = static_cast<uint32_t>(out_.size() * 7919u + 17u);
            out_.push_back(e);
        }
        lastEvents_ = pitches.size();
        lastLength_ = beats;
        beat_ += beats;
    }

    void extendLast(double beats) {
        if (lastEvents_ == 0) throw std::runtime_error("tie without a note before it");
        for (size_t k = out_.size() - lastEvents_; k < out_.size(); ++k) out_[k].beats = (lastLength_ + beats) * gate_;
        lastLength_ += beats;
        beat_ += beats;
    }

    const std::map<std::string, std::string>& macros_;
    int instrument_;
    int octave_;
    double beat_;
    int transpose_;
    std::vector<NoteEvent>& out_;
    double defaultLength_ = 1.0;
    double velocity_ = 0.9;
    double gate_ = 7.0 / 8.0;
    size_t lastEvents_ = 0;
    double lastLength_ = 0.0;
};

// ---------------------------------------------------------------- parsing

struct BarRange {
    int first = 1, last = 0;  // last 0: to the end
};

BarRange parseBars(const std::string& text) {
    BarRange r;
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        r.first = r.last = static_cast<int>(parseNumber(text, 1, 999));
    } else {
        r.first = static_cast<int>(parseNumber(text.substr(0, dash), 1, 999));
        r.last = static_cast<int>(parseNumber(text.substr(dash + 1), r.first, 999));
    }
    return r;
}

std::string stripBars(const std::string& pattern) {
    std::string out;
    for (char c : pattern)
        if (c != '|' && c != ' ') out.push_back(c);
    if (out.empty()) throw std::runtime_error("empty pattern");
    return out;
}

class ScoreBuilder {
public:
    // The score's own instruments start as a copy of the shared library.
    explicit ScoreBuilder(const InstrumentLibrary& library) : local_(library) {}

    Score build(const std::vector<Directive>& directives) {
        // Settings, instruments, chords and macros first: the lines that
        // place notes may come before the things they use.
        for (const Directive& d : directives) {
            try {
                settingsLine(d);
            } catch (const std::exception& e) {
                throw std::runtime_error(d.where + ": " + e.what());
            }
        }
        for (const Directive& d : directives) {
            try {
                notesLine(d);
            } catch (const std::exception& e) {
                throw std::runtime_error(d.where + ": " + e.what());
            }
        }
        std::stable_sort(score_.events.begin(), score_.events.end(),
                         [](const NoteEvent& a, const NoteEvent& b) { return a.beat < b.beat; });
        return score_;
    }

private:
    void settingsLine(const Directive& d) {
        if (d.name == "tempo") {
            score_.tempo = parseNumber(d.rest, 20, 400);
        } else if (d.name == "meter") {
            score_.meter = static_cast<int>(parseNumber(d.rest, 1, 16));
        } else if (d.name == "bars") {
            score_.bars = static_cast<int>(parseNumber(d.rest, 1, 999));
        } else if (d.name == "delay") {
            score_.delay = parseNumber(d.rest, 0, 60);
        } else if (d.name == "length") {
            score_.length = parseNumber(d.rest, 0.01, 600);
        } else if (d.name == "level") {
            score_.level = parseNumber(d.rest, -60, 0);
        } else if (d.name == "room") {
            for (const auto& [key, value] : splitSettings(d.rest)) {
                if (key == "mix") score_.room.mix = parseNumber(value, 0, 1);
                else if (key == "size") score_.room.size = parseNumber(value, 0, 0.98);
                else if (key == "damp") score_.room.damp = parseNumber(value, 0, 1);
                else throw std::runtime_error("unknown room setting " + key);
            }
        } else if (d.name == "instrument") {
            defineInstrument(d.rest, local_);
        } else if (d.name == "chords") {
            const auto words = splitList(d.rest, ' ');
            if (words.size() < 2) throw std::runtime_error("chords NAME CHORD ...");
            std::vector<Chord> run;
            for (size_t k = 1; k < words.size(); ++k)
                if (words[k] != "|") run.push_back(parseChord(words[k], score_.meter));
            chordRuns_[words[0]] = run;
        } else if (d.name == "harmony") {
            for (const std::string& word : splitList(d.rest, ' ')) {
                if (word == "|") continue;
                const auto run = chordRuns_.find(word);
                if (run != chordRuns_.end()) harmony_.insert(harmony_.end(), run->second.begin(), run->second.end());
                else harmony_.push_back(parseChord(word, score_.meter));
            }
        } else if (d.name == "macro") {
            const size_t space = d.rest.find(' ');
            if (space == std::string::npos) throw std::runtime_error("macro NAME notes");
            macros_[d.rest.substr(0, space)] = d.rest.substr(space + 1);
        } else if (d.name != "voice" && d.name != "comp" && d.name != "drum" && d.name != "title") {
            throw std::runtime_error("unknown directive " + d.name);
        }
    }

    void notesLine(const Directive& d) {
        if (d.name == "voice") voiceLine(d.rest);
        else if (d.name == "comp") patternLine(d.rest, true);
        else if (d.name == "drum") patternLine(d.rest, false);
    }

    const Instrument& findInstrument(const std::string& name) const {
        const auto found = local_.find(name);
        if (found == local_.end()) throw std::runtime_error("unknown instrument " + name);
        return found->second;
    }

    // Common settings of voice, comp and drum lines; the others are kept in
    // `rest` for the caller.
    struct LineSettings {
        Instrument instrument;
        bool haveInstrument = false;
        std::vector<std::pair<std::string, std::string>> rest;
    };

    LineSettings lineSettings(const std::string& text) {
        LineSettings s;
        auto settings = splitSettings(text);
        // The line's own name comes first and only labels it.
        if (!settings.empty() && settings.front().second.empty()) settings.erase(settings.begin());
        for (const auto& [key, value] : settings) {
            if (key == "instrument") {
                s.instrument = findInstrument(value);
                s.haveInstrument = true;
            } else {
                s.rest.emplace_back(key, value);
            }
        }
        if (!s.haveInstrument) throw std::runtime_error("instrument= is missing");
        std::vector<std::pair<std::string, std::string>> left;
        for (const auto& [key, value] : s.rest) {
            if (key == "gain") s.instrument.gain *= parseNumber(value, 0, 8);
            else if (key == "pan") s.instrument.pan = parseNumber(value, -1, 1);
            else if (key == "reverb") s.instrument.reverb = parseNumber(value, 0, 1);
            else left.emplace_back(key, value);
        }
        s.rest = left;
        return s;
    }

    int addInstrument(const Instrument& in) {
        score_.instruments.push_back(in);
        return static_cast<int>(score_.instruments.size() - 1);
    }

    double barBeat(int bar) const { return static_cast<double>(bar - 1) * score_.meter; }

    void voiceLine(const std::string& text) {
        const size_t colon = text.find(':');
        if (colon == std::string::npos) throw std::runtime_error("voice NAME settings : notes");
        const std::string head = text.substr(0, colon);
        LineSettings s = lineSettings(head);
        int octave = 4, startBar = 1, transpose = 0;
        for (const auto& [key, value] : s.rest) {
            if (key == "octave") octave = static_cast<int>(parseNumber(value, 0, 8));
            else if (key == "start") startBar = static_cast<int>(parseNumber(value, 1, 999));
            else if (key == "transpose") transpose = static_cast<int>(parseNumber(value, -48, 48));
            else throw std::runtime_error("unknown voice setting " + key);
        }
        NoteReader reader(macros_, addInstrument(s.instrument), octave, barBeat(startBar), transpose,
                          score_.events);
        reader.play(text.substr(colon + 1));
        checkEnd(reader.beat(), head);
        // A voice of a looping piece fills the loop exactly: a miscounted
        // bar shows up here instead of as a stumble at the seam.
        if (score_.bars > 0 && reader.beat() < score_.loopBeats() - 1e-9)
            throw std::runtime_error("\"" + trim(head) + "\" ends " + std::to_string(score_.loopBeats() - reader.beat()) +
                                     " beats before the loop end");
    }

    void checkEnd(double endBeat, const std::string& what) const {
        if (score_.bars > 0 && endBeat > score_.loopBeats() + 1e-9)
            throw std::runtime_error("\"" + trim(what) + "\" runs " + std::to_string(endBeat - score_.loopBeats()) +
                                     " beats past the loop end");
    }

    const Chord& chordAt(double beat) const {
        if (harmony_.empty()) throw std::runtime_error("a comp line needs a harmony line");
        double total = 0.0;
        for (const Chord& c : harmony_) total += c.beats;
        double pos = std::fmod(beat, total);
        for (const Chord& c : harmony_) {
            if (pos < c.beats - 1e-9) return c;
            pos -= c.beats;
        }
        return harmony_.back();
    }

    void patternLine(const std::string& text, bool comp) {
        LineSettings s = lineSettings(text);
        std::string pattern;
        double step = 16, velocity = 0.8, gate = 0.9;
        int octave = 3;
        int midi = 60;
        BarRange bars;
        for (const auto& [key, value] : s.rest) {
            if (key == "pattern") pattern = stripBars(value);
            else if (key == "step") step = parseNumber(value, 1, 64);
            else if (key == "vel") velocity = parseNumber(value, 0, 1.27);
            else if (key == "gate") gate = parseNumber(value, 0.05, 4);
            else if (key == "octave" && comp) octave = static_cast<int>(parseNumber(value, 0, 8));
            else if (key == "note" && !comp) midi = parseNoteName(value);
            else if (key == "bars") bars = parseBars(value);
            else throw std::runtime_error("unknown setting " + key);
        }
        if (pattern.empty()) throw std::runtime_error("pattern= is missing");
        const int lastBar = bars.last > 0 ? bars.last : score_.bars;
        if (lastBar <= 0) throw std::runtime_error("bars=A-B is needed in a piece without a loop");
        const int instrument = addInstrument(s.instrument);
        const double stepBeats = 4.0 / step;
        const double from = barBeat(bars.first), to = barBeat(lastBar + 1);
        checkEnd(to, text);
        const size_t steps = static_cast<size_t>(std::llround((to - from) / stepBeats));
        std::vector<size_t> held;  // events of the last hit, lengthened by '-'
        int heldSteps = 0;
        for (size_t n = 0; n < steps; ++n) {
            const char c = pattern[n % pattern.size()];
            const double beat = from + static_cast<double>(n) * stepBeats;
            if (c == '.') {
                held.clear();
                continue;
            }
            if (c == '-') {
                ++heldSteps;
                for (size_t k : held) score_.events[k].beats = heldSteps * stepBeats * gate;
                continue;
            }
            heldSteps = 1;
            std::vector<std::pair<double, double>> hits;  // midi, velocity
            if (comp) {
                const Chord& chord = chordAt(beat);
                const int base = 12 * (octave + 1) + chord.bass;
                auto tone = [&](int index) {
                    const int count = static_cast<int>(chord.tones.size());
                    return base + chord.tones[index % count] + 12 * (index / count);
                };
                if (c == 'x') {
                    for (size_t k = 0; k < chord.tones.size(); ++k) hits.emplace_back(tone(static_cast<int>(k)), velocity);
                } else if (c == '0') {
                    hits.emplace_back(base - 12, velocity);
                } else if (c >= '1' && c <= '9') {
                    hits.emplace_back(tone(c - '1'), velocity);
                } else {
                    throw std::runtime_error(std::string("unexpected '") + c + "' in a comp pattern");
                }
            } else {
                if (c == 'X') hits.emplace_back(midi, std::min(velocity * 1.3, 1.27));
                else if (c == 'x') hits.emplace_back(midi, velocity);
                else if (c == 'o') hits.emplace_back(midi, velocity * 0.5);
                else throw std::runtime_error(std::string("unexpected '") + c + "' in a drum pattern");
            }
            held.clear();
            for (const auto& [pitch, vel] : hits) {
                NoteEvent e;
                e.beat = beat;
                e.beats = stepBeats * gate;
                e.midi = pitch;
                e.velocity = vel;
                e.instrument = instrument;
                e.seed = static_cast<uint32_t>(score_.events.size() * 7919u + 31u);
                held.push_back(score_.events.size());
                score_.events.push_back(e);
            }
        }
    }

    InstrumentLibrary local_;
    Score score_;
    std::map<std::string, std::vector<Chord>> chordRuns_;
    std::vector<Chord> harmony_;
    std::map<std::string, std::string> macros_;
};

}  // namespace

void defineInstrument(const std::string& text, InstrumentLibrary& library) {
    const auto settings = splitSettings(text);
    if (settings.empty() || !settings.front().second.empty()) throw std::runtime_error("instrument NAME key=value ...");
    const std::string name = settings.front().first;
    Instrument in;
    for (size_t k = 1; k < settings.size(); ++k) {
        const auto& [key, value] = settings[k];
        if (key != "base") continue;
        const auto base = library.find(value);
        if (base == library.end()) throw std::runtime_error("unknown base instrument " + value);
        in = base->second;
    }
    for (size_t k = 1; k < settings.size(); ++k) {
        const auto& [key, value] = settings[k];
        if (key == "base") continue;
        if (!setInstrumentValue(in, key, value)) {
            throw std::runtime_error("unknown instrument setting " + key);
        }
    }
    library[name] = in;
}

void readInstrumentLibrary(const std::string& path, InstrumentLibrary& library) {
    for (const Directive& d : readDirectives(path)) {
        try {
            if (d.name != "instrument") throw std::runtime_error("only instrument lines belong here");
            defineInstrument(d.rest, library);
        } catch (const std::exception& e) {
            throw std::runtime_error(d.where + ": " + e.what());
        }
    }
}

Score readScore(const std::string& path, const InstrumentLibrary& library) {
    ScoreBuilder builder(library);
    return builder.build(readDirectives(path));
}

}  // namespace soundgen
