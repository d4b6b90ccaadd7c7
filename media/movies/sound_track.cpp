#include "media/movies/sound_track.h"

#include "media/core/area_hooks.h"
#include "media/movies/movie_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <vector>

namespace media::movies {
namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 32;
// More than this much sound in one decoded frame is damage, not sound.
constexpr int kMaxFrameSeconds = 10;
// A track whose first packets fail this many times in a row, before any
// sound came of it, is given up; once it has played, damage is skipped.
constexpr int kMaxFailuresInARow = 16;
// Timestamps this close to where the sound already is are taken as they
// come; further apart, silence is put in or sound cut out.
constexpr double kTimingSlackSeconds = 0.02;
// A gap of more than this is a damaged timestamp and is not filled.
constexpr double kLongestGapSeconds = 10.0;

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct SoundTrack::State {
    MovieFile file;
    int stream = -1;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* resampler = nullptr;
    // What the resampler was set up for.
    int inFormat = -1;
    int inRate = 0;
    AVChannelLayout inLayout{};
    // Input samples (at inRate) laid on the time line so far, silence included.
    int64_t nextInput = 0;
    int64_t silenceLeft = 0;     // input samples of silence to put in before the next sound
    std::vector<int16_t> pending;
    size_t pendingAt = 0;        // frames of pending already handed out
    int failuresInARow = 0;
    bool sawPacket = false;
    bool decodedSome = false;
    bool draining = false;
    bool flushed = false;
    bool failed = false;

    ~State() {
        swr_free(&resampler);
        av_channel_layout_uninit(&inLayout);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }

    size_t PendingFrames() const { return pending.size() / 2 - pendingAt; }

    // Converts `count` input samples onto the end of pending; with no input,
    // takes what the resampler holds (and at the end, its last few).
    bool Convert(const uint8_t* const* input, int count, bool atEnd = false) {
        const int room = swr_get_out_samples(resampler, count);
        if (room < 0) return false;
        if (pendingAt > 0) {
            pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(pendingAt * 2));
            pendingAt = 0;
        }
        const size_t have = pending.size();
        pending.resize(have + static_cast<size_t>(room) * 2);
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(pending.data() + have)};
        // A null input flushes the resampler; a held stretch is taken with an
        // input of nothing instead.
        static const uint8_t kNothing[64] = {};
        const uint8_t* nothing[kMaxChannels];
        std::fill(std::begin(nothing), std::end(nothing), kNothing);
        const uint8_t** in = atEnd ? nullptr : input ? const_cast<const uint8_t**>(input) : nothing;
        const int got = swr_convert(resampler, out, room, in, count);
        pending.resize(have + static_cast<size_t>(std::max(got, 0)) * 2);
        return got >= 0;
    }

    bool SetUpResampler(const AVFrame* f) {
        if (resampler && f->format == inFormat && f->sample_rate == inRate &&
            av_channel_layout_compare(&f->ch_layout, &inLayout) == 0)
            return true;
        if (resampler) Convert(nullptr, 0, true);  // what the old set-up still holds
        swr_free(&resampler);
        av_channel_layout_uninit(&inLayout);
        AVChannelLayout layout{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&layout, f->ch_layout.nb_channels);
        else if (av_channel_layout_copy(&layout, &f->ch_layout) < 0)
            return false;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        const bool ok = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, sound::kFeedRate, &layout,
                                            static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                                            nullptr) >= 0 &&
                        swr_init(resampler) >= 0;
        av_channel_layout_uninit(&layout);
        if (!ok) return false;
        inFormat = f->format;
        if (inRate > 0 && inRate != f->sample_rate)
            nextInput = static_cast<int64_t>(std::llround(static_cast<double>(nextInput) * f->sample_rate / inRate));
        inRate = f->sample_rate;
        av_channel_layout_copy(&inLayout, &f->ch_layout);
        return true;
    }

    // Lays one decoded frame on the time line. False for a frame that is
    // damage rather than sound.
    bool TakeFrame(AVFrame* f) {
        const int channels = f->ch_layout.nb_channels;
        if (f->sample_rate < kMinRate || f->sample_rate > kMaxRate || channels < 1 || channels > kMaxChannels ||
            f->nb_samples <= 0 || f->nb_samples > kMaxFrameSeconds * f->sample_rate || f->format < 0 ||
            !SetUpResampler(f))
            return false;
        int skip = 0;
        const int64_t pts = f->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE) {
            const double at = file.Seconds(stream, pts);
            const int64_t start = static_cast<int64_t>(std::llround(at * inRate));
            const int64_t slack = static_cast<int64_t>(kTimingSlackSeconds * inRate);
            const int64_t gap = start - nextInput;
            if (gap > slack && gap <= static_cast<int64_t>(kLongestGapSeconds * inRate)) {
                silenceLeft = gap;
                nextInput = start;
            } else if (gap < -slack) {
                // Sound for a time already played: cut it (all of it when
                // the whole frame lies before).
                skip = static_cast<int>(std::min<int64_t>(-gap, f->nb_samples));
            }
        }
        const int count = f->nb_samples - skip;
        if (count <= 0) return true;
        const int bytes = av_get_bytes_per_sample(static_cast<AVSampleFormat>(f->format));
        const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(f->format));
        const uint8_t* input[kMaxChannels] = {};
        for (int c = 0; c < (planar ? channels : 1); ++c)
            input[c] = f->extended_data[c] + static_cast<size_t>(skip) * bytes * (planar ? 1 : channels);
        PutSilence();
        if (!Convert(input, count)) return false;
        nextInput += count;
        return true;
    }

    void PutSilence() {
        if (silenceLeft <= 0) return;
        const int n = static_cast<int>(silenceLeft);
        silenceLeft = 0;
        if (swr_inject_silence(resampler, n) >= 0) Convert(nullptr, 0);
    }

    void Failure() {
        if (++failuresInARow >= kMaxFailuresInARow && !decodedSome) failed = true;
    }

    // Decodes until there is more to hand out; false at the end.
    bool DecodeMore() {
        while (!failed && !flushed) {
            const int got = avcodec_receive_frame(codec, frame);
            if (got == 0) {
                const bool ok = TakeFrame(frame);
                av_frame_unref(frame);
                if (ok) {
                    decodedSome = true;
                    failuresInARow = 0;
                } else {
                    Failure();
                }
                if (PendingFrames() > 0) return true;
                continue;
            }
            if (got == AVERROR_EOF || (got != AVERROR(EAGAIN) && draining)) {
                if (resampler) Convert(nullptr, 0, true);
                flushed = true;
                if (sawPacket && !decodedSome) failed = true;
                return PendingFrames() > 0;
            }
            if (got != AVERROR(EAGAIN)) Failure();
            if (failed) break;
            if (!file.NextPacket(stream, packet)) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            sawPacket = true;
            const int sent = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            // A damaged packet is skipped; its time is filled with silence
            // when the next one comes.
            if (sent < 0 && sent != AVERROR(EAGAIN)) Failure();
        }
        return false;
    }
};

SoundTrack::SoundTrack() = default;
SoundTrack::~SoundTrack() = default;

SoundTrack::Opened SoundTrack::Open(const char* fileName) {
    state_.reset();
    why_.clear();
    auto s = std::make_unique<State>();
    if (!s->file.Open(fileName)) return Opened::kNoSound;
    const AVCodec* decoder = nullptr;
    s->stream = s->file.FindStream(AVMEDIA_TYPE_AUDIO, &decoder);
    if (s->stream < 0) {
        // An audio stream of a codec nobody decodes is still a sound track.
        for (int i = 0; s->file.Stream(i); ++i) {
            const AVCodecParameters* par = s->file.Stream(i)->codecpar;
            if (par->codec_type != AVMEDIA_TYPE_AUDIO) continue;
            const char* name = avcodec_get_name(par->codec_id);
            why_ = std::string("no decoder for the sound's codec ") + (name ? name : "?");
            return Opened::kUnplayable;
        }
        return Opened::kNoSound;
    }
    const AVCodecParameters* par = s->file.Stream(s->stream)->codecpar;
    s->codec = avcodec_alloc_context3(decoder);
    int opened = AVERROR(ENOMEM);
    if (s->codec && (opened = avcodec_parameters_to_context(s->codec, par)) >= 0) {
        s->codec->thread_count = 1;
        opened = avcodec_open2(s->codec, decoder, nullptr);
    }
    if (opened < 0) {
        why_ = std::string("the ") + decoder->name + " decoder refused the sound: " + ErrorText(opened);
        return Opened::kUnplayable;
    }
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->packet || !s->frame) {
        why_ = "out of memory";
        return Opened::kUnplayable;
    }
    state_ = std::move(s);
    return Opened::kPlayable;
}

size_t SoundTrack::Read(int16_t* out, size_t frames) {
    if (!state_) return 0;
    State& s = *state_;
    size_t done = 0;
    while (done < frames) {
        if (s.PendingFrames() == 0 && !s.DecodeMore()) break;
        const size_t n = std::min(frames - done, s.PendingFrames());
        std::copy_n(s.pending.data() + s.pendingAt * 2, n * 2, out + done * 2);
        s.pendingAt += n;
        done += n;
    }
    if (s.failed && why_.empty()) why_ = "its data cannot be decoded";
    return done;
}

bool SoundTrack::failed() const { return state_ && state_->failed; }
const std::string& SoundTrack::why() const { return why_; }

}  // namespace media::movies
