// The music of a film: a score of content/music played by the sound
// generator and levelled as the game's music is, made exactly as long as
// the film (the last half second fading out), as 16-bit stereo frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace moviegen {

constexpr int kMusicRate = 44100;

// Throws std::runtime_error naming the score on a fault in it.
std::vector<int16_t> RenderFilmMusic(const std::string& instruments, const std::string& score, double seconds);

}  // namespace moviegen
