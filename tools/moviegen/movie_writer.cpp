#include "tools/moviegen/movie_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace moviegen {

struct MovieWriter::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t next = 0;
    bool headerWritten = false;

    ~State() {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool Drain() {
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0) return false;
        }
    }
};

MovieWriter::MovieWriter() = default;
MovieWriter::~MovieWriter() = default;

bool MovieWriter::Open(const std::string& path, int width, int height, int framesPerSecond) {
    state_.reset();
    auto s = std::make_unique<State>();
    if (avformat_alloc_output_context2(&s->format, nullptr, "avi", path.c_str()) < 0) return false;
    s->format->flags |= AVFMT_FLAG_BITEXACT;
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!encoder) return false;
    s->stream = avformat_new_stream(s->format, nullptr);
    s->codec = avcodec_alloc_context3(encoder);
    if (!s->stream || !s->codec) return false;
    s->codec->width = width;
    s->codec->height = height;
    s->codec->pix_fmt = AV_PIX_FMT_YUV420P;
    s->codec->time_base = AVRational{1, framesPerSecond};
    s->codec->framerate = AVRational{framesPerSecond, 1};
    s->codec->gop_size = framesPerSecond;
    s->codec->max_b_frames = 0;
    s->codec->thread_count = 1;
    s->codec->flags |= AV_CODEC_FLAG_BITEXACT | AV_CODEC_FLAG_QSCALE;
    s->codec->global_quality = FF_QP2LAMBDA * 3;
    if (avcodec_open2(s->codec, encoder, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(s->stream->codecpar, s->codec) < 0) return false;
    s->stream->time_base = s->codec->time_base;
    if (avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(s->format, nullptr) < 0) return false;
    s->headerWritten = true;
    s->frame = av_frame_alloc();
    s->packet = av_packet_alloc();
    if (!s->frame || !s->packet) return false;
    s->frame->format = s->codec->pix_fmt;
    s->frame->width = width;
    s->frame->height = height;
    if (av_frame_get_buffer(s->frame, 0) < 0) return false;
    s->scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                               SWS_BICUBIC | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!s->scaler) return false;
    state_ = std::move(s);
    return true;
}

bool MovieWriter::Add(const std::vector<uint32_t>& pixels) {
    if (!state_) return false;
    State& s = *state_;
    if (pixels.size() != size_t(s.codec->width) * s.codec->height) return false;
    if (av_frame_make_writable(s.frame) < 0) return false;
    const uint8_t* planes[1] = {reinterpret_cast<const uint8_t*>(pixels.data())};
    const int strides[1] = {s.codec->width * 4};
    sws_scale(s.scaler, planes, strides, 0, s.codec->height, s.frame->data, s.frame->linesize);
    s.frame->pts = s.next++;
    s.frame->quality = s.codec->global_quality;
    return avcodec_send_frame(s.codec, s.frame) >= 0 && s.Drain();
}

bool MovieWriter::Close() {
    if (!state_) return false;
    State& s = *state_;
    const bool ok = avcodec_send_frame(s.codec, nullptr) >= 0 && s.Drain() && av_write_trailer(s.format) >= 0;
    state_.reset();
    return ok;
}

}  // namespace moviegen
