// What the files of the images area share among themselves.
#pragma once

#include "media/images/picture.h"

#include <string>

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
int LoadWholeImage(const char* fileName, bool* missing = nullptr);

// The companion alpha file (alpha_companion.cpp).
std::string CompanionAlphaName(const std::string& fileName);
// False when the companion exists but does not fit the picture.
bool ApplyCompanionAlpha(const std::string& fileName, Picture& picture);

}  // namespace media::images
