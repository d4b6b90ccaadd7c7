// One review picture per folder: every picture with its file name.
#pragma once

#include "tools/artgen/catalogue.h"

#include <string>

namespace artgen {

// Writes "<directory>/<folder>.png" for every folder of the set.
bool writeContactSheets(const PictureSet& set, const std::string& directory);

}  // namespace artgen
