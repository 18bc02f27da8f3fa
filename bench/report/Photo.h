// The test photograph: a deterministic 6000 x 4000 landscape painted from code
// (sky and ground gradients, a sun, hills, hard-edged buildings, grass and
// fine grain), so the JPEG codec and the kernels see what a camera picture
// gives them rather than noise, which neither compresses nor looks like a photo.
#pragma once

#include <string>

#include "picture/Picture.h"

namespace corvellin::report {

inline constexpr int kPhotoWidth = 6000, kPhotoHeight = 4000;

Picture PaintPhoto(int width, int height);

// Paints the photo and writes it as JPEG quality 90 to path.
void WritePhotoJpeg(const std::string& path);

}  // namespace corvellin::report
