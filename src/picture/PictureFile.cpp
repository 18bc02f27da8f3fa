#include "PictureFile.h"

#include "BmpCodec.h"
#include "Error.h"
#include "FileIO.h"
#include "HeifCodec.h"
#include "JpegCodec.h"
#include "Orientation.h"
#include "PngCodec.h"
#include "TiffCodec.h"
#include "WebpCodec.h"

namespace corvellin {

Picture DecodePictureBytes(const std::vector<std::uint8_t>& bytes, PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp: return DecodeBmp(bytes.data(), bytes.size());
        case PictureFormat::Jpeg: return DecodeJpeg(bytes.data(), bytes.size());
        case PictureFormat::Png: return DecodePng(bytes.data(), bytes.size());
        case PictureFormat::Tiff: return DecodeTiff(bytes.data(), bytes.size());
        case PictureFormat::Webp: return DecodeWebp(bytes.data(), bytes.size());
        case PictureFormat::Heif: return DecodeHeif(bytes.data(), bytes.size());
        case PictureFormat::Unknown: break;
    }
    throw Error(PictureFormatText());
}

Picture DecodePictureFile(const std::string& path, PictureFormat format) {
    return DecodePictureBytes(ReadWholeFile(path), format);
}

bool LoadPictureFile(const std::string& path, Picture& picture, const ErrorBoxFunction& showErrorBox,
                     PictureMetadata* metadata, const PictureLoadOptions& options) {
    if (!FileExists(path)) {
        showErrorBox(std::string(kPictureMissingText) + '\r' + path);
        return false;
    }
    const PictureFormat format = PictureFormatOfPath(path);
    if (format == PictureFormat::Unknown) {
        showErrorBox(PictureFormatText());
        return false;
    }
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    Picture decoded = DecodePictureBytes(bytes, format);
    // Metadata never stops a picture from opening: a block that does not
    // parse is left out, and the orientation is then "as stored".
    PictureMetadata read = ReadPictureMetadata(bytes.data(), bytes.size(), format);
    if (options.keepOrientation)
        read.pixelsAsStored = true;
    else
        decoded = OrientUpright(std::move(decoded), PictureOrientation(read));
    picture = std::move(decoded);  // assigned only once decoding has succeeded
    if (metadata != nullptr) *metadata = std::move(read);
    return true;
}

std::vector<std::uint8_t> EncodePictureFile(const Picture& picture, PictureFormat format,
                                            const PictureMetadata& metadata) {
    switch (format) {
        case PictureFormat::Jpeg: {
            std::vector<std::uint8_t> bytes = EncodeJpeg(picture, 90);
            if (metadata.empty()) return bytes;
            return InsertJpegMetadata(bytes, MetadataForSavedPicture(metadata, picture.width(), picture.height()));
        }
        case PictureFormat::Bmp: return EncodeBmp(picture);
        case PictureFormat::Png:
            return EncodePng(picture, metadata.empty() ? metadata
                                                       : MetadataForSavedPicture(metadata, picture.width(), picture.height()));
        default: break;
    }
    throw Error(PictureFormatText());
}

void SavePictureFile(const std::string& path, const Picture& picture, PictureFormat format,
                     const PictureMetadata& metadata) {
    WriteFileAtomically(path, EncodePictureFile(picture, format, metadata));
}

}  // namespace corvellin
