#include "media/images/image_table.h"

#include "media/core/log.h"
#include "media/images/render_queue.h"
#include "media/media.h"

#include <cstdlib>

namespace media::images {
namespace {

std::vector<ImageRecord> gSlots;   // grows up to kMaxImages, never shrinks
int gLive = 0;
int gHighWater = 0;                // one past the highest slot in use
int gNextSerial = 0;
int gLoads = 0;

[[noreturn]] void TableFull() {
    log::Write("グラフィックの数が許容量を越えました終了します\n");
    EndMedia();
    std::exit(-1);
}

}  // namespace

PixelStore::~PixelStore() { DropTextures(); }

void PixelStore::DropTextures() {
    if (texture) SDL_DestroyTexture(texture);
    if (opaqueTexture) SDL_DestroyTexture(opaqueTexture);
    texture = opaqueTexture = nullptr;
}

std::vector<ImageRecord>& ImageSlots() { return gSlots; }

int NewLoad() { return ++gLoads; }

int CreateImage(std::shared_ptr<PixelStore> store, const SDL_Rect& area, const std::string& fileName,
                const std::string& directory, int load) {
    if (gLive >= kMaxImages) TableFull();
    int slot = gHighWater;
    if (slot >= kMaxImages) {
        slot = 0;
        while (gSlots[slot].used) ++slot;
    }
    if (slot >= static_cast<int>(gSlots.size())) gSlots.resize(slot + 1);
    ImageRecord& record = gSlots[slot];
    record.used = true;
    record.serial = gNextSerial;
    gNextSerial = (gNextSerial + 1) & 2047;
    record.store = std::move(store);
    record.area = area;
    record.fileName = fileName;
    record.directory = directory;
    record.load = load;
    ++gLive;
    if (slot >= gHighWater) gHighWater = slot + 1;
    return MakeHandle(slot, record.serial);
}

ImageRecord* FindImage(int handle) {
    if (handle < 0 || ((handle >> 27) & 15) != kHandleKindImage || (handle & 0x8000)) return nullptr;
    const int slot = handle & 0x7FFF;
    if (slot >= static_cast<int>(gSlots.size())) return nullptr;
    ImageRecord& record = gSlots[slot];
    if (!record.used || record.serial != ((handle >> 16) & 2047)) return nullptr;
    return &record;
}

bool DeleteImageRecord(int handle, bool log) {
    ImageRecord* record = FindImage(handle);
    if (!record) return false;
    if (log) log::Write("グラフィック %s の削除\n", record->fileName.c_str());
    *record = ImageRecord{};
    --gLive;
    const int slot = handle & 0x7FFF;
    if (slot + 1 == gHighWater) {
        while (gHighWater > 0 && !gSlots[gHighWater - 1].used) --gHighWater;
    }
    return true;
}

void DeleteAllImageRecords(bool log) {
    for (int slot = 0; slot < static_cast<int>(gSlots.size()); ++slot)
        if (gSlots[slot].used) DeleteImageRecord(MakeHandle(slot, gSlots[slot].serial), log);
}

bool OwnStore(ImageRecord& record) {
    if (!record.store || !record.store->shared) return true;
    const PixelStore& old = *record.store;
    auto copy = std::make_shared<PixelStore>();
    copy->width = old.width;
    copy->height = old.height;
    copy->hasAlpha = old.hasAlpha;
    copy->pixels = old.pixels;
    if (!MakeTextures(*copy)) return false;
    const std::shared_ptr<PixelStore> shared = record.store;
    const int load = record.load;
    ForEachImage([&](ImageRecord& r) {
        if (r.store == shared && r.load == load) r.store = copy;
    });
    return true;
}

int LiveImageCount() { return gLive; }
int ImageHighWaterMark() { return gHighWater; }

}  // namespace media::images
