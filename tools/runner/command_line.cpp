#include "tools/runner/command_line.h"

#include <cstdlib>

namespace tool_options {

bool readNumber(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end && !*end && end != text;
}

std::string defaultDataDir() {
    if (const char* env = std::getenv("LUMOTTA_DATA_DIR")) return env;
    return LUMOTTA_BUILD_DATA_DIR;
}

}  // namespace tool_options
