// The companion alpha file: "00\10.png" may come with "00\10_a.png", whose
// grey level becomes the picture's alpha.
#include "media/core/log.h"
#include "media/images/byte_source.h"
#include "media/images/decoders.h"
#include "media/images/images_area.h"
#include "media/media.h"

namespace media::images {

std::string CompanionAlphaName(const std::string& fileName) {
    const size_t separator = fileName.find_last_of("\\/");
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return fileName + "_a";
    return fileName.substr(0, dot) + "_a" + fileName.substr(dot);
}

Companion ReadCompanion(const std::string& fileName, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const int handle = FileOpen(CompanionAlphaName(fileName).c_str(), 0);
    if (!handle) return Companion::None;
    const bool whole = ReadWhole(handle, bytes);
    FileClose(handle);
    if (!whole) bytes.clear();
    return whole ? Companion::Read : Companion::TooLarge;
}

bool ApplyCompanion(const std::string& fileName, ByteSource& source, Picture& picture) {
    const std::string name = CompanionAlphaName(fileName);
    Picture alpha;
    if (DecodePicture(source, alpha) != DecodeResult::Decoded) {
        log::Write("The alpha file %s could not be read; it is ignored\n", name.c_str());
        return true;
    }
    if (alpha.width != picture.width || alpha.height != picture.height) {
        log::Write("The alpha file %s is %d x %d, the picture %d x %d\n", name.c_str(), alpha.width,
                   alpha.height, picture.width, picture.height);
        return false;
    }
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t a = alpha.pixels[i];
        // The grey level: luminance of the companion's colour.
        const uint32_t grey = (((a >> 16) & 255) * 77 + ((a >> 8) & 255) * 150 + (a & 255) * 29 + 128) >> 8;
        picture.pixels[i] = (picture.pixels[i] & 0x00FFFFFFu) | (grey << 24);
    }
    picture.hasAlpha = true;
    return true;
}

bool ApplyCompanionAlpha(const std::string& fileName, Picture& picture) {
    const int handle = FileOpen(CompanionAlphaName(fileName).c_str(), 0);
    if (!handle) return true;
    bool ok;
    {
        FileSource source(handle);
        ok = ApplyCompanion(fileName, source, picture);
    }
    FileClose(handle);
    return ok;
}

}  // namespace media::images
