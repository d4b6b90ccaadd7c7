// Ogg Vorbis through vorbisfile's callback interface over a byte source,
// decoded to signed 16-bit little-endian samples, 4096 bytes at a time.
#include "media/sound/decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>

namespace media::sound {
namespace {

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) return 0;
    return static_cast<ByteSource*>(source)->Read(buffer, size * count) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    const int origin = whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : 0;
    return static_cast<ByteSource*>(source)->Seek(offset, origin) ? 0 : -1;
}

long TellCallback(void* source) {
    const int64_t at = static_cast<ByteSource*>(source)->Tell();
    return static_cast<long>(std::min<int64_t>(at, LONG_MAX));
}

constexpr ov_callbacks kCallbacks = {ReadCallback, SeekCallback, nullptr, TellCallback};
constexpr int kReadBytes = 4096;
// Holes in a damaged stream are skipped; this many in a row end it.
constexpr int kMaxHolesInARow = 64;

class OggDecoder final : public Decoder {
public:
    explicit OggDecoder(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}
    ~OggDecoder() override {
        if (open_) ov_clear(&file_);
    }

    bool Open(std::string& why) {
        const int result = ov_open_callbacks(source_.get(), &file_, nullptr, 0, kCallbacks);
        if (result != 0) {
            why = "not a readable Ogg Vorbis stream (" + std::to_string(result) + ")";
            return false;
        }
        open_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        if (!info || info->channels < 1 || info->channels > kMaxFileChannels || info->rate < kMinRate ||
            info->rate > kMaxRate) {
            why = "unsupported Ogg Vorbis channels or rate";
            return false;
        }
        fileChannels_ = info->channels;
        channels_ = std::min(fileChannels_, 2);
        rate_ = static_cast<int>(info->rate);
        if (fileChannels_ > 2) wide_.resize(kReadBytes / 2);
        return true;
    }

    size_t Read(int16_t* out, size_t frames) override {
        size_t done = 0;
        int holes = 0;
        while (done < frames && !ended_) {
            const size_t frameBytes = static_cast<size_t>(fileChannels_) * 2;
            const size_t wantFrames = std::min(frames - done, kReadBytes / frameBytes);
            char* target = fileChannels_ > 2 ? reinterpret_cast<char*>(wide_.data())
                                             : reinterpret_cast<char*>(out + done * channels_);
            int link = 0;
            const long got = ov_read(&file_, target, static_cast<int>(wantFrames * frameBytes), 0, 2, 1, &link);
            if (got == OV_HOLE && ++holes < kMaxHolesInARow) continue;
            if (got <= 0) {
                ended_ = true;
                break;
            }
            holes = 0;
            const vorbis_info* info = ov_info(&file_, link);
            if (!info || info->channels != fileChannels_ || info->rate != rate_) {
                // A chained stream whose next part changes format: end here.
                ended_ = true;
                break;
            }
            const size_t gotFrames = static_cast<size_t>(got) / frameBytes;
            if (fileChannels_ > 2) FoldToStereo(wide_.data(), fileChannels_, gotFrames, out + done * 2);
            done += gotFrames;
        }
        return done;
    }

    int64_t TotalFrames() override {
        const ogg_int64_t total = ov_pcm_total(&file_, -1);
        return total < 0 ? -1 : total;
    }

    bool Seek(int64_t frame) override {
        if (ov_pcm_seek(&file_, frame) != 0) return false;
        ended_ = false;
        return true;
    }

private:
    std::unique_ptr<ByteSource> source_;
    OggVorbis_File file_{};
    bool open_ = false;
    bool ended_ = false;
    int fileChannels_ = 0;
    std::vector<int16_t> wide_;
};

}  // namespace

std::unique_ptr<Decoder> OpenOggDecoder(std::unique_ptr<ByteSource>& source, std::string& why) {
    auto decoder = std::make_unique<OggDecoder>(std::move(source));
    if (!decoder->Open(why)) return nullptr;
    return decoder;
}

}  // namespace media::sound
