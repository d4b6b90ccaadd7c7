// Ogg Vorbis through vorbisfile's callback interface over a byte source,
// decoded to signed 16-bit little-endian samples, 4096 bytes at a time.
//
// A chained file (links one after another, each with its own channels and
// rate) plays every link. The frames come out in one format: the largest
// channel count up to stereo, and the links' rate when they all share one,
// else the mixer's, each link converted to it on its own.
#include "media/sound/decoder.h"
#include "media/sound/mixer.h"
#include "media/sound/resampler.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

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
// Each rate a chain converts from keeps a converter; more than this many
// different rates is a file built to waste memory.
constexpr size_t kMaxChainRates = 8;
// A length past this (years of sound) is damage: the length is unknown.
constexpr int64_t kMostFrames = INT64_MAX / (4 * int64_t{kMaxRate});

struct Link {
    int channels = 0;
    int rate = 0;
    int64_t sourceStart = 0;   // the link's first sample as vorbisfile counts the chain
    int64_t start = 0;         // its first frame as decoded
    int64_t frames = 0;        // its frames as decoded, -1 when unknown
};

class OggDecoder final : public Decoder {
public:
    explicit OggDecoder(std::unique_ptr<ByteSource> source) : source_(std::move(source)), reader_(*this) {}
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
        const long count = std::max(1L, ov_streams(&file_));
        std::vector<int> rates;
        for (long i = 0; i < count; ++i) {
            const vorbis_info* info = ov_info(&file_, static_cast<int>(i));
            if (!info || info->channels < 1 || info->channels > kMaxFileChannels || info->rate < kMinRate ||
                info->rate > kMaxRate) {
                why = count > 1 ? "unsupported channels or rate in link " + std::to_string(i + 1)
                                : "unsupported Ogg Vorbis channels or rate";
                return false;
            }
            Link link;
            link.channels = info->channels;
            link.rate = static_cast<int>(info->rate);
            links_.push_back(link);
            if (std::find(rates.begin(), rates.end(), link.rate) == rates.end()) rates.push_back(link.rate);
        }
        if (rates.size() > kMaxChainRates) {
            why = "a chain of more than " + std::to_string(kMaxChainRates) + " different rates";
            return false;
        }
        channels_ = 1;
        for (const Link& link : links_) channels_ = std::max(channels_, std::min(link.channels, 2));
        rate_ = rates.size() == 1 ? rates[0] : mixer::kRate;
        // Where each link starts, in the chain's own count and as decoded.
        int64_t sourceAt = 0, at = 0;
        for (size_t i = 0; i < links_.size(); ++i) {
            Link& link = links_[i];
            const ogg_int64_t samples = ov_pcm_total(&file_, static_cast<int>(i));
            link.sourceStart = sourceAt;
            link.start = at;
            // The converter makes ceil(samples x out / in) frames of a link.
            link.frames = samples < 0 || samples > kMostFrames ? -1
                          : link.rate == rate_                 ? samples
                                                               : (samples * rate_ + link.rate - 1) / link.rate;
            if (at < 0 || link.frames < 0 || link.frames > kMostFrames - at) {
                link.frames = -1;
                at = -1;
                continue;
            }
            sourceAt += samples;
            at += link.frames;
        }
        totalFrames_ = at;
        wide_.resize(kReadBytes / 2);
        // Just opened, vorbisfile starts a chain whose first link fits on
        // one page at the second link; a seek to the start puts it right.
        if (links_.size() > 1 && ov_pcm_seek(&file_, 0) != 0) {
            why = "the chain cannot be read from its start";
            return false;
        }
        return Enter(0);
    }

    size_t Read(int16_t* out, size_t frames) override {
        size_t done = 0;
        while (done < frames && !ended_) {
            FrameSource& from = converter_ ? static_cast<FrameSource&>(*converter_) : reader_;
            const size_t got = from.Read(out + done * static_cast<size_t>(channels_), frames - done);
            done += got;
            if (got > 0) continue;
            // The link is over, the converter drained: on to the next link.
            const int next = pendingLink_;
            pendingLink_ = -1;
            if (next < 0 || !Enter(next)) ended_ = true;
        }
        return done;
    }

    int64_t TotalFrames() override { return totalFrames_; }

    bool Seek(int64_t frame) override {
        if (frame < 0 || (totalFrames_ >= 0 && frame > totalFrames_)) return false;
        size_t index = 0;
        while (index + 1 < links_.size() && links_[index + 1].start >= 0 && links_[index + 1].start <= frame) ++index;
        const Link& link = links_[index];
        const int64_t into = frame - link.start;
        // Inside a converted link the nearest source sample before the frame.
        const int64_t sample = link.rate == rate_ ? into : into * link.rate / rate_;
        pending_.clear();
        pendingLink_ = -1;
        if (totalFrames_ >= 0 && frame == totalFrames_) {
            ended_ = dry_ = true;
            return true;
        }
        if (ov_pcm_seek(&file_, link.sourceStart + sample) != 0) return false;
        ended_ = dry_ = false;
        return Enter(static_cast<int>(index));
    }

private:
    // The current link's frames in the decoder's channels, at the link's
    // rate; 0 once the link is over.
    class LinkReader final : public FrameSource {
    public:
        explicit LinkReader(OggDecoder& decoder) : d_(decoder) {}
        size_t Read(int16_t* out, size_t frames) override { return d_.ReadLink(out, frames); }

    private:
        OggDecoder& d_;
    };

    // Makes `index` the current link, with a converter when its rate differs.
    bool Enter(int index) {
        if (index < 0 || static_cast<size_t>(index) >= links_.size()) return false;
        current_ = index;
        const Link& link = links_[static_cast<size_t>(index)];
        order_ = VorbisChannelOrder(link.channels);
        converter_ = nullptr;
        if (link.rate != rate_) {
            auto it = std::find_if(converters_.begin(), converters_.end(),
                                   [&](const auto& c) { return c.first == link.rate; });
            if (it == converters_.end()) {
                converters_.emplace_back(link.rate,
                                         std::make_unique<Resampler>(reader_, channels_, link.rate, rate_));
                it = converters_.end() - 1;
            }
            converter_ = it->second.get();
            converter_->Reset();
        }
        return true;
    }

    size_t ReadLink(int16_t* out, size_t frames) {
        const Link& link = links_[static_cast<size_t>(current_)];
        const size_t frameBytes = static_cast<size_t>(link.channels) * 2;
        size_t done = 0;
        int holes = 0;
        while (done < frames && pendingLink_ < 0 && !dry_) {
            int16_t* target = pending_.empty() ? wide_.data() : nullptr;
            size_t gotFrames = 0;
            if (!target) {
                // Frames read ahead when the link began.
                gotFrames = std::min(frames - done, pending_.size() / static_cast<size_t>(link.channels));
                target = pending_.data();
            } else {
                const size_t want = std::min(frames - done, kReadBytes / frameBytes);
                int at = 0;
                const long got = ov_read(&file_, reinterpret_cast<char*>(target), static_cast<int>(want * frameBytes),
                                         0, 2, 1, &at);
                if (got == OV_HOLE && ++holes < kMaxHolesInARow) continue;
                if (got <= 0) {
                    dry_ = true;
                    break;
                }
                holes = 0;
                gotFrames = static_cast<size_t>(got) / frameBytes;
                if (at != current_) {
                    // The first frames of the next link: kept for it.
                    const vorbis_info* info = ov_info(&file_, at);
                    if (at < 0 || static_cast<size_t>(at) >= links_.size() || !info ||
                        info->channels != links_[static_cast<size_t>(at)].channels) {
                        dry_ = true;
                        break;
                    }
                    pending_.assign(target, target + static_cast<size_t>(got) / 2);
                    pendingLink_ = at;
                    break;
                }
            }
            Convert(target, link.channels, gotFrames, out + done * static_cast<size_t>(channels_));
            if (target == pending_.data())
                pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(gotFrames * link.channels));
            done += gotFrames;
        }
        return done;
    }

    // Frames of a link's channels into the decoder's.
    void Convert(const int16_t* in, int inChannels, size_t frames, int16_t* out) const {
        if (inChannels == channels_) {
            std::memcpy(out, in, frames * static_cast<size_t>(inChannels) * sizeof(int16_t));
        } else if (inChannels > 2) {
            FoldToStereo(in, order_, frames, out);
        } else {  // a mono link in a stereo chain
            for (size_t f = 0; f < frames; ++f) out[f * 2] = out[f * 2 + 1] = in[f];
        }
    }

    std::unique_ptr<ByteSource> source_;
    OggVorbis_File file_{};
    bool open_ = false;
    bool ended_ = false;   // every frame is out
    bool dry_ = false;     // vorbisfile has no more (a converter may still hold some)
    std::vector<Link> links_;
    int64_t totalFrames_ = -1;
    int current_ = 0;
    ChannelOrder order_;
    std::vector<int16_t> wide_;
    std::vector<int16_t> pending_;   // decoded frames of the link after the current one
    int pendingLink_ = -1;
    LinkReader reader_;
    std::vector<std::pair<int, std::unique_ptr<Resampler>>> converters_;
    Resampler* converter_ = nullptr;
};

}  // namespace

std::unique_ptr<Decoder> OpenOggDecoder(std::unique_ptr<ByteSource>& source, std::string& why) {
    auto decoder = std::make_unique<OggDecoder>(std::move(source));
    if (!decoder->Open(why)) return nullptr;
    return decoder;
}

}  // namespace media::sound
