#include "PictureFormats.h"

#include <algorithm>
#include <cctype>

namespace corvellin {

const std::vector<PictureFormatInfo>& PictureFormats() {
    static const std::vector<PictureFormatInfo> formats = {
        {PictureFormat::Jpeg, {"jpg", "jpeg"}, {"image/jpeg"}, "JPEG Image File", true, "JPG Format (small file size)"},
        {PictureFormat::Bmp, {"bmp"}, {"image/bmp"}, "Bitmaps", false, "BMP Format (high quality)"},
        {PictureFormat::Png, {"png"}, {"image/png"}, "PNG Image File", false, "PNG Format (lossless)"},
        {PictureFormat::Tiff, {"tif", "tiff"}, {"image/tiff"}, "TIFF Image File", false, nullptr},
        {PictureFormat::Webp, {"webp"}, {"image/webp"}, "WebP Image File", false, nullptr},
        {PictureFormat::Heif, {"heic", "heif"}, {"image/heif", "image/heic"}, "HEIF Image File", false, nullptr},
    };
    return formats;
}

std::vector<const PictureFormatInfo*> WritablePictureFormats() {
    std::vector<const PictureFormatInfo*> writable;
    for (const PictureFormatInfo& info : PictureFormats())
        if (info.saveFilterName != nullptr) writable.push_back(&info);
    return writable;
}

const PictureFormatInfo* FindPictureFormat(PictureFormat format) {
    for (const PictureFormatInfo& info : PictureFormats())
        if (info.format == format) return &info;
    return nullptr;
}

PictureFormat PictureFormatOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return PictureFormat::Unknown;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const PictureFormatInfo& info : PictureFormats())
        for (const std::string& known : info.extensions)
            if (extension == known) return info.format;
    return PictureFormat::Unknown;
}

namespace {

std::string ListText(const std::vector<std::string>& items, const char* prefix) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " or " : ", ";
        text += prefix + items[i];
    }
    return text;
}

std::vector<std::string> ReadableExtensions() {
    std::vector<std::string> all;
    for (const PictureFormatInfo& info : PictureFormats()) all.insert(all.end(), info.extensions.begin(), info.extensions.end());
    return all;
}

}  // namespace

std::string WritableExtensionsText() {
    std::vector<std::string> all;
    for (const PictureFormatInfo* info : WritablePictureFormats())
        all.insert(all.end(), info->extensions.begin(), info->extensions.end());
    return ListText(all, ".");
}

std::string ReadableDottedExtensionsText() { return ListText(ReadableExtensions(), "."); }

std::string ReadableExtensionsText() {
    std::vector<std::string> all = ReadableExtensions();
    std::sort(all.begin(), all.end());
    return ListText(all, "");
}

std::string PictureFormatText() { return "Picture format must be " + ReadableExtensionsText() + "!"; }

}  // namespace corvellin
