#include "tests/files/archive_test_helpers.h"

#include "media/files/scramble_key.h"
#include "media/media.h"

#include <fstream>
#include <iterator>

namespace files_test {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void WriteFile(const std::string& path, const std::string& text) { WriteFile(path, Bytes(text)); }

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

pack::PackItem File(const std::string& name, const std::vector<uint8_t>& data) {
    pack::PackItem item;
    item.name = name;
    item.data = data;
    return item;
}

pack::PackItem File(const std::string& name, const std::string& text) { return File(name, Bytes(text)); }

pack::PackItem Dir(const std::string& name, std::vector<pack::PackItem> children) {
    pack::PackItem item;
    item.name = name;
    item.directory = true;
    item.children = std::move(children);
    return item;
}

std::vector<uint8_t> MakeArchive(const pack::PackItem& root, uint16_t version, bool compress) {
    pack::PackOptions options;
    options.version = version;
    options.compress = compress;
    std::vector<uint8_t> out;
    std::string error;
    if (!pack::WriteArchiveMemory(root, options, out, error)) return {};
    return out;
}

std::vector<uint8_t> Unscrambled(const std::vector<uint8_t>& archive) {
    std::vector<uint8_t> plain = archive;
    media::archive::Scrambler(media::archive::BuildKey()).Apply(plain.data(), plain.size(), 0);
    return plain;
}

std::vector<uint8_t> Scrambled(const std::vector<uint8_t>& plain) { return Unscrambled(plain); }

std::vector<uint8_t> ReadAll(int handle, size_t chunk) {
    std::vector<uint8_t> out, buffer(chunk);
    for (;;) {
        const size_t got = FileRead(buffer.data(), 1, buffer.size(), handle);
        out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<long>(got));
        if (got < buffer.size()) return out;
    }
}

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x >> 24);
    }
    return out;
}

}  // namespace files_test
