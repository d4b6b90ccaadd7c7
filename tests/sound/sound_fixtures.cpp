#include "tests/sound/sound_fixtures.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numbers>
#include <stdexcept>

namespace sound_fixtures {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> RiffWave(const std::vector<Chunk>& chunks) {
    std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        body.insert(body.end(), c.id.begin(), c.id.end());
        Put32(body, static_cast<uint32_t>(c.bytes.size()));
        body.insert(body.end(), c.bytes.begin(), c.bytes.end());
        if (c.pad && (c.bytes.size() & 1)) body.push_back(0);
    }
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Chunk FormatChunk(uint16_t tag, int channels, int rate, int bits, int blockAlign) {
    Chunk c{"fmt ", {}};
    Put16(c.bytes, tag);
    Put16(c.bytes, static_cast<uint32_t>(channels));
    Put32(c.bytes, static_cast<uint32_t>(rate));
    Put32(c.bytes, static_cast<uint32_t>(rate) * static_cast<uint32_t>(blockAlign));
    Put16(c.bytes, static_cast<uint32_t>(blockAlign));
    Put16(c.bytes, static_cast<uint32_t>(bits));
    return c;
}

Chunk ExtensibleChunk(uint16_t subTag, int channels, int rate, int containerBits, int validBits,
                      uint32_t speakerMask) {
    const int blockAlign = channels * containerBits / 8;
    Chunk c = FormatChunk(0xFFFE, channels, rate, containerBits, blockAlign);
    Put16(c.bytes, 22);
    Put16(c.bytes, static_cast<uint32_t>(validBits));
    Put32(c.bytes, speakerMask != 0 ? speakerMask : channels == 2 ? 3 : 4);
    Put16(c.bytes, subTag);
    const uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    c.bytes.insert(c.bytes.end(), tail, tail + 14);
    return c;
}

Chunk DataChunk(const std::vector<int16_t>& samples) {
    Chunk c{"data", {}};
    for (int16_t s : samples) Put16(c.bytes, static_cast<uint16_t>(s));
    return c;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void WriteWav16(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate) {
    WriteBytes(path, RiffWave({FormatChunk(1, channels, rate, 16, channels * 2), DataChunk(samples)}));
}

std::vector<uint8_t> OggBytes(const std::vector<int16_t>& samples, int channels, int rate, int serial) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.3f) != 0) throw std::runtime_error("vorbisenc init");
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    std::vector<uint8_t> out;
    const auto write = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) write(page);
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    size_t at = 0;
    bool done = false;
    while (!done) {
        const size_t n = std::min<size_t>(4096, frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = samples[(at + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] / 32768.0f;
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    write(page);
                    if (ogg_page_eos(&page)) done = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

void WriteOgg(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate) {
    WriteBytes(path, OggBytes(samples, channels, rate));
}

std::vector<int16_t> DecodeOggReference(const std::string& path, int* channels) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) throw std::runtime_error("cannot decode " + path);
    if (channels) *channels = ov_info(&vf, -1)->channels;
    std::vector<int16_t> out;
    char buffer[4096];
    int link;
    long got;
    while ((got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &link)) > 0) {
        const auto* s = reinterpret_cast<const int16_t*>(buffer);
        out.insert(out.end(), s, s + got / 2);
    }
    ov_clear(&vf);
    return out;
}

std::vector<int16_t> Sine(double frequency, int rate, int frames, int channels, double amplitude) {
    std::vector<int16_t> out(static_cast<size_t>(frames * channels));
    for (int i = 0; i < frames; ++i) {
        const double v = amplitude * 32767.0 * std::sin(2.0 * std::numbers::pi * frequency * i / rate);
        for (int c = 0; c < channels; ++c) out[static_cast<size_t>(i * channels + c)] = static_cast<int16_t>(std::lround(v));
    }
    return out;
}

std::vector<int16_t> Chord(int rate, int frames, int channels) {
    std::vector<int16_t> out(static_cast<size_t>(frames * channels));
    const double notes[] = {220.0, 277.18, 329.63, 440.0};
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int c = 0; c < channels; ++c) {
            double v = 0.0;
            for (int n = 0; n < 4; ++n) v += 0.15 * std::sin(2.0 * std::numbers::pi * notes[n] * (1.0 + 0.003 * c) * t + n);
            v *= 0.6 + 0.4 * std::sin(2.0 * std::numbers::pi * 0.5 * t);
            out[static_cast<size_t>(i * channels + c)] = static_cast<int16_t>(std::lround(v * 32767.0));
        }
    }
    return out;
}

}  // namespace sound_fixtures
