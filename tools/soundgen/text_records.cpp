#include "tools/soundgen/text_records.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace soundgen {

std::string trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::vector<Directive> readDirectives(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<Directive> directives;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        const bool continues = !line.empty() && std::isspace(static_cast<unsigned char>(line[0]));
        const std::string text = trim(line);
        if (text.empty()) continue;
        if (continues && !directives.empty()) {
            directives.back().rest += " " + text;
            continue;
        }
        Directive d;
        const size_t space = text.find_first_of(" \t");
        d.name = text.substr(0, space);
        d.rest = space == std::string::npos ? "" : trim(text.substr(space));
        d.where = path + ":" + std::to_string(number);
        directives.push_back(std::move(d));
    }
    return directives;
}

std::vector<std::pair<std::string, std::string>> splitSettings(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i >= text.size()) break;
        size_t keyEnd = i;
        while (keyEnd < text.size() && text[keyEnd] != '=' && !std::isspace(static_cast<unsigned char>(text[keyEnd])))
            ++keyEnd;
        std::string key = text.substr(i, keyEnd - i);
        std::string value;
        i = keyEnd;
        if (i < text.size() && text[i] == '=') {
            ++i;
            if (i < text.size() && text[i] == '"') {
                const size_t close = text.find('"', i + 1);
                if (close == std::string::npos) throw std::runtime_error("unclosed quote after " + key + "=");
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                size_t end = i;
                while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
                value = text.substr(i, end - i);
                i = end;
            }
        }
        out.emplace_back(std::move(key), std::move(value));
    }
    return out;
}

std::vector<std::string> splitList(const std::string& text, char separator) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(separator, start);
        const std::string part = trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (!part.empty()) out.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

double parseNumber(const std::string& text, double low, double high) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
        throw std::runtime_error("not a number: \"" + text + "\"");
    if (value < low || value > high)
        throw std::runtime_error("\"" + text + "\" is outside " + std::to_string(low) + ".." + std::to_string(high));
    return value;
}

int parseNoteName(const std::string& text) {
    static constexpr int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (text.empty()) throw std::runtime_error("empty note name");
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    if (letter < 'a' || letter > 'g') throw std::runtime_error("not a note: \"" + text + "\"");
    int semitone = kSteps[letter - 'a'];
    size_t i = 1;
    for (; i < text.size() && (text[i] == '#' || text[i] == '+' || text[i] == 'b' || text[i] == '-'); ++i)
        semitone += (text[i] == '#' || text[i] == '+') ? 1 : -1;
    const int octave = static_cast<int>(parseNumber(text.substr(i), -1, 9));
    return 12 * (octave + 1) + semitone;
}

double midiToFrequency(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

double parseFrequency(const std::string& text) {
    if (!text.empty() && std::isalpha(static_cast<unsigned char>(text[0]))) return midiToFrequency(parseNoteName(text));
    return parseNumber(text, 1.0, 22050.0);
}

}  // namespace soundgen
