#include "tools/runner/input_script.h"

#include <charconv>
#include <cstdint>

namespace input_script {

namespace {

constexpr long kMaxTicksPerLine = 1'000'000;
constexpr size_t kMaxScriptTicks = 10'000'000;

struct Word {
    const char* name;
    uint16_t bits;  // replay tick bits
};

constexpr uint16_t kRight = 1, kLeft = 2, kUp = 1 << 2, kDown = 2 << 2;
constexpr uint16_t button(int n) { return static_cast<uint16_t>(1u << (3 + n)); }

constexpr Word kWords[] = {
    {"right", kRight}, {"left", kLeft},     {"up", kUp},
    {"down", kDown},   {"crouch", kDown},   {"cast", button(1)},  {"magic", button(1)},
    {"shoot", button(2)}, {"shot", button(2)}, {"spell", button(3)}, {"pause", button(4)},
    {"walk", 0},       {"wait", 0},         {"hold", 0},
};

struct Token {
    std::string_view text;
    int column;
};

std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> out;
    size_t cut = line.find_first_of(";#");
    if (cut != std::string_view::npos) line = line.substr(0, cut);
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size()) break;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        out.push_back({line.substr(start, i - start), static_cast<int>(start) + 1});
    }
    return out;
}

bool number(std::string_view text, long& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

struct Line {
    std::vector<Token> tokens;
    int lineNo;
};

class Compiler {
public:
    Compiler(std::string_view text, const std::string& file) : file_(file) {
        int lineNo = 1;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            auto tokens = tokenize(text.substr(start, end - start));
            if (!tokens.empty()) lines_.push_back({std::move(tokens), lineNo});
            ++lineNo;
            if (end == text.size()) break;
            start = end + 1;
        }
    }

    Result run() {
        size_t i = 0;
        block(i, 1, false);
        return std::move(result_);
    }

private:
    void error(int line, int column, const std::string& message) {
        result_.errors.push_back(file_ + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message);
    }

    // Runs lines from i until "end" (when nested) or the end of the script,
    // `times` times over.
    void block(size_t& i, long times, bool nested) {
        size_t first = i;
        size_t after = i;
        for (long pass = 0; pass < times; ++pass) {
            i = first;
            bool closed = false;
            while (i < lines_.size()) {
                const Line& line = lines_[i];
                if (line.tokens[0].text == "end") {
                    if (!nested) error(line.lineNo, line.tokens[0].column, "'end' without 'repeat'");
                    closed = true;
                    ++i;
                    break;
                }
                statement(i, pass == 0);
            }
            if (nested && !closed) {
                error(lines_[first - 1].lineNo, 1, "'repeat' without 'end'");
                return;
            }
            after = i;
            if (!result_.errors.empty()) break;
        }
        i = after;
        if (times == 0) skipBlock(i);
    }

    void skipBlock(size_t& i) {
        int depth = 1;
        for (; i < lines_.size(); ++i) {
            std::string_view w = lines_[i].tokens[0].text;
            if (w == "repeat") ++depth;
            if (w == "end" && --depth == 0) {
                ++i;
                return;
            }
        }
    }

    void statement(size_t& i, bool firstPass) {
        const Line& line = lines_[i];
        const auto& t = line.tokens;
        std::string_view word = t[0].text;
        ReplayStart& start = result_.replay.start;
        auto header = [&](auto apply) {
            long v = 0;
            if (t.size() != 2 || !number(t[1].text, v)) {
                error(line.lineNo, t[0].column, "expected '" + std::string(word) + " N'");
            } else if (firstPass) {
                apply(v);
            }
            ++i;
        };
        if (word == "stage") {
            header([&](long v) {
                if (v < 0 || v > 99) error(line.lineNo, t[1].column, "the stage is 0..99");
                start.stage = static_cast<int32_t>(v);
                result_.stageGiven = true;
            });
            return;
        }
        if (word == "charges") {
            header([&](long v) { start.magic = static_cast<int16_t>(v < 0 ? 0 : v > 3 ? 3 : v); });
            return;
        }
        if (word == "no-time-limit") {
            start.noTimeLimit = 1;
            ++i;
            return;
        }
        if (word == "ready") {
            if (t.size() != 1) error(line.lineNo, t[1].column, "'ready' takes nothing after it");
            emit(0, kReadyTicks);
            ++i;
            return;
        }
        if (word == "repeat") {
            long times = 0;
            if (t.size() != 2 || !number(t[1].text, times) || times < 0 || times > kMaxTicksPerLine) {
                error(line.lineNo, t[0].column, "expected 'repeat N'");
                ++i;
                return;
            }
            ++i;
            block(i, times, true);
            return;
        }
        uint16_t bits = 0;
        bool jump = false;
        long count = 1;
        bool counted = false;
        for (const Token& token : t) {
            long v = 0;
            if (number(token.text, v)) {
                if (counted || v < 0 || v > kMaxTicksPerLine) {
                    error(line.lineNo, token.column, "one tick count from 0 to 1000000 per line");
                    ++i;
                    return;
                }
                count = v;
                counted = true;
                continue;
            }
            bool known = false;
            if (token.text == "jump") known = jump = true;
            for (const Word& w : kWords) {
                if (token.text != w.name) continue;
                known = true;
                bits |= w.bits;
            }
            if (!known) {
                error(line.lineNo, token.column, "unknown word '" + std::string(token.text) + "'");
                ++i;
                return;
            }
        }
        if ((bits & 3) == 3 || ((bits >> 2) & 3) == 3 || (jump && (bits & kDown))) {
            error(line.lineNo, t[0].column, "opposite directions on one line");
            ++i;
            return;
        }
        if (jump && count > 0) {
            // Up only on the first tick, so the next line may jump again.
            emit(static_cast<uint16_t>(bits | kUp), 1);
            --count;
        }
        emit(bits, count);
        ++i;
    }

    void emit(uint16_t bits, long count) {
        auto& ticks = result_.replay.ticks;
        if (ticks.size() + static_cast<size_t>(count) > kMaxScriptTicks) {
            if (result_.errors.empty()) result_.errors.push_back(file_ + ": the script runs longer than 10000000 ticks");
            return;
        }
        ticks.insert(ticks.end(), static_cast<size_t>(count), bits);
    }

    std::string file_;
    std::vector<Line> lines_;
    Result result_;
};

}  // namespace

Result compile(std::string_view text, const std::string& fileName) {
    return Compiler(text, fileName).run();
}

}  // namespace input_script
