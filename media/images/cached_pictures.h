// Pictures in the decoded cache (media/core/decoded_cache.h): pixel stores
// with the transparent colour applied, found by the file's bytes, its alpha
// companion's, the transparent colour and the load flag. Loads take them
// from there; the worker decodes into it ahead of the loads.
#pragma once

#include "media/core/decoded_cache.h"
#include "media/images/image_table.h"
#include "media/images/picture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace media::images {

cache::Key PictureKey(uint32_t colour, int flag, std::vector<uint8_t> bytes);

// The store for a decoded picture: pixels equal to the transparent colour
// become fully transparent.
std::shared_ptr<PixelStore> MakeStore(Picture&& picture, uint32_t colour);
// What a store counts against the cache's budget.
size_t StoreBytes(const PixelStore& store);
// Keeps a store made from key (it is shared from now on).
void KeepStore(cache::Key&& key, const std::shared_ptr<PixelStore>& store);

// The file read and decoded into the cache on the worker, with the current
// transparent colour. The next picture of a run (nextOfRun) goes before the
// warm-up, and its load goes on following the run (decode_ahead.h).
void DecodePictureAhead(const std::string& fileName, bool nextOfRun);

// Kept stores no image shows give up their textures (after a device reset,
// when every texture must be made again); a load makes them anew.
void DropIdleTextures(const std::unordered_set<PixelStore*>& shown);

}  // namespace media::images
