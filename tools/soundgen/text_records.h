// The small text format shared by the sound records, the instrument library
// and the scores: one directive per line, "#" starts a comment, a line that
// begins with white space continues the line before it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace soundgen {

struct Directive {
    std::string name;   // first word
    std::string rest;   // everything after it, trimmed
    std::string where;  // "file:line" for messages
};

// Reads a record file into directives; throws std::runtime_error when the
// file cannot be read.
std::vector<Directive> readDirectives(const std::string& path);

// Splits "key=value key2="quoted value" word" into pairs; a bare word has
// an empty value.
std::vector<std::pair<std::string, std::string>> splitSettings(const std::string& text);

std::vector<std::string> splitList(const std::string& text, char separator);
std::string trim(const std::string& text);

// A number within [low, high]; throws with a readable message otherwise.
double parseNumber(const std::string& text, double low, double high);

// A MIDI note number from a name such as "c4", "F#5", "bb3" (c4 = 60).
int parseNoteName(const std::string& text);
double midiToFrequency(double midi);

// "440" (Hz) or a note name.
double parseFrequency(const std::string& text);

}  // namespace soundgen
