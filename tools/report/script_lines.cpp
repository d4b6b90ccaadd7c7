#include "tools/report/script_lines.h"

#include <charconv>

namespace report {

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += '\n';
        out += lines[i];
    }
    return out;
}

// The line before its comment, without the spaces around it.
std::string_view code(std::string_view line) {
    size_t cut = line.find_first_of(";#");
    if (cut != std::string_view::npos) line = line.substr(0, cut);
    const char* blanks = " \t\r";
    size_t first = line.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = line.find_last_not_of(blanks);
    return line.substr(first, last - first + 1);
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

bool number(std::string_view text, long& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool isCommand(std::string_view first) {
    for (std::string_view w : {"ready", "stage", "charges", "no-time-limit", "repeat", "end"})
        if (first == w) return false;
    return true;
}

}  // namespace

std::vector<CommandLine> commandLines(std::string_view script) {
    std::vector<CommandLine> out;
    auto lines = splitLines(script);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view c = code(lines[i]);
        auto w = words(c);
        if (w.empty() || !isCommand(w[0])) continue;
        CommandLine line;
        line.lineNo = static_cast<int>(i) + 1;
        line.text = std::string(c);
        for (std::string_view token : w) {
            long v = 0;
            if (number(token, v)) line.count = v;
        }
        out.push_back(std::move(line));
    }
    return out;
}

std::string insertLineBefore(std::string_view script, int lineNo, std::string_view line) {
    std::vector<std::string> out;
    auto lines = splitLines(script);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (static_cast<int>(i) + 1 == lineNo) out.emplace_back(line);
        out.emplace_back(lines[i]);
    }
    return joinLines(out);
}

std::string withCount(std::string_view script, int lineNo, long count) {
    std::vector<std::string> out;
    auto lines = splitLines(script);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (static_cast<int>(i) + 1 != lineNo) {
            out.emplace_back(lines[i]);
            continue;
        }
        std::string written;
        bool counted = false;
        for (std::string_view token : words(code(lines[i]))) {
            long v = 0;
            if (!written.empty()) written += ' ';
            if (number(token, v)) {
                written += std::to_string(count);
                counted = true;
            } else {
                written += token;
            }
        }
        if (!counted) written += ' ' + std::to_string(count);
        out.push_back(written);
    }
    return joinLines(out);
}

}  // namespace report
