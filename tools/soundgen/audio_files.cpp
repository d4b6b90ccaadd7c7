#include "tools/soundgen/audio_files.h"

#include "tools/soundgen/synth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace soundgen {

namespace {

int16_t toPcm(float v) {
    const double scaled = std::round(static_cast<double>(v) * 32767.0);
    return static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int b = 0; b < bytes; ++b) out.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
}

// Writes `data` to path through a temporary file in the same folder.
void writeWhole(const std::string& path, const std::string& data) {
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out) throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, target);
}

}  // namespace

void writeMonoWav(const std::string& path, const std::vector<float>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);                // PCM
    putLe(out, 1, 2);                // mono
    putLe(out, kSampleRate, 4);
    putLe(out, kSampleRate * 2, 4);  // bytes per second
    putLe(out, 2, 2);                // block alignment
    putLe(out, 16, 2);               // bits per sample
    out += "data";
    putLe(out, dataBytes, 4);
    for (float v : samples) putLe(out, static_cast<uint16_t>(toPcm(v)), 2);
    writeWhole(path, out);
}

void writeOggVorbis(const std::string& path, const Stereo& sound, double quality) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, kSampleRate, static_cast<float>(quality)) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("the Vorbis encoder refused its settings");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "lumotta soundgen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    // A fixed serial number keeps the output the same from run to run.
    ogg_stream_init(&stream, 0x4C4D5441);

    std::string out;
    ogg_page page;
    ogg_packet packet;
    auto takePages = [&](bool flush) {
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
            out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
        }
    };
    {
        ogg_packet header, headerComment, headerCode;
        vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
        ogg_stream_packetin(&stream, &header);
        ogg_stream_packetin(&stream, &headerComment);
        ogg_stream_packetin(&stream, &headerCode);
        takePages(true);
    }
    auto drain = [&]() {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                takePages(false);
            }
        }
    };
    constexpr size_t kChunk = 4096;
    for (size_t at = 0; at < sound.size(); at += kChunk) {
        const size_t n = std::min(kChunk, sound.size() - at);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        std::copy_n(sound.left.begin() + static_cast<std::ptrdiff_t>(at), n, buffer[0]);
        std::copy_n(sound.right.begin() + static_cast<std::ptrdiff_t>(at), n, buffer[1]);
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    takePages(true);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    writeWhole(path, out);
}

}  // namespace soundgen
