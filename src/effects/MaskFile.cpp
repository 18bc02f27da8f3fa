#include "MaskFile.h"

#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

bool IsJpegVariant(const std::vector<std::uint8_t>& stored) { return stored[3] == 0x73 && stored[4] == 0x74; }

// The transform is an XOR with a fixed key per offset, so the same step both
// hides and restores bytes 5..99 (JPEG) or 2..99 (BMP).
void XorHeader(std::vector<std::uint8_t>& bytes, bool jpeg) {
    const std::size_t first = jpeg ? 5 : 2;
    const unsigned key = jpeg ? 27 : 13;
    for (std::size_t i = first; i < kMaskHeaderSize; ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ (i + key));
}

std::string StripTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

}  // namespace

std::string MaskFilePath(const std::string& picDir, int category, int number) {
    return StripTrailingSlashes(picDir) + "/" + std::to_string(category) + "/" + std::to_string(number) + ".gph";
}

std::string FrameMaskFilePath(const std::string& picDir, int category, int number) {
    return StripTrailingSlashes(picDir) + "/" + std::to_string(category) + "/m" + std::to_string(number) + ".gph";
}

std::vector<std::uint8_t> UnpackMaskBytes(const std::vector<std::uint8_t>& stored) {
    if (stored.size() < kMaskHeaderSize)
        throw Error(Format("The mask file holds only %zu bytes; a mask file has at least %zu.", stored.size(),
                           kMaskHeaderSize));
    std::vector<std::uint8_t> bytes = stored;
    const bool jpeg = IsJpegVariant(stored);
    if (jpeg) {
        const std::uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
        std::copy(std::begin(start), std::end(start), bytes.begin());
    } else {
        bytes[0] = 0x42;
        bytes[1] = 0x4D;
    }
    XorHeader(bytes, jpeg);
    return bytes;
}

std::vector<std::uint8_t> PackMaskBytes(const std::vector<std::uint8_t>& plain) {
    if (plain.size() < kMaskHeaderSize)
        throw Error(Format("A mask file needs a picture file of at least %zu bytes; this one has %zu.",
                           kMaskHeaderSize, plain.size()));
    std::vector<std::uint8_t> stored = plain;
    const bool jfif = plain[0] == 0xFF && plain[1] == 0xD8 && plain[2] == 0xFF && plain[3] == 0xE0 && plain[4] == 0x00;
    const bool bmp = plain[0] == 'B' && plain[1] == 'M';
    if (jfif) {
        XorHeader(stored, true);
        stored[0] = 'C';  // bytes 0..2 are free; they name the maker
        stored[1] = 'P';
        stored[2] = 'E';
        stored[3] = 0x73;
        stored[4] = 0x74;
    } else if (bmp) {
        XorHeader(stored, false);
        stored[0] = 'C';
        stored[1] = 'P';
        if (IsJpegVariant(stored))
            throw Error("This BMP file cannot be stored as a mask file: its transformed size field reads as the "
                        "JPEG marker.");
    } else if (plain[0] == 0xFF && plain[1] == 0xD8) {
        throw Error("A JPEG mask must be a JFIF file starting FF D8 FF E0 00; this JPEG starts differently.");
    } else {
        throw Error("A mask file is made from a JPEG (JFIF) or BMP file; this file is neither.");
    }
    return stored;
}

Picture LoadMaskFile(const std::string& path) {
    const std::vector<std::uint8_t> stored = ReadWholeFile(path);
    if (stored.size() < kMaskHeaderSize)
        throw Error(Format("Mask file \"%s\" is damaged: it holds %zu bytes, fewer than the %zu of a mask header.",
                           path.c_str(), stored.size(), kMaskHeaderSize));
    const std::vector<std::uint8_t> bytes = UnpackMaskBytes(stored);
    if (IsJpegVariant(stored)) {
        try {
            return DecodeJpeg(bytes.data(), bytes.size());
        } catch (const JpegError& error) {
            throw Error(Format("JPEG error #%d", error.code()));
        }
    }
    return DecodeBmp(bytes.data(), bytes.size());
}

Picture PrepareMask(const std::string& path, int width, int height) {
    const Picture source = LoadMaskFile(path);
    return StretchNearest(source, width, height);
}

}  // namespace corvellin
