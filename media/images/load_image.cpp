// Loading pictures into image handles, cutting them into cells, deleting.
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/core/load_report.h"
#include "media/core/log.h"
#include "media/images/byte_source.h"
#include "media/images/cached_pictures.h"
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

void LogLoadFailure(const char* fileName) {
    log::Write("右記のグラフィックファイルのロードに失敗しました：%s\n", fileName);
}

// The picture of a file read whole, its companion applied: taken from the
// decoded cache when the same bytes (with the same companion, colour and
// flag) were decoded before, else decoded, and kept when decoding wrote
// nothing to the log. The companion is opened only once the file is known
// to be a picture, as a load without the cache does. `companionFailed` is
// set when the companion does not fit (the failure is logged).
DecodeResult StoreFromBytes(const char* fileName, std::vector<uint8_t>&& bytes, int flag,
                            std::shared_ptr<PixelStore>& store, bool& reused, bool& aheadOfRun,
                            bool& companionFailed) {
    const uint32_t colour = State().transparentColour;
    cache::Key key = PictureKey(colour, flag, std::move(bytes));
    int written = 0;   // lines logged while decoding
    Picture picture;
    const auto decode = [&] {
        log::Watch watch;
        MemorySource source(key.bytes.data(), key.bytes.size());
        const DecodeResult result = DecodePicture(source, picture);
        written += watch.Written();
        return result;
    };
    const bool known = cache::KnownFile(key);
    if (!known) {
        const DecodeResult result = decode();
        if (result != DecodeResult::Decoded) return result;
    }
    const Companion companion = ReadCompanion(fileName, key.extra);
    key.hasExtra = companion == Companion::Read;
    if (known && companion != Companion::TooLarge) {
        if (cache::Value value = cache::Find(key, &aheadOfRun)) {
            store = std::static_pointer_cast<PixelStore>(value);
            reused = true;
            return DecodeResult::Decoded;
        }
    }
    if (known) {
        const DecodeResult result = decode();
        if (result != DecodeResult::Decoded) return result;
    }
    if (companion != Companion::None) {
        log::Watch watch;
        bool fits;
        if (companion == Companion::Read) {
            MemorySource alpha(key.extra.data(), key.extra.size());
            fits = ApplyCompanion(fileName, alpha, picture);
        } else {
            fits = ApplyCompanionAlpha(fileName, picture);
            ++written;   // too large to be a key: never kept
        }
        written += watch.Written();
        if (!fits) {
            companionFailed = true;
            return DecodeResult::Broken;
        }
    }
    store = MakeStore(std::move(picture), colour);
    if (written == 0) KeepStore(std::move(key), store);
    return DecodeResult::Decoded;
}

}  // namespace

void SetMovieFrameLoader(MovieFrameLoader loader) { gMovieLoader = loader; }

int CurrentDrawTarget() { return State().target; }

bool ReplaceImagePixels(int graphHandle, const std::vector<uint32_t>& pixels) {
    ImageRecord* record = FindImage(graphHandle);
    if (!record || !record->store || !OwnStore(*record)) return false;
    PixelStore& store = *record->store;
    if (pixels.size() != store.pixels.size() || store.renderTarget) return false;
    FlushRender();  // draws already queued show the frame before
    store.pixels = pixels;
    for (SDL_Texture* texture : {store.texture, store.opaqueTexture})
        if (texture) SDL_UpdateTexture(texture, nullptr, store.pixels.data(), store.width * 4);
    return true;
}

int LoadWholeImage(const char* fileName, int flag, bool* missing) {
    NoteLoading(fileName);
    const files::LookupBatch lookups;   // the picture, its companion, the directory
    const int file = FileOpen(fileName, 0);
    if (!file) {
        log::Write("グラフィックファイル %s がありません\n", fileName);
        report::NoteFailedLoad(cache::Kind::Picture, fileName, true);
        if (missing) *missing = true;
        return -1;
    }
    const auto fail = [&] {
        LogLoadFailure(fileName);
        report::NoteFailedLoad(cache::Kind::Picture, fileName, false);
        return -1;
    };
    const std::string directory = CurrentDirectory();
    std::shared_ptr<PixelStore> store;
    bool reused = false, aheadOfRun = false;
    DecodeResult result;
    std::vector<uint8_t> bytes;
    if (ReadWhole(file, bytes)) {
        FileClose(file);
        bool companionFailed = false;
        result = StoreFromBytes(fileName, std::move(bytes), flag, store, reused, aheadOfRun, companionFailed);
        if (companionFailed) return fail();
    } else {
        Picture picture;
        {
            FileSource source(file);
            result = DecodePicture(source, picture);
        }
        FileClose(file);
        if (result == DecodeResult::Decoded) {
            if (!ApplyCompanionAlpha(fileName, picture)) return fail();
            store = MakeStore(std::move(picture), State().transparentColour);
        }
    }
    if (result == DecodeResult::Broken) {
        // A picture decoder knew the file and refused it: it is no movie.
        return fail();
    }
    if (result == DecodeResult::NotMine) {
        // No picture decoder took it: perhaps a movie, showing its first frame.
        Picture picture;
        if (!gMovieLoader || !gMovieLoader(fileName, &picture.width, &picture.height, &picture.pixels) ||
            !PictureSizeAllowed(picture.width, picture.height) ||
            picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
            return fail();
        store = MakeStore(std::move(picture), State().transparentColour);
    }
    // A kept store has its textures unless a device reset took them.
    if (!store->texture && !MakeTextures(*store)) return fail();
    const SDL_Rect whole{0, 0, store->width, store->height};
    const int handle = CreateImage(std::move(store), whole, fileName, directory, NewLoad());
    report::NoteLoad(cache::Kind::Picture, reused ? report::Outcome::Reused : report::Outcome::Decoded);
    NoteLoaded(fileName, directory, !reused || aheadOfRun);
    return handle;
}

}  // namespace media::images

using namespace media::images;

int LoadImage(const char* fileName, int flag) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning() || !fileName) return -1;
    return LoadWholeImage(fileName, flag);
}

int LoadImageTiles(const char* fileName, int totalCount, int countAcross, int countDown, int cellWidth,
                   int cellHeight, int* handlesOut, int flag) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning() || !fileName || !handlesOut) return -1;
    bool missing = false;
    const int whole = LoadWholeImage(fileName, flag, &missing);
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
            handlesOut[made++] = CreateImage(source.store, cell, source.fileName, source.directory, source.load);
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
    media::cache::Trim();   // what it showed may be the one over the budget
    return 0;
}

int DeleteAllImages(int logFlag) {
    media::ApiLockGuard lock;
    if (!GraphicsRunning()) return 0;
    // Every scene change starts here (or at DeleteAllSounds).
    media::report::SceneChangeBegins();
    FlushRender();
    if (FindImage(State().target)) SelectTarget(kDrawTargetBack);
    DeleteAllImageRecords(logFlag != 0);
    media::cache::Trim();
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
