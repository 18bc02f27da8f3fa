#include "SizeGuard.h"

#include "Error.h"

namespace corvellin {

void CheckPictureSize(std::int64_t width, std::int64_t height, const char* kind) {
    if (width <= 0 || height <= 0)
        throw Error(Format("%s image has an invalid size of %lld x %lld pixels.", kind,
                           static_cast<long long>(width), static_cast<long long>(height)));
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        throw Error(Format("%s image claims %lld x %lld pixels, more than this editor can open "
                           "(at most %lld pixels a side and %lld megapixels).",
                           kind, static_cast<long long>(width), static_cast<long long>(height),
                           static_cast<long long>(kMaxPictureSide),
                           static_cast<long long>(kMaxPicturePixels / 1000000)));
}

}  // namespace corvellin
