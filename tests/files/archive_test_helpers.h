// Making files and archives for the file layer's tests.
#pragma once

#include "tools/pack/archive_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace files_test {

std::vector<uint8_t> Bytes(const std::string& text);
void WriteFile(const std::string& path, const std::vector<uint8_t>& data);
void WriteFile(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadFile(const std::string& path);

// A tree for the archive writer: Dir("a", {File("x", "..."), ...}).
pack::PackItem File(const std::string& name, const std::vector<uint8_t>& data);
pack::PackItem File(const std::string& name, const std::string& text);
pack::PackItem Dir(const std::string& name, std::vector<pack::PackItem> children);

std::vector<uint8_t> MakeArchive(const pack::PackItem& root, uint16_t version = 3, bool compress = true);

// The archive with its scrambling removed (or put back), to patch fields.
std::vector<uint8_t> Unscrambled(const std::vector<uint8_t>& archive);
std::vector<uint8_t> Scrambled(const std::vector<uint8_t>& plain);

// Reads everything a file handle gives, in reads of the given size.
std::vector<uint8_t> ReadAll(int handle, size_t chunk = 4096);

// Bytes that do not compress: a simple generator, the same every run.
std::vector<uint8_t> Noise(size_t size, uint32_t seed = 1);

}  // namespace files_test
