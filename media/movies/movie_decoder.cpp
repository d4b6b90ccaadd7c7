#include "media/movies/movie_decoder.h"

#include "media/movies/movie_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace media::movies {
namespace {

// A stream that keeps failing to produce frames is given up after this many
// packets in a row.
constexpr int kMaxPacketsWithoutFrame = 4096;

}  // namespace

struct MovieDecoder::State {
    MovieFile file;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    double frameSeconds = 1.0 / 30;
    double lastSeconds = -1;
    int width = 0;
    int height = 0;
    bool draining = false;
    bool finished = false;

    ~State() {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }
};

MovieDecoder::MovieDecoder() = default;
MovieDecoder::~MovieDecoder() = default;

int MovieDecoder::width() const { return state_ ? state_->width : 0; }
int MovieDecoder::height() const { return state_ ? state_->height : 0; }

double MovieDecoder::duration() const {
    if (!state_) return 0;
    const AVStream* s = state_->file.Stream(state_->stream);
    if (s->duration > 0 && s->duration != AV_NOPTS_VALUE) return s->duration * av_q2d(s->time_base);
    return state_->file.Duration();
}

bool MovieDecoder::Open(const char* fileName) {
    state_.reset();
    auto s = std::make_unique<State>();
    if (!s->file.Open(fileName)) return false;
    const AVCodec* decoder = nullptr;
    s->stream = s->file.FindStream(AVMEDIA_TYPE_VIDEO, &decoder);
    if (s->stream < 0) return false;
    const AVStream* stream = s->file.Stream(s->stream);
    const AVCodecParameters* par = stream->codecpar;
    if (par->width <= 0 || par->height <= 0 || par->width > kMaxFrameSide || par->height > kMaxFrameSide)
        return false;
    s->codec = avcodec_alloc_context3(decoder);
    if (!s->codec || avcodec_parameters_to_context(s->codec, par) < 0) return false;
    s->codec->thread_count = 1;
    if (avcodec_open2(s->codec, decoder, nullptr) < 0) return false;
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->packet || !s->frame) return false;
    const AVRational rate = s->file.FrameRate(s->stream);
    if (rate.num > 0 && rate.den > 0) s->frameSeconds = std::clamp(av_q2d(av_inv_q(rate)), 1.0 / 240, 1.0);
    s->width = par->width;
    s->height = par->height;
    state_ = std::move(s);
    return true;
}

bool MovieDecoder::NextFrame(std::vector<uint32_t>& pixels, double* seconds) {
    if (!state_ || state_->finished) return false;
    State& s = *state_;
    int fruitless = 0;
    for (;;) {
        const int got = avcodec_receive_frame(s.codec, s.frame);
        if (got == 0) break;
        if (got != AVERROR(EAGAIN) || s.draining || ++fruitless > kMaxPacketsWithoutFrame) {
            s.finished = true;
            return false;
        }
        if (!s.file.NextPacket(s.stream, s.packet)) {
            s.draining = true;
            avcodec_send_packet(s.codec, nullptr);
            continue;
        }
        const int sent = avcodec_send_packet(s.codec, s.packet);
        av_packet_unref(s.packet);
        // A damaged packet is skipped; the decoder carries on with the next.
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
            s.finished = true;
            return false;
        }
    }
    AVFrame* f = s.frame;
    bool ok = f->width > 0 && f->height > 0 && f->width <= kMaxFrameSide && f->height <= kMaxFrameSide &&
              f->format >= 0;
    if (ok) {
        s.scaler = sws_getCachedContext(s.scaler, f->width, f->height, static_cast<AVPixelFormat>(f->format),
                                        s.width, s.height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr,
                                        nullptr);
        ok = s.scaler != nullptr;
    }
    if (ok) {
        pixels.resize(static_cast<size_t>(s.width) * s.height);
        uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(pixels.data()), nullptr, nullptr, nullptr};
        int strides[4] = {s.width * 4, 0, 0, 0};
        ok = sws_scale(s.scaler, f->data, f->linesize, 0, f->height, planes, strides) == s.height;
    }
    const int64_t pts = f->best_effort_timestamp;
    av_frame_unref(f);
    if (!ok) {
        s.finished = true;
        return false;
    }
    for (uint32_t& p : pixels) p |= 0xFF000000u;
    double t = pts != AV_NOPTS_VALUE ? s.file.Seconds(s.stream, pts) : s.lastSeconds + s.frameSeconds;
    // Timestamps that stand still or run backwards still move the movie on.
    if (!(t > s.lastSeconds)) t = s.lastSeconds < 0 ? 0 : s.lastSeconds + s.frameSeconds;
    s.lastSeconds = t;
    *seconds = t;
    return true;
}

}  // namespace media::movies
