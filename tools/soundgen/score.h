// Scores: tempo, metre, a loop length in bars, instruments, a chord timeline
// and several voices written in a compact note language, turned into a list
// of note events.
//
// Directives (one per line; indented lines continue the line before):
//   tempo 112                  beats (quarter notes) per minute
//   meter 4                    beats per bar
//   bars 32                    loop length: the track wraps here, and notes
//                              sounding past it carry on at the start
//   delay 0.4                  seconds of silence before bar 1 (one-shot pieces)
//   length 2.0                 seconds in all (one-shot pieces; default: until
//                              the last note has died away)
//   level -20                  loudness target in dB below full scale
//   room mix=0.2 size=0.8 damp=0.3      the reverb
//   instrument NAME [base=OTHER] key=value ...
//   chords NAME Fmaj7 C/E Dm7:2 G7:2   a chord run; ":beats" (default one bar)
//   harmony NAME|CHORD ...       the chord timeline from bar 1 (repeats)
//   macro NAME <notes>          used in notes as $NAME
//   voice NAME instrument=X [pan= gain= octave= start=BAR transpose=] : <notes>
//   comp NAME instrument=X pattern="1.5.3.5." [step=16 octave=3 bars=A-B
//        gate=0.9 vel=0.8 pan= gain=]  chord tones from the harmony:
//        1..9 = tone of the chord counted up from its bass, 0 = the bass an
//        octave lower, x = the whole chord, - = hold, . = nothing
//   drum NAME instrument=X pattern="x...X..o" [step=16 bars=A-B note=c3
//        vel=0.8 pan= gain=]  X accent, x hit, o ghost
//
// Notes: c d e f g a b (+ or # sharp, - flat) with a length (4 = quarter,
// 8 = eighth, 12 = eighth triplet, dots lengthen), r rest, oN octave,
// > up an octave, < down, lN default length, vN velocity 0..127,
// qN gate in eighths of the length, kN transpose, ^len or &len tie,
// (ceg)4 chord, [ ... ]N repeat, $NAME macro, | bar line (ignored).
#pragma once

#include "tools/soundgen/synth.h"

#include <map>
#include <string>
#include <vector>

namespace soundgen {

using InstrumentLibrary = std::map<std::string, Instrument>;

// Reads "instrument" directives of a library file; throws on errors.
void readInstrumentLibrary(const std::string& path, InstrumentLibrary& library);

// Applies one "instrument NAME [base=OTHER] key=value ..." line.
void defineInstrument(const std::string& text, InstrumentLibrary& library);

struct NoteEvent {
    double beat = 0.0;       // start, in beats from bar 1
    double beats = 1.0;      // held length, in beats
    double midi = 60.0;
    double velocity = 1.0;
    int instrument = 0;      // index into Score::instruments
    uint32_t seed = 1;
};

struct RoomSettings {
    double mix = 0.18;
    double size = 0.8;
    double damp = 0.3;
};

struct Score {
    double tempo = 120.0;
    int meter = 4;
    int bars = 0;            // loop length; 0 for one-shot pieces
    double delay = 0.0;
    double length = 0.0;
    double level = -20.0;
    RoomSettings room;
    std::vector<Instrument> instruments;
    std::vector<NoteEvent> events;

    double secondsPerBeat() const { return 60.0 / tempo; }
    double loopBeats() const { return static_cast<double>(bars) * meter; }
};

// Parses a score file; `library` supplies the shared instruments. Throws
// std::runtime_error naming the file and line on any error.
Score readScore(const std::string& path, const InstrumentLibrary& library);

}  // namespace soundgen
