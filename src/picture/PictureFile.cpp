#include "PictureFile.h"

#include <algorithm>
#include <cctype>

#include "BmpCodec.h"
#include "Error.h"
#include "FileIO.h"
#include "JpegCodec.h"

namespace corvellin {

PictureFormat PictureFormatOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return PictureFormat::Unknown;
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bmp") return PictureFormat::Bmp;
    if (extension == ".jpg" || extension == ".jpeg") return PictureFormat::Jpeg;
    return PictureFormat::Unknown;
}

Picture DecodePictureFile(const std::string& path, PictureFormat format) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    if (format == PictureFormat::Bmp) return DecodeBmp(bytes.data(), bytes.size());
    if (format == PictureFormat::Jpeg) return DecodeJpeg(bytes.data(), bytes.size());
    throw Error(kPictureFormatText);
}

bool LoadPictureFile(const std::string& path, Picture& picture, const ErrorBoxFunction& showErrorBox) {
    if (!FileExists(path)) {
        showErrorBox(std::string(kPictureMissingText) + '\r' + path);
        return false;
    }
    const PictureFormat format = PictureFormatOfPath(path);
    if (format == PictureFormat::Unknown) {
        showErrorBox(kPictureFormatText);
        return false;
    }
    picture = DecodePictureFile(path, format);  // assigned only once decoding has succeeded
    return true;
}

void SavePictureFile(const std::string& path, const Picture& picture, PictureFormat format) {
    if (format == PictureFormat::Jpeg) {
        WriteFileAtomically(path, EncodeJpeg(picture, 90));
    } else if (format == PictureFormat::Bmp) {
        WriteFileAtomically(path, EncodeBmp(picture));
    } else {
        throw Error(kPictureFormatText);
    }
}

}  // namespace corvellin
