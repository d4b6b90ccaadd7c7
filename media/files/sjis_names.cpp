#include "media/files/sjis_names.h"

namespace media::archive {

std::string UpperName(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<uint8_t>(out[i]);
        if (IsLeadByte(c)) {
            ++i;  // the trail byte stays as it is
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::vector<std::string> SplitName(std::string_view name) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<uint8_t>(name[i]);
        if (IsLeadByte(c) && i + 1 < name.size()) {
            current += name[i];
            current += name[++i];
        } else if (c == '\\' || c == '/') {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current += name[i];
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

}  // namespace media::archive
