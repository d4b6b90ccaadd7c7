#include "media/movies/movie_file.h"

#include "media/media.h"

namespace media::movies {
namespace {

constexpr int kIoBufferSize = 64 * 1024;

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

struct MovieFile::State {
    int file = 0;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    double start = 0;  // the container's first timestamp, in seconds

    ~State() {
        avformat_close_input(&format);  // frees a context never opened too
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (file) FileClose(file);
    }
};

MovieFile::MovieFile() = default;
MovieFile::~MovieFile() = default;

bool MovieFile::Open(const char* fileName) {
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
    if (s->format->start_time != AV_NOPTS_VALUE && s->format->start_time > 0)
        s->start = s->format->start_time / static_cast<double>(AV_TIME_BASE);
    state_ = std::move(s);
    return true;
}

int MovieFile::FindStream(AVMediaType kind, const AVCodec** decoder) const {
    if (!state_) return -1;
    *decoder = nullptr;
    const int found = av_find_best_stream(state_->format, kind, -1, -1, decoder, 0);
    return found >= 0 && *decoder ? found : -1;
}

const AVStream* MovieFile::Stream(int index) const {
    if (!state_ || index < 0 || index >= static_cast<int>(state_->format->nb_streams)) return nullptr;
    return state_->format->streams[index];
}

AVRational MovieFile::FrameRate(int stream) const {
    AVStream* s = Stream(stream) ? state_->format->streams[stream] : nullptr;
    return s ? av_guess_frame_rate(state_->format, s, nullptr) : AVRational{0, 1};
}

double MovieFile::Duration() const {
    if (!state_ || state_->format->duration <= 0) return 0;
    return state_->format->duration / static_cast<double>(AV_TIME_BASE);
}

bool MovieFile::NextPacket(int stream, AVPacket* packet) {
    if (!state_) return false;
    int read;
    while ((read = av_read_frame(state_->format, packet)) >= 0 && packet->stream_index != stream)
        av_packet_unref(packet);
    return read >= 0;
}

double MovieFile::Seconds(int stream, int64_t timestamp) const {
    const AVStream* s = Stream(stream);
    if (!s || s->time_base.num <= 0 || s->time_base.den <= 0) return 0;
    return timestamp * av_q2d(s->time_base) - state_->start;
}

}  // namespace media::movies
