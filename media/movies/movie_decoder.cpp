#include "media/movies/movie_decoder.h"

#include "media/media.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace media::movies {
namespace {

constexpr int kIoBufferSize = 64 * 1024;
// A stream that keeps failing to produce frames is given up after this many
// packets in a row.
constexpr int kMaxPacketsWithoutFrame = 4096;

int ReadPacket(void* opaque, uint8_t* buffer, int size) {
    const int file = *static_cast<int*>(opaque);
    if (size <= 0) return 0;
    const size_t got = FileRead(buffer, 1, static_cast<size_t>(size), file);
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

int64_t SeekFile(void* opaque, int64_t offset, int whence) {
    const int file = *static_cast<int*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) {
        const int64_t here = FileTell(file);
        if (FileSeek(file, 0, 2) != 0) return -1;
        const int64_t size = FileTell(file);
        FileSeek(file, here, 0);
        return size;
    }
    const int origin = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : -1;
    if (origin < 0 || FileSeek(file, offset, origin) != 0) return -1;
    return FileTell(file);
}

}  // namespace

struct MovieDecoder::State {
    int file = 0;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
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
        avformat_close_input(&format);  // frees a context never opened too
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (file) FileClose(file);
    }
};

MovieDecoder::MovieDecoder() = default;
MovieDecoder::~MovieDecoder() = default;

int MovieDecoder::width() const { return state_ ? state_->width : 0; }
int MovieDecoder::height() const { return state_ ? state_->height : 0; }

double MovieDecoder::duration() const {
    if (!state_ || !state_->format) return 0;
    const AVStream* s = state_->format->streams[state_->stream];
    if (s->duration > 0 && s->duration != AV_NOPTS_VALUE) return s->duration * av_q2d(s->time_base);
    if (state_->format->duration > 0) return state_->format->duration / static_cast<double>(AV_TIME_BASE);
    return 0;
}

bool MovieDecoder::Open(const char* fileName) {
    state_.reset();
    av_log_set_level(AV_LOG_QUIET);  // damaged files are normal here; failures are logged by the caller
    auto s = std::make_unique<State>();
    s->file = FileOpen(fileName, 0);
    if (!s->file) return false;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer) return false;
    s->io = avio_alloc_context(buffer, kIoBufferSize, 0, &s->file, ReadPacket, nullptr, SeekFile);
    if (!s->io) {
        av_free(buffer);
        return false;
    }
    s->format = avformat_alloc_context();
    if (!s->format) return false;
    s->format->pb = s->io;
    s->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&s->format, nullptr, nullptr, nullptr) < 0) {
        s->format = nullptr;  // freed by the failed open
        return false;
    }
    if (avformat_find_stream_info(s->format, nullptr) < 0) return false;
    const AVCodec* decoder = nullptr;
    s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (s->stream < 0 || !decoder) return false;
    const AVStream* stream = s->format->streams[s->stream];
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
    s->timeBase = stream->time_base;
    const AVRational rate = av_guess_frame_rate(s->format, const_cast<AVStream*>(stream), nullptr);
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
        int read;
        while ((read = av_read_frame(s.format, s.packet)) >= 0 && s.packet->stream_index != s.stream)
            av_packet_unref(s.packet);
        if (read < 0) {
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
    double t = pts != AV_NOPTS_VALUE ? pts * av_q2d(s.timeBase) : s.lastSeconds + s.frameSeconds;
    // Timestamps that stand still or run backwards still move the movie on.
    if (!(t > s.lastSeconds)) t = s.lastSeconds < 0 ? 0 : s.lastSeconds + s.frameSeconds;
    s.lastSeconds = t;
    *seconds = t;
    return true;
}

}  // namespace media::movies
