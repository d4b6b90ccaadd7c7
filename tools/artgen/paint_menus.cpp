#include "tools/artgen/painters.h"

namespace artgen {

void paintMenus(PictureSet&, const PixelMaps&) {}

}  // namespace artgen
