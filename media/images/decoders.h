// The picture decoders, tried in a fixed order; each reads from the start of
// the source and either claims the file or leaves it to the next one.
#pragma once

#include "media/images/byte_source.h"
#include "media/images/picture.h"

namespace media::images {

enum class DecodeResult {
    NotMine,    // the file is not in this decoder's format
    Decoded,    // the picture is filled in
    Broken,     // the format is this decoder's, but the file is unusable
};

DecodeResult DecodeBmp(ByteSource& source, Picture& picture);
DecodeResult DecodeJpeg(ByteSource& source, Picture& picture);
DecodeResult DecodePng(ByteSource& source, Picture& picture);
DecodeResult DecodeBgra(ByteSource& source, Picture& picture);
DecodeResult DecodeTga(ByteSource& source, Picture& picture);
DecodeResult DecodeDds(ByteSource& source, Picture& picture);

// Every decoder in turn, the first that claims the file deciding.
DecodeResult DecodePicture(ByteSource& source, Picture& picture);

}  // namespace media::images
