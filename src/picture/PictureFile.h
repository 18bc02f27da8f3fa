// Reading and writing picture files by their extension.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Metadata.h"
#include "Picture.h"
#include "PictureFormats.h"

namespace corvellin {

inline constexpr const char* kPictureMissingText = "Picture does not exists!";

// Decodes the file's bytes by format, as stored (no orientation applied).
// Throws Error (or JpegError) with the decoder's text.
Picture DecodePictureFile(const std::string& path, PictureFormat format);
Picture DecodePictureBytes(const std::vector<std::uint8_t>& bytes, PictureFormat format);

using ErrorBoxFunction = std::function<void(const std::string& text)>;

// How LoadPictureFile treats the file.
struct PictureLoadOptions {
    // Work on the pixels as stored instead of turning them upright by the
    // EXIF orientation (saved files then keep the orientation tag).
    bool keepOrientation = false;
};

// Reads a picture file of any readable format (PictureFormats.h) into
// picture, replacing its size and pixels, turned upright by its EXIF
// orientation; metadata, when given, receives the file's metadata. A missing
// file or another extension is reported through showErrorBox ("Picture does
// not exists!" + CR + path, or PictureFormatText()) and returns false. A file
// that does not decode throws the decoder's error. Whatever fails, picture
// and metadata are left as they were.
bool LoadPictureFile(const std::string& path, Picture& picture, const ErrorBoxFunction& showErrorBox,
                     PictureMetadata* metadata = nullptr, const PictureLoadOptions& options = {});

// The bytes of a saved file: JPEG (quality 90), 24-bit BMP or 24-bit PNG. JPEG
// and PNG carry the source's metadata (MetadataForSavedPicture); BMP keeps none.
std::vector<std::uint8_t> EncodePictureFile(const Picture& picture, PictureFormat format,
                                            const PictureMetadata& metadata = {});

// EncodePictureFile, written all-or-nothing over path.
void SavePictureFile(const std::string& path, const Picture& picture, PictureFormat format,
                     const PictureMetadata& metadata = {});

}  // namespace corvellin
