#include "tools/artgen/painters.h"

namespace artgen {

void paintGameOver(PictureSet&, const PixelMaps&) {}

}  // namespace artgen
