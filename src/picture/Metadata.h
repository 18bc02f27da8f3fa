// The metadata a picture file carries besides its pixels (EXIF, XMP, IPTC and
// the ICC colour profile), read with exiv2 (libheif for HEIF) and written
// into saved files. A block that does not parse is left out, so damaged
// metadata never stops a picture from opening or saving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PictureFormats.h"

namespace corvellin {

struct PictureMetadata {
    std::vector<std::uint8_t> exif;  // TIFF-structured EXIF, as it follows "Exif\0\0" in a JPEG
    std::string xmp;                 // the XMP packet
    std::vector<std::uint8_t> iptc;  // IPTC IIM datasets
    std::vector<std::uint8_t> icc;   // the ICC profile, whole
    // The container has already made the pixels upright (HEIF's rotation and
    // mirror boxes), so the EXIF orientation inside no longer applies.
    bool orientationApplied = false;
    // The pixels were kept as stored instead of turned upright: a saved file
    // then keeps the orientation tag, so that viewers still turn them.
    bool pixelsAsStored = false;

    bool empty() const { return exif.empty() && xmp.empty() && iptc.empty() && icc.empty(); }
    bool operator==(const PictureMetadata&) const = default;
};

// Every block the file holds that parses; the others are left out.
PictureMetadata ReadPictureMetadata(const std::uint8_t* data, std::size_t size, PictureFormat format);

// The EXIF orientation, 1 to 8; 1 (as stored) when it is missing, zero, out of
// range, unreadable, or already applied by the container.
int PictureOrientation(const PictureMetadata& metadata);

// The metadata a saved picture of width x height carries: orientation 1 (or,
// for pixels kept as stored, the source's orientation), the
// pixel-size tags set to the saved size, no EXIF thumbnail (it would show the
// unedited picture) and no tags that describe the source's pixel layout.
PictureMetadata MetadataForSavedPicture(const PictureMetadata& metadata, int width, int height);

// A JPEG file with the blocks of metadata (already made by
// MetadataForSavedPicture) inserted as APP segments; the ICC profile is split
// over as many APP2 segments as it needs. Every other byte of jpeg stays as it
// is. A block the writer refuses is left out; metadata without any block
// returns jpeg unchanged.
std::vector<std::uint8_t> InsertJpegMetadata(const std::vector<std::uint8_t>& jpeg, const PictureMetadata& metadata);

}  // namespace corvellin
