// Reading and writing picture files by their extension.
#pragma once

#include <functional>
#include <string>

#include "Picture.h"

namespace corvellin {

enum class PictureFormat { Unknown, Bmp, Jpeg };

inline constexpr const char* kPictureMissingText = "Picture does not exists!";
inline constexpr const char* kPictureFormatText = "Picture format must be bmp, jpeg or jpg!";

// The format named by the file name's extension (from its last dot), compared
// without regard to case: ".bmp", ".jpg" and ".jpeg".
PictureFormat PictureFormatOfPath(const std::string& path);

// Decodes the file's bytes by format. Throws Error (or JpegError) with the
// decoder's text.
Picture DecodePictureFile(const std::string& path, PictureFormat format);

using ErrorBoxFunction = std::function<void(const std::string& text)>;

// Reads a ".bmp", ".jpg" or ".jpeg" file into picture, replacing its size and
// pixels. A missing file or another extension is reported through showErrorBox
// ("Picture does not exists!" + CR + path, or "Picture format must be bmp, jpeg
// or jpg!") and returns false. A file that does not decode throws the decoder's
// error. Whatever fails, picture is left as it was.
bool LoadPictureFile(const std::string& path, Picture& picture, const ErrorBoxFunction& showErrorBox);

// JPEG (quality 90) or 24-bit BMP, written all-or-nothing over path.
void SavePictureFile(const std::string& path, const Picture& picture, PictureFormat format);

}  // namespace corvellin
