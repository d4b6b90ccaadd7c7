#include "tools/artgen/painters.h"

namespace artgen {

void paintInterludes(PictureSet&, const PixelMaps&) {}

}  // namespace artgen
