// Writes starting inputs for the fuzz targets: plain forms of small
// archives of every version, and compressed streams.
#include "media/files/scramble_key.h"
#include "tools/pack/archive_writer.h"
#include "tools/pack/compressor.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& data) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}

pack::PackItem Item(const std::string& name, const std::string& text) {
    pack::PackItem item;
    item.name = name;
    item.data.assign(text.begin(), text.end());
    return item;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds ARCHIVE_DIR EXPANDER_DIR\n");
        return 2;
    }
    const std::string archives = argv[1], streams = argv[2];
    std::string text;
    for (int i = 0; i < 40; ++i) text += "stage " + std::to_string(i % 7) + " block pattern\n";
    pack::PackItem root;
    root.directory = true;
    pack::PackItem sub;
    sub.name = "Sub";
    sub.directory = true;
    sub.children = {Item("deep.txt", text), Item("\x83\x5C.bmp", "so")};
    root.children = {Item("A.TXT", "hello"), Item("empty", ""), sub, Item("runs", std::string(3000, 'r') + text)};
    for (uint16_t version = 0; version <= 3; ++version) {
        for (bool compress : {false, true}) {
            pack::PackOptions options;
            options.version = version;
            options.compress = compress;
            std::vector<uint8_t> out;
            std::string error;
            if (!pack::WriteArchiveMemory(root, options, out, error)) return 1;
            media::archive::Scrambler(media::archive::BuildKey()).Apply(out.data(), out.size(), 0);
            Save(archives + "/v" + std::to_string(version) + (compress ? "c" : "s"), out);
        }
    }
    const std::string samples[] = {text, std::string(5000, 'x'), "abcabcabcabcabcabc", std::string(1, '\0')};
    int n = 0;
    for (const std::string& s : samples) {
        std::vector<uint8_t> packed = pack::Compress(reinterpret_cast<const uint8_t*>(s.data()), s.size());
        packed.insert(packed.begin(), 0);   // mode: expand
        Save(streams + "/stream" + std::to_string(n), packed);
        std::vector<uint8_t> raw(s.begin(), s.end());
        raw.insert(raw.begin(), 0x21);      // mode: round trip
        Save(streams + "/data" + std::to_string(n++), raw);
    }
    return 0;
}
