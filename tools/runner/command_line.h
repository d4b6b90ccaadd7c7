// What the stage tools' command lines share: numbers and the data folder.
#pragma once

#include <string>

namespace tool_options {

// A whole decimal number and nothing else.
bool readNumber(const char* text, long& out);

// LUMOTTA_DATA_DIR when set, otherwise the data folder of this build.
std::string defaultDataDir();

}  // namespace tool_options
