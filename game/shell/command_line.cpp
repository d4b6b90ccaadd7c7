#include "game/shell/command_line.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#ifndef LUMOTTA_VERSION
#define LUMOTTA_VERSION "0"
#endif

namespace {

constexpr double kMaxScale = 16.0;

enum class Takes { Nothing, Value };

struct OptionName {
    const char* name;
    Takes takes;
};

constexpr OptionName kOptions[] = {
    {"--help", Takes::Nothing},     {"-h", Takes::Nothing},        {"--version", Takes::Nothing},
    {"--windowed", Takes::Nothing}, {"--fullscreen", Takes::Nothing}, {"--data", Takes::Value},
    {"--scale", Takes::Value},      {"--record", Takes::Value},    {"--replay", Takes::Value},
};

const OptionName* findOption(const std::string& name) {
    for (const OptionName& option : kOptions)
        if (name == option.name) return &option;
    return nullptr;
}

bool readScale(const std::string& text, double& scale) {
    char* end = nullptr;
    scale = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && std::isfinite(scale) && scale >= 0.25 && scale <= kMaxScale;
}

bool apply(const std::string& name, const std::string& value, CommandLine& out, std::string& error) {
    if (name == "--help" || name == "-h") out.help = true;
    else if (name == "--version") out.version = true;
    else if (name == "--windowed") out.windowed = 1;
    else if (name == "--fullscreen") out.windowed = 0;
    else if (name == "--data") out.dataFolder = value;
    else if (name == "--record") out.recordFolder = value;
    else if (name == "--replay") out.replayFile = value;
    else if (name == "--scale" && !readScale(value, out.scale)) {
        error = "--scale takes a number from 0.25 to 16, not \"" + value + "\"";
        return false;
    }
    if (value.empty() && findOption(name)->takes == Takes::Value && error.empty()) {
        error = name + " needs a value";
        return false;
    }
    return true;
}

}  // namespace

bool parseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
    out = CommandLine{};
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i] ? argv[i] : "";
        std::string value;
        bool valueGiven = false;
        if (const size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            valueGiven = true;
        }
        const OptionName* option = findOption(name);
        if (!option) {
            error = "unknown option \"" + name + "\"";
            return false;
        }
        if (option->takes == Takes::Nothing && valueGiven) {
            error = name + " takes no value";
            return false;
        }
        if (option->takes == Takes::Value && !valueGiven) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!apply(name, value, out, error)) return false;
    }
    if (!out.recordFolder.empty() && !out.replayFile.empty()) {
        error = "--record and --replay cannot be used together";
        return false;
    }
    return true;
}

std::string usageText() {
    return "Usage: lumotta [OPTION]...\n"
           "A 2D action-puzzle platform game: 51 one-screen stages of blocks, magic and keys.\n"
           "\n"
           "  --data DIR       play the game data in DIR (folders 00 to 26, or their .lmt archives)\n"
           "  --windowed       start in a window (the setting is kept, as in Settings)\n"
           "  --fullscreen     start in full screen (likewise kept)\n"
           "  --scale N        make the window N times 640x480 (0.25 to 16, e.g. 2 or 1.5)\n"
           "  --record DIR     record a replay of every stage played into DIR (NN-K.rep)\n"
           "  --replay FILE    watch a recorded replay, then end\n"
           "  -h, --help       show this help and end\n"
           "  --version        show the version and end\n"
           "\n"
           "Keys: cursor keys move, Z magic, X shoot, C big spell, A pause, Escape quits;\n"
           "F1 shows every key. Alt+Enter or F11 switch full screen; - and + set the\n"
           "volume, M mutes.\n"
           "\n"
           "The saved files, lumotta.ini, Log.txt and screenshots are kept beside the\n"
           "data when that folder may be written, else in $XDG_DATA_HOME/lumotta\n"
           "(~/.local/share/lumotta), with Log.txt in $XDG_STATE_HOME/lumotta\n"
           "(~/.local/state/lumotta).\n"
           "\n"
           "Exit status: 0 after a normal run, 1 when a file could not be saved,\n"
           "2 for a bad command line, 255 when the game could not start.\n";
}

std::string versionText() { return std::string("Lumotta ") + LUMOTTA_VERSION + "\n"; }
