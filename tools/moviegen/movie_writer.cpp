#include "tools/moviegen/movie_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace moviegen {
namespace {

// One encoder and the stream its packets go to.
struct Track {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    ~Track() { avcodec_free_context(&codec); }

    bool Drain(AVFormatContext* format, AVPacket* packet) {
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

// PCM takes any number of frames at a time; these many make one packet.
constexpr int kPcmFrameSize = 1024;
// MPEG audio comes out of its decoder this many frames later than it went
// into the encoder, and AVI has no field to say so: the sound is written
// that much early (its first frames left out), so it is heard on time.
constexpr int kMp2Delay = 481;

}  // namespace

struct MovieWriter::State {
    AVFormatContext* format = nullptr;
    Track video;
    Track sound;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* soundFrame = nullptr;
    AVPacket* packet = nullptr;
    int64_t next = 0;
    int64_t nextSound = 0;
    std::vector<int16_t> soundWaiting;  // less than one encoder frame
    size_t soundToSkip = 0;             // frames still to leave out at the start
    bool headerWritten = false;

    ~State() {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_frame_free(&soundFrame);
        av_packet_free(&packet);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool OpenSound(const SoundFormat& f) {
        const AVCodecID id = f.coding == SoundCoding::kMp2 ? AV_CODEC_ID_MP2 : AV_CODEC_ID_PCM_S16LE;
        const AVCodec* encoder = avcodec_find_encoder(id);
        if (!encoder || f.channels < 1 || f.channels > 2) return false;
        sound.stream = avformat_new_stream(format, nullptr);
        sound.codec = avcodec_alloc_context3(encoder);
        if (!sound.stream || !sound.codec) return false;
        sound.codec->sample_fmt = AV_SAMPLE_FMT_S16;
        sound.codec->sample_rate = f.rate;
        av_channel_layout_default(&sound.codec->ch_layout, f.channels);
        if (f.coding == SoundCoding::kMp2) {
            sound.codec->bit_rate = f.bitRate;
            soundToSkip = kMp2Delay;
        }
        sound.codec->time_base = AVRational{1, f.rate};
        sound.codec->flags |= AV_CODEC_FLAG_BITEXACT;
        sound.codec->thread_count = 1;
        if (avcodec_open2(sound.codec, encoder, nullptr) < 0) return false;
        if (avcodec_parameters_from_context(sound.stream->codecpar, sound.codec) < 0) return false;
        sound.stream->time_base = sound.codec->time_base;
        soundFrame = av_frame_alloc();
        if (!soundFrame) return false;
        soundFrame->format = AV_SAMPLE_FMT_S16;
        soundFrame->sample_rate = f.rate;
        soundFrame->nb_samples = sound.codec->frame_size > 0 ? sound.codec->frame_size : kPcmFrameSize;
        return av_channel_layout_copy(&soundFrame->ch_layout, &sound.codec->ch_layout) >= 0 &&
               av_frame_get_buffer(soundFrame, 0) >= 0;
    }

    // Encodes one frame's worth from the front of soundWaiting.
    bool EncodeSound() {
        const int channels = sound.codec->ch_layout.nb_channels;
        const size_t samples = static_cast<size_t>(soundFrame->nb_samples) * channels;
        if (av_frame_make_writable(soundFrame) < 0) return false;
        std::memcpy(soundFrame->data[0], soundWaiting.data(), samples * sizeof(int16_t));
        soundWaiting.erase(soundWaiting.begin(), soundWaiting.begin() + static_cast<ptrdiff_t>(samples));
        soundFrame->pts = nextSound;
        nextSound += soundFrame->nb_samples;
        return avcodec_send_frame(sound.codec, soundFrame) >= 0 && sound.Drain(format, packet);
    }
};

MovieWriter::MovieWriter() = default;
MovieWriter::~MovieWriter() = default;

bool MovieWriter::Open(const std::string& path, int width, int height, int framesPerSecond,
                       const SoundFormat* soundFormat) {
    state_.reset();
    auto s = std::make_unique<State>();
    if (avformat_alloc_output_context2(&s->format, nullptr, "avi", path.c_str()) < 0) return false;
    s->format->flags |= AVFMT_FLAG_BITEXACT;
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!encoder) return false;
    Track& v = s->video;
    v.stream = avformat_new_stream(s->format, nullptr);
    v.codec = avcodec_alloc_context3(encoder);
    if (!v.stream || !v.codec) return false;
    v.codec->width = width;
    v.codec->height = height;
    v.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    v.codec->time_base = AVRational{1, framesPerSecond};
    v.codec->framerate = AVRational{framesPerSecond, 1};
    v.codec->gop_size = framesPerSecond;
    v.codec->max_b_frames = 0;
    v.codec->thread_count = 1;
    v.codec->flags |= AV_CODEC_FLAG_BITEXACT | AV_CODEC_FLAG_QSCALE;
    v.codec->global_quality = FF_QP2LAMBDA * 4;
    if (avcodec_open2(v.codec, encoder, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(v.stream->codecpar, v.codec) < 0) return false;
    v.stream->time_base = v.codec->time_base;
    if (soundFormat && !s->OpenSound(*soundFormat)) return false;
    if (avio_open(&s->format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    if (avformat_write_header(s->format, nullptr) < 0) return false;
    s->headerWritten = true;
    s->frame = av_frame_alloc();
    s->packet = av_packet_alloc();
    if (!s->frame || !s->packet) return false;
    s->frame->format = v.codec->pix_fmt;
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
    AVCodecContext* codec = s.video.codec;
    if (pixels.size() != size_t(codec->width) * codec->height) return false;
    if (av_frame_make_writable(s.frame) < 0) return false;
    const uint8_t* planes[1] = {reinterpret_cast<const uint8_t*>(pixels.data())};
    const int strides[1] = {codec->width * 4};
    sws_scale(s.scaler, planes, strides, 0, codec->height, s.frame->data, s.frame->linesize);
    s.frame->pts = s.next++;
    s.frame->quality = codec->global_quality;
    return avcodec_send_frame(codec, s.frame) >= 0 && s.video.Drain(s.format, s.packet);
}

bool MovieWriter::AddSound(const int16_t* frames, size_t count) {
    if (!state_ || !state_->sound.codec) return false;
    State& s = *state_;
    const size_t channels = static_cast<size_t>(s.sound.codec->ch_layout.nb_channels);
    const size_t skip = std::min(count, s.soundToSkip);
    s.soundToSkip -= skip;
    s.soundWaiting.insert(s.soundWaiting.end(), frames + skip * channels, frames + count * channels);
    while (s.soundWaiting.size() >= static_cast<size_t>(s.soundFrame->nb_samples) * channels)
        if (!s.EncodeSound()) return false;
    return true;
}

bool MovieWriter::Close() {
    if (!state_) return false;
    State& s = *state_;
    bool ok = true;
    if (s.sound.codec) {
        // The last piece is filled up with silence to a whole encoder frame.
        const size_t channels = static_cast<size_t>(s.sound.codec->ch_layout.nb_channels);
        if (!s.soundWaiting.empty()) {
            s.soundWaiting.resize(static_cast<size_t>(s.soundFrame->nb_samples) * channels, 0);
            ok = s.EncodeSound();
        }
        ok = ok && avcodec_send_frame(s.sound.codec, nullptr) >= 0 && s.sound.Drain(s.format, s.packet);
    }
    ok = ok && avcodec_send_frame(s.video.codec, nullptr) >= 0 && s.video.Drain(s.format, s.packet) &&
         av_write_trailer(s.format) >= 0;
    state_.reset();
    return ok;
}

}  // namespace moviegen
