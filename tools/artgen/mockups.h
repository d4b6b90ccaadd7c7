// Review pictures: a play screen put together from the painted pictures the
// way the game places them, one per stage theme.
#pragma once

#include "tools/artgen/catalogue.h"

#include <string>

namespace artgen {

bool writeMockups(const PictureSet& set, const std::string& directory);

}  // namespace artgen
