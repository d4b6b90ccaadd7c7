// Loading pictures into image handles, cutting them into cells, deleting.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/log.h"
#include "media/images/byte_source.h"
#include "media/images/decode_ahead.h"
#include "media/images/decoders.h"
#include "media/images/draw_state.h"
#include "media/images/image_table.h"
#include "media/images/images_area.h"
#include "media/images/render_queue.h"
#include "media/media.h"

#include <algorithm>

namespace media::images {
namespace {

MovieFrameLoader gMovieLoader = nullptr;

std::string CurrentDirectory() {
    char buffer[4096];
    return FileGetCurrentDirectory(buffer, sizeof buffer) == 0 ? std::string(buffer) : std::string();
}

// Files up to this size are read whole, and may have been decoded ahead;
// larger ones (a movie showing its first frame) are decoded as they are read.
constexpr int64_t kMostReadWhole = 16 * 1024 * 1024;

bool ReadWhole(int file, std::vector<uint8_t>& bytes) {
    if (FileSeek(file, 0, 2) != 0) return false;
    const int64_t size = FileTell(file);
    if (size < 0 || size > kMostReadWhole || FileSeek(file, 0, 0) != 0) return false;
    bytes.resize(static_cast<size_t>(size));
    if (FileRead(bytes.data(), 1, bytes.size(), file) == bytes.size()) return true;
    FileSeek(file, 0, 0);
    return false;
}

void LogLoadFailure(const char* fileName) {
    log::Write("右記のグラフィックファイルのロードに失敗しました：%s\n", fileName);
}

// Pixels equal to the transparent colour become fully transparent.
std::shared_ptr<PixelStore> MakeStore(Picture&& picture) {
    auto store = std::make_shared<PixelStore>();
    store->width = picture.width;
    store->height = picture.height;
    store->hasAlpha = picture.hasAlpha;
    store->pixels = std::move(picture.pixels);
    const uint32_t key = State().transparentColour;
    for (uint32_t& p : store->pixels) {
        if ((p & 0x00FFFFFFu) == key) {
            p &= 0x00FFFFFFu;
            store->hasAlpha = true;
        }
    }
    return store;
}

}  // namespace

void SetMovieFrameLoader(MovieFrameLoader loader) { gMovieLoader = loader; }

int CurrentDrawTarget() { return State().target; }

bool ReplaceImagePixels(int graphHandle, const std::vector<uint32_t>& pixels) {
    ImageRecord* record = FindImage(graphHandle);
    if (!record || !record->store) return false;
    PixelStore& store = *record->store;
    if (pixels.size() != store.pixels.size() || store.renderTarget) return false;
    FlushRender();  // draws already queued show the frame before
    store.pixels = pixels;
    for (SDL_Texture* texture : {store.texture, store.opaqueTexture})
        if (texture) SDL_UpdateTexture(texture, nullptr, store.pixels.data(), store.width * 4);
    return true;
}

int LoadWholeImage(const char* fileName, bool* missing) {
    const int file = FileOpen(fileName, 0);
    if (!file) {
        log::Write("グラフィックファイル %s がありません\n", fileName);
        if (missing) *missing = true;
        return -1;
    }
    const std::string directory = CurrentDirectory();
    Picture picture;
    DecodeResult result;
    std::vector<uint8_t> bytes;
    if (ReadWhole(file, bytes)) {
        FileClose(file);
        if (TakeDecodedAhead(fileName, directory, bytes, picture)) {
            result = DecodeResult::Decoded;
        } else {
            MemorySource source(bytes.data(), bytes.size());
            result = DecodePicture(source, picture);
        }
    } else {
        {
            FileSource source(file);
            result = DecodePicture(source, picture);
        }
        FileClose(file);
    }
    if (result == DecodeResult::Decoded && !ApplyCompanionAlpha(fileName, picture)) {
        LogLoadFailure(fileName);
        return -1;
    }
    if (result == DecodeResult::Broken) {
        // A picture decoder knew the file and refused it: it is no movie.
        LogLoadFailure(fileName);
        return -1;
    }
    if (result == DecodeResult::NotMine) {
        // No picture decoder took it: perhaps a movie, showing its first frame.
        picture = Picture{};
        if (!gMovieLoader || !gMovieLoader(fileName, &picture.width, &picture.height, &picture.pixels) ||
            !PictureSizeAllowed(picture.width, picture.height) ||
            picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
            LogLoadFailure(fileName);
            return -1;
        }
    }
    auto store = MakeStore(std::move(picture));
    if (!MakeTextures(*store)) {
        LogLoadFailure(fileName);
        return -1;
    }
    const SDL_Rect whole{0, 0, store->width, store->height};
    const int handle = CreateImage(std::move(store), whole, fileName, directory);
    NoteLoaded(fileName, directory);
    return handle;
}

}  // namespace media::images

using namespace media::images;

int LoadImage(const char* fileName, int) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning() || !fileName) return -1;
    return LoadWholeImage(fileName);
}

int LoadImageTiles(const char* fileName, int totalCount, int countAcross, int countDown, int cellWidth,
                   int cellHeight, int* handlesOut, int) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning() || !fileName || !handlesOut) return -1;
    bool missing = false;
    const int whole = LoadWholeImage(fileName, &missing);
    if (whole == -1) {
        // A file that would not decode has said so already.
        if (missing) LogLoadFailure(fileName);
        return -1;
    }
    const ImageRecord source = *FindImage(whole);
    const auto fail = [&](int made) {
        media::log::Write("グラフィックの分割に失敗しました in CreateDivGraphFromGraphImage\n");
        for (int i = 0; i < made; ++i) DeleteImageRecord(handlesOut[i], false);
        DeleteImageRecord(whole, false);
        return -1;
    };
    if (totalCount <= 0 || countAcross <= 0 || countDown <= 0 || cellWidth <= 0 || cellHeight <= 0)
        return fail(0);
    int made = 0;
    for (int j = 0; j < countDown && made < totalCount; ++j) {
        for (int k = 0; k < countAcross && made < totalCount; ++k) {
            const int64_t left = static_cast<int64_t>(k) * cellWidth, top = static_cast<int64_t>(j) * cellHeight;
            // A cell must start inside the picture; one reaching past its
            // right or bottom edge is cut to it.
            if (left >= source.area.w || top >= source.area.h) return fail(made);
            const SDL_Rect cell{static_cast<int>(left), static_cast<int>(top),
                                static_cast<int>(std::min<int64_t>(cellWidth, source.area.w - left)),
                                static_cast<int>(std::min<int64_t>(cellHeight, source.area.h - top))};
            handlesOut[made++] = CreateImage(source.store, cell, source.fileName, source.directory);
        }
    }
    // A grid smaller than the count asked for leaves the rest refused.
    for (int i = made; i < totalCount; ++i) handlesOut[i] = -1;
    DeleteImageRecord(whole, false);
    return 0;
}

int DeleteImage(int graphHandle, int logFlag) {
    media::ApiLockGuard lock;
    if (!FindImage(graphHandle)) return -1;
    // Queued draws may still use the texture.
    FlushRender();
    if (State().target == graphHandle) SelectTarget(kDrawTargetBack);
    DeleteImageRecord(graphHandle, logFlag != 0);
    return 0;
}

int DeleteAllImages(int logFlag) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning()) return 0;
    FlushRender();
    if (FindImage(State().target)) SelectTarget(kDrawTargetBack);
    DeleteAllImageRecords(logFlag != 0);
    return 0;
}

int GetImageSize(int graphHandle, int* width, int* height) {
    media::ApiLockGuard lock;
    int w, h;
    if (!TargetSize(graphHandle, w, h)) return -1;
    if (width) *width = w;
    if (height) *height = h;
    return 0;
}
