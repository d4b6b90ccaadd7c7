#include "media/images/cached_pictures.h"

#include "media/core/api_lock.h"
#include "media/core/log.h"
#include "media/core/work_ahead.h"
#include "media/images/byte_source.h"
#include "media/images/decode_ahead.h"
#include "media/images/decoders.h"
#include "media/images/draw_state.h"
#include "media/images/images_area.h"
#include "media/media.h"

namespace media::images {
namespace {

// The file's bytes, read quietly; false when it cannot be opened or is large.
bool ReadQuietly(const std::string& fileName, std::vector<uint8_t>& bytes) {
    const int file = FileOpen(fileName.c_str(), 0);
    if (!file) return false;
    const bool ok = ReadWhole(file, bytes);
    FileClose(file);
    return ok;
}

// On the worker: what a load of the file would make now, into the cache.
void DecodeOnWorker(const std::string& fileName, uint32_t colour, int flag, bool aheadOfRun) {
    if (aheadOfRun && !StillWanted(fileName)) return;
    log::Mute quiet;
    std::vector<uint8_t> bytes;
    if (!ReadQuietly(fileName, bytes)) return;
    cache::Key key = PictureKey(colour, flag, std::move(bytes));
    const Companion companion = ReadCompanion(fileName, key.extra);
    if (companion == Companion::TooLarge) return;
    key.hasExtra = companion == Companion::Read;
    int flight = 0;
    if (!cache::BeginDecode(key, flight, aheadOfRun)) return;
    std::shared_ptr<PixelStore> store;
    {
        log::Watch watch;   // a result is kept only when decoding wrote nothing
        Picture picture;
        MemorySource source(key.bytes.data(), key.bytes.size());
        bool ok = DecodePicture(source, picture) == DecodeResult::Decoded;
        if (ok && key.hasExtra) {
            MemorySource alpha(key.extra.data(), key.extra.size());
            ok = ApplyCompanion(fileName, alpha, picture);
        }
        if (ok && watch.Written() == 0) {
            store = MakeStore(std::move(picture), colour);
            store->shared = true;
        }
    }
    const size_t size = store ? StoreBytes(*store) : 0;
    cache::EndDecode(flight, std::move(key), store, size, aheadOfRun);
}

}  // namespace

cache::Key PictureKey(uint32_t colour, int flag, std::vector<uint8_t> bytes) {
    cache::Key key;
    key.kind = cache::Kind::Picture;
    key.settings = static_cast<uint64_t>(static_cast<uint32_t>(flag)) << 32 | colour;
    key.bytes = std::move(bytes);
    key.Seal();
    return key;
}

std::shared_ptr<PixelStore> MakeStore(Picture&& picture, uint32_t colour) {
    auto store = std::make_shared<PixelStore>();
    store->width = picture.width;
    store->height = picture.height;
    store->hasAlpha = picture.hasAlpha;
    store->pixels = std::move(picture.pixels);
    for (uint32_t& p : store->pixels) {
        if ((p & 0x00FFFFFFu) == colour) {
            p &= 0x00FFFFFFu;
            store->hasAlpha = true;
        }
    }
    return store;
}

size_t StoreBytes(const PixelStore& store) { return store.pixels.size() * sizeof(uint32_t); }

void KeepStore(cache::Key&& key, const std::shared_ptr<PixelStore>& store) {
    const size_t size = StoreBytes(*store);
    if (cache::Keep(std::move(key), store, size)) store->shared = true;
}

void DecodePictureAhead(const std::string& fileName, bool nextOfRun) {
    const uint32_t colour = State().transparentColour;
    core::RunAhead([fileName, colour, nextOfRun] { DecodeOnWorker(fileName, colour, 0, nextOfRun); }, nextOfRun);
}

void DropIdleTextures(const std::unordered_set<PixelStore*>& shown) {
    cache::ForEach(cache::Kind::Picture, [&](cache::Value& value) {
        auto* store = static_cast<PixelStore*>(value.get());
        if (!shown.count(store)) store->DropTextures();
    });
}

}  // namespace media::images

int PrepareImage(const char* fileName) {
    media::ApiLockGuard lock;
    if (!media::images::GraphicsRunning() || !fileName || media::cache::BudgetBytes() == 0) return -1;
    media::images::DecodePictureAhead(fileName, false);
    return 0;
}
