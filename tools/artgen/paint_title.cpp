#include "tools/artgen/painters.h"

namespace artgen {

void paintTitle(PictureSet&, const PixelMaps&) {}

}  // namespace artgen
