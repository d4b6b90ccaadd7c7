// The lines of a solution script a player could have played differently: its
// command lines (not `ready`, `stage`, `charges`, `no-time-limit`, `repeat`,
// `end`, comments or blank lines), and the script with one of them changed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace report {

struct CommandLine {
    int lineNo = 0;      // 1-based line of the script
    std::string text;    // the line without its comment, trimmed
    long count = 1;      // ticks the line holds its inputs (1 when not written)
};

std::vector<CommandLine> commandLines(std::string_view script);

// The script with `line` (a 1-based line number) put in as a line of its own
// before line `lineNo`.
std::string insertLineBefore(std::string_view script, int lineNo, std::string_view line);

// The script with the tick count of command line `lineNo` set to `count`
// (written in when the line had none).
std::string withCount(std::string_view script, int lineNo, long count);

}  // namespace report
