#include "tests/content_sounds/sound_files.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sound_files {

namespace {

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::vector<float> Pcm::channel(int index) const {
    std::vector<float> out;
    if (channels <= 0 || index >= channels) return out;
    out.reserve(frames());
    for (size_t i = static_cast<size_t>(index); i < samples.size(); i += static_cast<size_t>(channels))
        out.push_back(static_cast<float>(samples[i]) / 32768.0f);
    return out;
}

Pcm readWav(const std::string& path) {
    Pcm pcm;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        pcm.error = "cannot open";
        return pcm;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        pcm.error = "not RIFF/WAVE";
        return pcm;
    }
    if (le32(bytes, 4) != bytes.size() - 8) {
        pcm.error = "RIFF size does not match the file";
        return pcm;
    }
    bool haveFormat = false, haveData = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = le32(bytes, at + 4);
        const size_t body = at + 8;
        if (size > bytes.size() - body) {
            pcm.error = "chunk runs past the end";
            return pcm;
        }
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            pcm.formatTag = le16(bytes, body);
            pcm.channels = le16(bytes, body + 2);
            pcm.sampleRate = static_cast<int>(le32(bytes, body + 4));
            pcm.bytesPerSecond = static_cast<int>(le32(bytes, body + 8));
            pcm.blockAlign = le16(bytes, body + 12);
            pcm.bitsPerSample = le16(bytes, body + 14);
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!haveFormat || pcm.bitsPerSample != 16 || size % 2 != 0) {
                pcm.error = "data without a 16-bit format before it";
                return pcm;
            }
            pcm.samples.resize(size / 2);
            for (size_t i = 0; i < pcm.samples.size(); ++i)
                pcm.samples[i] = static_cast<int16_t>(le16(bytes, body + 2 * i));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) pcm.error = "fmt or data chunk missing";
    return pcm;
}

Pcm readOgg(const std::string& path) {
    Pcm pcm;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        pcm.error = "not Ogg Vorbis";
        return pcm;
    }
    const vorbis_info* info = ov_info(&file, -1);
    pcm.formatTag = 1;
    pcm.channels = info->channels;
    pcm.sampleRate = static_cast<int>(info->rate);
    pcm.bitsPerSample = 16;
    pcm.blockAlign = 2 * info->channels;
    pcm.bytesPerSecond = pcm.blockAlign * pcm.sampleRate;
    const ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0) pcm.samples.reserve(static_cast<size_t>(total) * static_cast<size_t>(pcm.channels));
    char buffer[4096];
    int section = 0;
    for (;;) {
        const long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got < 0) {
            pcm.error = "decoding error";
            break;
        }
        if (got == 0) break;
        for (long i = 0; i + 1 < got; i += 2) {
            int16_t v;
            std::memcpy(&v, buffer + i, 2);
            pcm.samples.push_back(v);
        }
    }
    if (pcm.error.empty() && total >= 0 && static_cast<ogg_int64_t>(pcm.frames()) != total)
        pcm.error = "decoded length differs from the stream's stated length";
    ov_clear(&file);
    return pcm;
}

double loudestWindow(const std::vector<float>& samples) {
    const size_t window = 2205;  // 50 ms at 44.1 kHz
    double sum = 0.0, best = 0.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
        if (i >= window) sum -= static_cast<double>(samples[i - window]) * samples[i - window];
        best = std::max(best, std::sqrt(std::max(sum, 0.0) / window));
    }
    return best;
}

double peak(const std::vector<float>& samples) {
    double p = 0.0;
    for (float v : samples) p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

double rms(const std::vector<float>& samples) {
    if (samples.empty()) return 0.0;
    double sum = 0.0;
    for (float v : samples) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

}  // namespace sound_files
