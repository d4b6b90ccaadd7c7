#include "game/shell/user_settings.h"

#include "game/shell/file_writing.h"
#include "media/media.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace {

constexpr size_t kLargestFile = 64 * 1024;  // a few lines; anything larger is not ours
constexpr int kLargestWindowSide = 32768;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool readInt(std::string_view text, int& value) {
    text = trimmed(text);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool readYesNo(std::string_view text, bool& value) {
    if (text == "yes" || text == "1" || text == "on") return value = true, true;
    if (text == "no" || text == "0" || text == "off") return value = false, true;
    return false;
}

// x,y,width,height with a usable size.
bool readWindow(std::string_view text, UserSettings& s) {
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (i == 3)) return false;
        if (!readInt(text.substr(0, comma), numbers[i])) return false;
        if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
    }
    if (numbers[2] < 1 || numbers[3] < 1 || numbers[2] > kLargestWindowSide || numbers[3] > kLargestWindowSide)
        return false;
    s.windowKnown = true;
    s.windowX = numbers[0];
    s.windowY = numbers[1];
    s.windowWidth = numbers[2];
    s.windowHeight = numbers[3];
    return true;
}

// One "name = value" line; false when it cannot be used.
bool applyLine(std::string_view name, std::string_view value, UserSettings& s) {
    if (name == "scaling") {
        if (value == "smooth") return s.scaling = kScalingSmooth, true;
        if (value == "sharp") return s.scaling = kScalingSharp, true;
        return false;
    }
    if (name == "volume") {
        int volume = 0;
        if (!readInt(value, volume) || volume < 0 || volume > 100) return false;
        s.volume = volume;
        return true;
    }
    if (name == "muted") return readYesNo(value, s.muted);
    if (name == "window") return readWindow(value, s);
    return false;
}

}  // namespace

UserSettings parseUserSettings(const std::string& text, std::vector<std::string>& problems) {
    UserSettings settings;
    std::string_view rest(text);
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (const size_t comment = line.find_first_of("#;"); comment != std::string_view::npos)
            line = line.substr(0, comment);
        line = trimmed(line);
        if (line.empty()) continue;
        const size_t equals = line.find('=');
        const std::string_view name = trimmed(line.substr(0, equals));
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : trimmed(line.substr(equals + 1));
        UserSettings tried = settings;
        if (equals != std::string_view::npos && applyLine(name, value, tried)) {
            settings = tried;
        } else {
            problems.push_back("line " + std::to_string(lineNumber) + ": \"" + std::string(line) +
                               "\" is not understood and is left out");
        }
    }
    return settings;
}

std::string formatUserSettings(const UserSettings& s) {
    std::string text =
        "# Lumotta's own settings (the game's are in 01/K.dat). Written when the game ends.\n"
        "# scaling: smooth (the largest fit) or sharp (whole multiples, black bars)\n";
    text += std::string("scaling = ") + (s.scaling == kScalingSharp ? "sharp" : "smooth") + "\n";
    text += "volume = " + std::to_string(s.volume) + "\n";
    text += std::string("muted = ") + (s.muted ? "yes" : "no") + "\n";
    if (s.windowKnown)
        text += "window = " + std::to_string(s.windowX) + "," + std::to_string(s.windowY) + "," +
                std::to_string(s.windowWidth) + "," + std::to_string(s.windowHeight) + "\n";
    return text;
}

std::string userSettingsPath(const std::string& folder) {
    return folder.empty() ? std::string("lumotta.ini") : folder + "/lumotta.ini";
}

UserSettings readUserSettings(const std::string& path, std::vector<std::string>& problems) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return UserSettings{};
    std::string text(kLargestFile + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
    if (text.size() > kLargestFile) {
        problems.push_back(path + " is larger than a settings file can be; it is left out");
        return UserSettings{};
    }
    std::vector<std::string> found;
    UserSettings settings = parseUserSettings(text, found);
    for (const std::string& problem : found) problems.push_back(path + ", " + problem);
    return settings;
}

bool writeUserSettings(const std::string& path, const UserSettings& settings) {
    const std::string text = formatUserSettings(settings);
    std::string reason;
    if (replaceFile(path, text.data(), text.size(), reason)) return true;
    reportFailedWrite("lumotta.ini", path, reason);
    return false;
}
