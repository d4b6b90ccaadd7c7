// What the files of the images area share among themselves.
#pragma once

#include "media/images/picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace media::images {

bool GraphicsRunning();

// Text (text.cpp).
void StartText();
void StopText();
void RestoreTextTextures();

// Screenshots (screenshot.cpp).
bool SavePng(const std::string& path, const uint32_t* pixels, int width, int height);
void SaveNumberedScreenshot();

// Loading (load_image.cpp): the whole picture of a file, transparency applied.
// `missing`, when given, is set when the file could not be opened.
int LoadWholeImage(const char* fileName, int flag, bool* missing = nullptr);

// Files up to this size are read whole (and their pictures may be kept in
// the decoded cache); larger ones (a movie showing its first frame) are
// decoded as they are read.
constexpr int64_t kMostReadWhole = 16 * 1024 * 1024;
// The whole of an open file; false when it is larger or cannot be read.
bool ReadWhole(int file, std::vector<uint8_t>& bytes);

// The companion alpha file (alpha_companion.cpp).
std::string CompanionAlphaName(const std::string& fileName);
enum class Companion { None, Read, TooLarge };
// The companion's bytes, read whole, when the file has one.
Companion ReadCompanion(const std::string& fileName, std::vector<uint8_t>& bytes);
// Applies the companion of fileName read from source. False when it does
// not fit the picture (logged); one that cannot be decoded is ignored.
class ByteSource;
bool ApplyCompanion(const std::string& fileName, ByteSource& source, Picture& picture);
// The same, opening the companion itself (for one too large to read whole).
bool ApplyCompanionAlpha(const std::string& fileName, Picture& picture);

}  // namespace media::images
