// RIFF/WAVE: integer PCM of 1 to 32 bits in containers of 1 to 4 bytes,
// 32- and 64-bit float, EXTENSIBLE headers, chunks in any order with or
// without their padding byte. Compressed data (A-law, mu-law, MS and IMA
// ADPCM) goes through SDL's WAV loader and is decoded whole.
#include "media/core/little_endian.h"
#include "media/sound/decoder.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace media::sound {
namespace {

constexpr uint16_t kTagPcm = 0x0001;
constexpr uint16_t kTagMsAdpcm = 0x0002;
constexpr uint16_t kTagFloat = 0x0003;
constexpr uint16_t kTagALaw = 0x0006;
constexpr uint16_t kTagMuLaw = 0x0007;
constexpr uint16_t kTagImaAdpcm = 0x0011;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The tail every EXTENSIBLE sub-format GUID shares after its 16-bit tag.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr int kMaxChunks = 4096;


bool PlausibleChunkId(const uint8_t* id) {
    for (int i = 0; i < 4; ++i)
        if (id[i] < 0x20 || id[i] > 0x7E) return false;
    return true;
}

struct WavLayout {
    bool haveFormat = false;
    bool haveData = false;
    uint16_t tag = 0;
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
    uint32_t speakerMask = 0;   // EXTENSIBLE only
    int64_t dataOffset = 0;
    int64_t dataBytes = 0;
};

bool ParseFormat(const uint8_t* f, uint32_t size, WavLayout& layout, std::string& why) {
    if (size < 14) {
        why = "format chunk too short";
        return false;
    }
    layout.tag = Le16(f);
    layout.channels = Le16(f + 2);
    layout.rate = static_cast<int>(std::min<uint32_t>(Le32(f + 4), 0x7FFFFFFF));
    layout.blockAlign = Le16(f + 12);
    layout.bits = size >= 16 ? Le16(f + 14) : 8;
    if (layout.tag == kTagExtensible) {
        if (size < 40) {
            why = "EXTENSIBLE format chunk too short";
            return false;
        }
        if (std::memcmp(f + 26, kGuidTail, sizeof kGuidTail) != 0) {
            why = "unknown EXTENSIBLE sub-format";
            return false;
        }
        layout.speakerMask = Le32(f + 20);
        layout.tag = Le16(f + 24);
    }
    layout.haveFormat = true;
    return true;
}

// Walks the chunks; fmt and data may come in either order.
bool ParseLayout(ByteSource& source, WavLayout& layout, std::string& why) {
    const int64_t fileSize = source.Size();
    int64_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        uint8_t header[8];
        if (!source.Seek(at, 0) || source.Read(header, 8) != 8) break;
        if (!PlausibleChunkId(header) && (at & 1) == 0) {
            // A writer that left out the padding byte after an odd-sized chunk.
            uint8_t shifted[8];
            if (source.Seek(at - 1, 0) && source.Read(shifted, 8) == 8 && PlausibleChunkId(shifted)) {
                --at;
                std::memcpy(header, shifted, 8);
            } else {
                break;
            }
        }
        const uint32_t size = Le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0 && !layout.haveFormat) {
            uint8_t f[40] = {};
            const uint32_t want = std::min<uint32_t>(size, sizeof f);
            if (source.Read(f, want) != want) {
                why = "format chunk cut short";
                return false;
            }
            if (!ParseFormat(f, want, layout, why)) return false;
        } else if (std::memcmp(header, "data", 4) == 0 && !layout.haveData) {
            layout.haveData = true;
            layout.dataOffset = at + 8;
            layout.dataBytes = size;
            // A data chunk that claims more than the file holds is cut to what is there.
            if (fileSize >= 0) layout.dataBytes = std::min<int64_t>(size, std::max<int64_t>(0, fileSize - at - 8));
        }
        if (layout.haveFormat && layout.haveData) return true;
        at += 8 + static_cast<int64_t>(size) + (size & 1);
        if (fileSize >= 0 && at >= fileSize) break;
    }
    why = layout.haveFormat ? "no data chunk" : "no format chunk";
    return false;
}

// Integer or float PCM, decoded piece by piece from the source.
class WavPcmDecoder final : public Decoder {
public:
    WavPcmDecoder(std::unique_ptr<ByteSource> source, const WavLayout& layout, int containerBytes)
        : source_(std::move(source)), layout_(layout), container_(containerBytes) {
        fileChannels_ = layout.channels;
        channels_ = std::min(fileChannels_, 2);
        rate_ = layout.rate;
        frameBytes_ = container_ * fileChannels_;
        totalFrames_ = layout.dataBytes / frameBytes_;
        raw_.resize(static_cast<size_t>(kPiece * frameBytes_));
        order_ = WavChannelOrder(fileChannels_, layout.speakerMask);
        if (fileChannels_ > 2) wide_.resize(static_cast<size_t>(kPiece * fileChannels_));
        Seek(0);
    }

    size_t Read(int16_t* out, size_t frames) override {
        size_t done = 0;
        while (done < frames && position_ < totalFrames_) {
            const int64_t want = std::min<int64_t>({static_cast<int64_t>(frames - done), kPiece,
                                                    totalFrames_ - position_});
            const size_t got = source_->Read(raw_.data(), static_cast<size_t>(want * frameBytes_)) /
                               static_cast<size_t>(frameBytes_);
            int16_t* target = fileChannels_ > 2 ? wide_.data() : out + done * channels_;
            Convert(raw_.data(), got * fileChannels_, target);
            if (fileChannels_ > 2) FoldToStereo(wide_.data(), order_, got, out + done * 2);
            done += got;
            position_ += static_cast<int64_t>(got);
            if (got < static_cast<size_t>(want)) {
                totalFrames_ = position_;  // the file ended early
                break;
            }
        }
        return done;
    }

    int64_t TotalFrames() override { return totalFrames_; }

    bool Seek(int64_t frame) override {
        if (frame < 0 || frame > totalFrames_) return false;
        if (!source_->Seek(layout_.dataOffset + frame * frameBytes_, 0)) return false;
        position_ = frame;
        return true;
    }

private:
    static constexpr int64_t kPiece = 1024;

    void Convert(const uint8_t* in, size_t samples, int16_t* out) const {
        if (layout_.tag == kTagFloat) {
            for (size_t i = 0; i < samples; ++i) {
                double v;
                if (container_ == 4) {
                    float f;
                    std::memcpy(&f, in + i * 4, 4);
                    v = f;
                } else {
                    std::memcpy(&v, in + i * 8, 8);
                }
                if (!(v == v)) v = 0.0;  // NaN
                out[i] = static_cast<int16_t>(std::lround(std::clamp(v * 32768.0, -32768.0, 32767.0)));
            }
            return;
        }
        for (size_t i = 0; i < samples; ++i) {
            const uint8_t* s = in + i * static_cast<size_t>(container_);
            switch (container_) {
            case 1: out[i] = static_cast<int16_t>((s[0] - 128) * 256); break;
            case 2: out[i] = static_cast<int16_t>(Le16(s)); break;
            // The top two bytes of a little-endian sample are its 16 most significant bits.
            case 3: out[i] = static_cast<int16_t>(Le16(s + 1)); break;
            default: out[i] = static_cast<int16_t>(Le16(s + 2)); break;
            }
        }
    }

    std::unique_ptr<ByteSource> source_;
    WavLayout layout_;
    int container_;
    int fileChannels_ = 0;
    ChannelOrder order_;
    int frameBytes_ = 0;
    int64_t totalFrames_ = 0;
    int64_t position_ = 0;
    std::vector<uint8_t> raw_;
    std::vector<int16_t> wide_;
};

// Compressed data: SDL decodes the whole file to 16-bit samples.
std::unique_ptr<Decoder> DecodeCompressed(ByteSource& source, const WavLayout& layout, std::string& why) {
    const int64_t size = source.Size();
    if (size <= 0 || size > kMaxWholeFileBytes) {
        why = "file size unknown or too large";
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return nullptr;
    }
    if (!source.Seek(0, 0) || source.Read(bytes.data(), bytes.size()) != bytes.size()) {
        why = "read failed";
        return nullptr;
    }
    // SDL sizes its buffers from the lengths the file claims: a data chunk
    // (or a RIFF size) beyond the end is cut to the bytes there, as the PCM
    // path does, so a damaged file never asks for more than it could hold.
    const auto putLength = [&bytes](int64_t at, int64_t length) {
        for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(at + i)] = static_cast<uint8_t>(length >> (8 * i));
    };
    if (layout.dataOffset >= 8 && layout.dataOffset <= size) putLength(layout.dataOffset - 4, layout.dataBytes);
    if (size >= 8) putLength(4, size - 8);
    // Decode the last, partial block as far as it goes, then cut to the
    // length the fact chunk gives.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "dropframe");
    SDL_SetHint(SDL_HINT_WAVE_FACT_CHUNK, "truncate");
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &spec, &buffer, &length)) {
        why = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<Decoder> decoder;
    if (spec.format != AUDIO_S16SYS || spec.channels < 1 || spec.channels > kMaxFileChannels) {
        why = "unexpected decoded format";
    } else {
        try {
            const size_t frames = length / (2u * spec.channels);
            std::vector<int16_t> samples(frames * std::min<size_t>(spec.channels, 2));
            if (samples.empty()) {
                // Nothing decoded (SDL then gives no buffer at all).
            } else if (spec.channels <= 2) {
                std::memcpy(samples.data(), buffer, samples.size() * sizeof(int16_t));
            } else {
                FoldToStereo(reinterpret_cast<const int16_t*>(buffer), WavChannelOrder(spec.channels, layout.speakerMask),
                             frames, samples.data());
            }
            decoder = MakePcmDecoder(std::move(samples), std::min<int>(spec.channels, 2), spec.freq);
        } catch (const std::bad_alloc&) {
            why = "out of memory";
        }
    }
    SDL_FreeWAV(buffer);
    return decoder;
}

}  // namespace

std::unique_ptr<Decoder> OpenWavDecoder(std::unique_ptr<ByteSource>& source, std::string& why) {
    WavLayout layout;
    if (!ParseLayout(*source, layout, why)) return nullptr;
    if (layout.channels < 1 || layout.channels > kMaxFileChannels) {
        why = "unsupported channel count " + std::to_string(layout.channels);
        return nullptr;
    }
    if (layout.rate < kMinRate || layout.rate > kMaxRate) {
        why = "unsupported rate " + std::to_string(layout.rate);
        return nullptr;
    }
    switch (layout.tag) {
    case kTagPcm:
    case kTagFloat: {
        // The container size comes from the block alignment when that is
        // consistent, else from the bit count.
        int container = 0;
        if (layout.blockAlign > 0 && layout.blockAlign % layout.channels == 0)
            container = layout.blockAlign / layout.channels;
        if (container < 1 || container > 8 || container * 8 < layout.bits) container = (layout.bits + 7) / 8;
        const bool ok = layout.tag == kTagPcm ? (layout.bits >= 1 && container <= 4)
                                              : (container == 4 || container == 8) &&
                                                    (layout.bits == 32 || layout.bits == 64);
        if (!ok || container < 1) {
            why = "unsupported sample size " + std::to_string(layout.bits);
            return nullptr;
        }
        return std::make_unique<WavPcmDecoder>(std::move(source), layout, container);
    }
    case kTagMsAdpcm:
    case kTagALaw:
    case kTagMuLaw:
    case kTagImaAdpcm:
        return DecodeCompressed(*source, layout, why);
    default: {
        char text[48];
        std::snprintf(text, sizeof text, "unsupported format tag 0x%04X", layout.tag);
        why = text;
        return nullptr;
    }
    }
}

}  // namespace media::sound
