// Names as the game writes them: bytes in Shift-JIS, "\" (or "/") between
// components, ASCII letters compared without regard to case. The second byte
// of a double-byte character may look like "\" or a letter; it is neither.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace media::archive {

// True for a byte that starts a Shift-JIS double-byte character.
constexpr bool IsLeadByte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// ASCII letters upper-cased; the second byte of a double-byte character kept.
std::string UpperName(std::string_view name);

// Splits at "\" and "/" that are not the second byte of a double-byte
// character. Empty components (doubled separators) are dropped.
std::vector<std::string> SplitName(std::string_view name);

}  // namespace media::archive
