// The one table of picture file formats: which extensions name them, which can
// be read and written, and how the dialogs, the messages, corvellin-fx and the
// desktop entry name them.
#pragma once

#include <string>
#include <vector>

namespace corvellin {

enum class PictureFormat { Unknown, Bmp, Jpeg, Png, Tiff, Webp, Heif };

struct PictureFormatInfo {
    PictureFormat format;
    std::vector<std::string> extensions;  // lower case, without the dot; the first is the one a saved name gets
    std::vector<std::string> mimeTypes;   // the first is the format's own
    const char* openFilterName;        // the Open dialog's entry, e.g. "Bitmaps"
    bool openFilterPerExtension;       // one Open entry for each extension (as JPEG has) or one for all
    const char* saveFilterName;        // the Save dialog's entry; nullptr when the format is not written
};

// In the order of the dialogs' entries: JPEG and BMP first, as they always were.
const std::vector<PictureFormatInfo>& PictureFormats();

// The formats Save writes, in the order of the Save dialog's entries.
std::vector<const PictureFormatInfo*> WritablePictureFormats();

const PictureFormatInfo* FindPictureFormat(PictureFormat format);

// The format named by the file name's extension (from its last dot), compared
// without regard to case.
PictureFormat PictureFormatOfPath(const std::string& path);

// The writable formats' extensions with their dots, in table order:
// ".jpg, .jpeg, .bmp or .png".
std::string WritableExtensionsText();

// Every readable extension with its dot, in table order, for texts that name
// them all: ".jpg, .jpeg, .bmp, ..., .heic or .heif".
std::string ReadableDottedExtensionsText();

// Every readable extension, sorted: "bmp, heic, ..., tiff or webp".
std::string ReadableExtensionsText();

// "Picture format must be " + ReadableExtensionsText() + "!": the box for a
// file whose extension names no format we read.
std::string PictureFormatText();

}  // namespace corvellin
