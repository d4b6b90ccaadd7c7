// Writing the generated sound: 16-bit PCM WAV for effects, Ogg Vorbis for
// music. Both write to a temporary name and rename it into place, so a
// failed run never leaves half a file behind.
#pragma once

#include "tools/soundgen/render.h"

#include <string>
#include <vector>

namespace soundgen {

// Throws std::runtime_error when the file cannot be written.
void writeMonoWav(const std::string& path, const std::vector<float>& samples);
void writeOggVorbis(const std::string& path, const Stereo& sound, double quality);

}  // namespace soundgen
