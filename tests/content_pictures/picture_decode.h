// Reads the generated pictures back for the tests: PNG through libpng, BMP by
// its headers. Everything is checked; a bad file gives ok = false and a reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedPicture {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4

    uint32_t pixel(int x, int y) const;  // 0xRRGGBBAA
};

DecodedPicture decodePicture(const std::string& path);
