// The image table: GraphHandles, the records behind them, and the pixel
// stores that an image and the cells cut from it share.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media::images {

constexpr int kMaxImages = 32768;
constexpr int kHandleKindImage = 1;

// Pixels as drawn (transparency applied), kept so that textures can be
// rebuilt after a device reset, and the GPU textures made from them.
struct PixelStore {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;              // alpha channel or colour key in use
    std::vector<uint32_t> pixels;       // 0xAARRGGBB
    SDL_Texture* texture = nullptr;     // the pixels as kept
    SDL_Texture* opaqueTexture = nullptr;  // every alpha 255: for draws ignoring transparency
    bool renderTarget = false;          // `texture` may be drawn into
    // Kept in the decoded cache and maybe shown by other loads of the same
    // file: copied before anything draws into it or replaces its pixels.
    bool shared = false;

    PixelStore() = default;
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;
    ~PixelStore();
    void DropTextures();
};

struct ImageRecord {
    bool used = false;
    int serial = 0;
    std::shared_ptr<PixelStore> store;
    SDL_Rect area{};                    // the part of the store this image shows
    std::string fileName;
    std::string directory;              // current directory at load time
    int load = 0;                       // the load that made it: a picture and its cells share one
};

// Handle layout: slot in bits 0-15, serial in 16-26, kind in 27-30.
constexpr int MakeHandle(int slot, int serial) { return slot | (serial << 16) | (kHandleKindImage << 27); }

// A new record for `store` showing `area`. Ends the program when the table is
// full.
int CreateImage(std::shared_ptr<PixelStore> store, const SDL_Rect& area, const std::string& fileName,
                const std::string& directory, int load);
int NewLoad();                          // a number for the next load's records
ImageRecord* FindImage(int handle);     // nullptr for anything but a live image handle
bool DeleteImageRecord(int handle, bool log);
void DeleteAllImageRecords(bool log);
// Before the record's pixels are drawn into or replaced: a store shared with
// the decoded cache is copied, and the records of the same load (the
// picture and the cells cut from it) take the copy. False when the copy's
// textures cannot be made.
bool OwnStore(ImageRecord& record);
int LiveImageCount();
int ImageHighWaterMark();

// Every live record, in slot order.
template <typename F>
void ForEachImage(F&& f);
std::vector<ImageRecord>& ImageSlots();

template <typename F>
void ForEachImage(F&& f) {
    auto& slots = ImageSlots();
    for (auto& record : slots)
        if (record.used) f(record);
}

}  // namespace media::images
