#include "Metadata.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include <exiv2/exiv2.hpp>

#include "HeifCodec.h"

namespace corvellin {
namespace {

// exiv2 logs every oddity of a file to stderr; the editor reports nothing of
// it (a damaged block is simply left out). The XMP toolkit is set up once,
// with a lock, because corvellin-fx reads several files at once.
std::mutex& XmpMutex() {
    static std::mutex mutex;
    return mutex;
}

void XmpLock(void*, bool lock) {
    if (lock)
        XmpMutex().lock();
    else
        XmpMutex().unlock();
}

void SetUpExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(XmpLock, nullptr);
    });
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* prefix, std::size_t length) {
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

// A whole ICC profile: its header's size field names its length and its
// signature is "acsp".
bool IccLooksWhole(const std::vector<std::uint8_t>& icc) {
    return icc.size() >= 128 && BigEndian32(icc.data()) == icc.size() && std::memcmp(icc.data() + 36, "acsp", 4) == 0;
}

// Each block is kept only when exiv2 parses it.
bool ExifParses(const std::vector<std::uint8_t>& exif) {
    if (exif.empty()) return false;
    try {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, exif.data(), static_cast<std::uint32_t>(exif.size()));
        return !data.empty();
    } catch (...) {
        return false;
    }
}

bool XmpParses(const std::string& xmp) {
    if (xmp.empty()) return false;
    try {
        Exiv2::XmpData data;
        return Exiv2::XmpParser::decode(data, xmp) == 0;
    } catch (...) {
        return false;
    }
}

bool IptcParses(const std::vector<std::uint8_t>& iptc) {
    if (iptc.empty()) return false;
    try {
        Exiv2::IptcData data;
        return Exiv2::IptcParser::decode(data, iptc.data(), static_cast<std::uint32_t>(iptc.size())) == 0 && !data.empty();
    } catch (...) {
        return false;
    }
}

PictureMetadata KeepWhatParses(PictureMetadata metadata) {
    if (!ExifParses(metadata.exif)) metadata.exif.clear();
    if (!XmpParses(metadata.xmp)) metadata.xmp.clear();
    if (!IptcParses(metadata.iptc)) metadata.iptc.clear();
    if (!IccLooksWhole(metadata.icc)) metadata.icc.clear();
    return metadata;
}

// The APP segments of a JPEG up to its first scan, each block taken on its
// own so that a damaged one costs only itself.
PictureMetadata ReadJpegBlocks(const std::uint8_t* data, std::size_t size) {
    PictureMetadata metadata;
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return metadata;
    std::map<int, std::vector<std::uint8_t>> iccChunks;
    int iccCount = 0;
    bool iccBroken = false;
    std::vector<std::uint8_t> photoshop;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) break;
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;  // end of image, start of scan
        const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        if (length < 2 || at + 2 + length > size) break;
        const std::uint8_t* body = data + at + 4;
        const std::size_t bodySize = length - 2;
        if (marker == 0xE1 && StartsWith(body, bodySize, "Exif\0\0", 6) && metadata.exif.empty()) {
            metadata.exif.assign(body + 6, body + bodySize);
        } else if (marker == 0xE1 && StartsWith(body, bodySize, "http://ns.adobe.com/xap/1.0/\0", 29) &&
                   metadata.xmp.empty()) {
            metadata.xmp.assign(reinterpret_cast<const char*>(body) + 29, bodySize - 29);
        } else if (marker == 0xED && StartsWith(body, bodySize, "Photoshop 3.0\0", 14)) {
            photoshop.insert(photoshop.end(), body + 14, body + bodySize);
        } else if (marker == 0xE2 && StartsWith(body, bodySize, "ICC_PROFILE\0", 12) && bodySize >= 14) {
            const int sequence = body[12], count = body[13];
            if (sequence < 1 || sequence > count || (iccCount != 0 && count != iccCount) || iccChunks.count(sequence))
                iccBroken = true;
            iccCount = count;
            iccChunks[sequence].assign(body + 14, body + bodySize);
        }
        at += 2 + length;
    }
    if (!iccBroken && iccCount > 0 && static_cast<int>(iccChunks.size()) == iccCount)
        for (const auto& [sequence, chunk] : iccChunks) metadata.icc.insert(metadata.icc.end(), chunk.begin(), chunk.end());
    if (!photoshop.empty()) {
        try {
            const Exiv2::byte* record = nullptr;
            std::uint32_t headerSize = 0, dataSize = 0;
            if (Exiv2::Photoshop::locateIptcIrb(photoshop.data(), static_cast<long>(photoshop.size()), &record, &headerSize,
                                                &dataSize) == 0 &&
                record + headerSize + dataSize <= photoshop.data() + photoshop.size())
                metadata.iptc.assign(record + headerSize, record + headerSize + dataSize);
        } catch (...) {
        }
    }
    return metadata;
}

std::vector<std::uint8_t> EncodeExif(const Exiv2::ExifData& data) {
    if (data.empty()) return {};
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, data);
    return std::vector<std::uint8_t>(blob.begin(), blob.end());
}

// PNG, TIFF and WebP through exiv2's own readers; whatever they read before a
// failure is still looked at, block by block.
PictureMetadata ReadWithExiv2(const std::uint8_t* data, std::size_t size) {
    PictureMetadata metadata;
    Exiv2::Image::AutoPtr image;
    try {
        image = Exiv2::ImageFactory::open(data, static_cast<long>(size));
    } catch (...) {
        return metadata;
    }
    if (image.get() == nullptr) return metadata;
    try {
        image->readMetadata();
    } catch (...) {
    }
    try {
        metadata.exif = EncodeExif(image->exifData());
    } catch (...) {
    }
    try {
        metadata.xmp = image->xmpPacket();
        if (metadata.xmp.empty() && !image->xmpData().empty()) Exiv2::XmpParser::encode(metadata.xmp, image->xmpData());
    } catch (...) {
        metadata.xmp.clear();
    }
    try {
        if (!image->iptcData().empty()) {
            const Exiv2::DataBuf iptc = Exiv2::IptcParser::encode(image->iptcData());
            metadata.iptc.assign(iptc.pData_, iptc.pData_ + iptc.size_);
        }
    } catch (...) {
        metadata.iptc.clear();
    }
    try {
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf* icc = image->iccProfile();
            metadata.icc.assign(icc->pData_, icc->pData_ + icc->size_);
        }
    } catch (...) {
        metadata.icc.clear();
    }
    return metadata;
}

// Tags that describe how the source stored its pixels (a TIFF's strips, its
// compression, its sample layout) or show the unedited picture; none of them
// is true of a saved file.
constexpr const char* kLayoutTags[] = {
    "Exif.Image.ImageWidth",      "Exif.Image.ImageLength",   "Exif.Image.BitsPerSample",
    "Exif.Image.Compression",     "Exif.Image.PhotometricInterpretation", "Exif.Image.StripOffsets",
    "Exif.Image.SamplesPerPixel", "Exif.Image.RowsPerStrip",  "Exif.Image.StripByteCounts",
    "Exif.Image.PlanarConfiguration", "Exif.Image.TileWidth", "Exif.Image.TileLength",
    "Exif.Image.TileOffsets",     "Exif.Image.TileByteCounts", "Exif.Image.SubIFDs",
    "Exif.Image.ExtraSamples",    "Exif.Image.SampleFormat",  "Exif.Image.JPEGInterchangeFormat",
    "Exif.Image.JPEGInterchangeFormatLength", "Exif.Image.NewSubfileType", "Exif.Image.Predictor",
    "Exif.Image.ColorMap",        "Exif.Image.YCbCrSubSampling", "Exif.Image.YCbCrPositioning",
    "Exif.Image.InterColorProfile", "Exif.Image.XMLPacket",  "Exif.Image.IPTCNAA",
    "Exif.Image.ImageResources",
};

std::vector<std::uint8_t> ExifForSave(const std::vector<std::uint8_t>& exif, int width, int height, bool keepOrientation) {
    Exiv2::ExifData data;
    Exiv2::ExifParser::decode(data, exif.data(), static_cast<std::uint32_t>(exif.size()));
    Exiv2::ExifThumb(data).erase();
    for (const char* key : kLayoutTags) {
        auto found = data.findKey(Exiv2::ExifKey(key));
        while (found != data.end()) {
            data.erase(found);
            found = data.findKey(Exiv2::ExifKey(key));
        }
    }
    // Keys only some files have: the whole IFD1 is the thumbnail's.
    for (auto it = data.begin(); it != data.end();) it = it->groupName() == "Thumbnail" ? data.erase(it) : std::next(it);
    if (!keepOrientation) data["Exif.Image.Orientation"] = static_cast<std::uint16_t>(1);
    data["Exif.Photo.PixelXDimension"] = static_cast<std::uint32_t>(width);
    data["Exif.Photo.PixelYDimension"] = static_cast<std::uint32_t>(height);
    return EncodeExif(data);
}

std::string XmpForSave(const std::string& xmp, int width, int height, bool keepOrientation) {
    Exiv2::XmpData data;
    if (Exiv2::XmpParser::decode(data, xmp) != 0) return {};
    auto setIfPresent = [&](const char* key, const std::string& value) {
        if (data.findKey(Exiv2::XmpKey(key)) != data.end()) data[key] = value;
    };
    if (!keepOrientation) setIfPresent("Xmp.tiff.Orientation", "1");
    setIfPresent("Xmp.tiff.ImageWidth", std::to_string(width));
    setIfPresent("Xmp.tiff.ImageLength", std::to_string(height));
    setIfPresent("Xmp.exif.PixelXDimension", std::to_string(width));
    setIfPresent("Xmp.exif.PixelYDimension", std::to_string(height));
    std::string packet;
    if (Exiv2::XmpParser::encode(packet, data) != 0) return {};
    return packet;
}

}  // namespace

PictureMetadata ReadPictureMetadata(const std::uint8_t* data, std::size_t size, PictureFormat format) {
    SetUpExiv2();
    switch (format) {
        case PictureFormat::Jpeg: return KeepWhatParses(ReadJpegBlocks(data, size));
        case PictureFormat::Png:
        case PictureFormat::Tiff:
        case PictureFormat::Webp: return KeepWhatParses(ReadWithExiv2(data, size));
        case PictureFormat::Heif: {
            PictureMetadata metadata;
            try {
                metadata = ReadHeifMetadata(data, size);
            } catch (...) {
            }
            metadata.orientationApplied = true;
            return KeepWhatParses(std::move(metadata));
        }
        default: return {};
    }
}

int PictureOrientation(const PictureMetadata& metadata) {
    if (metadata.orientationApplied || metadata.exif.empty()) return 1;
    SetUpExiv2();
    try {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, metadata.exif.data(), static_cast<std::uint32_t>(metadata.exif.size()));
        const auto found = data.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (found == data.end() || found->count() < 1) return 1;
        const long value = found->toLong(0);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    } catch (...) {
        return 1;
    }
}

PictureMetadata MetadataForSavedPicture(const PictureMetadata& metadata, int width, int height) {
    SetUpExiv2();
    PictureMetadata saved;
    const bool keepOrientation = metadata.pixelsAsStored && !metadata.orientationApplied;
    try {
        if (!metadata.exif.empty()) saved.exif = ExifForSave(metadata.exif, width, height, keepOrientation);
    } catch (...) {
        saved.exif.clear();
    }
    try {
        if (!metadata.xmp.empty()) saved.xmp = XmpForSave(metadata.xmp, width, height, keepOrientation);
    } catch (...) {
        saved.xmp.clear();
    }
    saved.iptc = metadata.iptc;
    saved.icc = metadata.icc;
    return saved;
}

namespace {

// One try of exiv2's JPEG writer with the given blocks set.
std::vector<std::uint8_t> WriteJpegBlocks(const std::vector<std::uint8_t>& jpeg, const PictureMetadata& metadata) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    image->readMetadata();
    if (!metadata.exif.empty()) {
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, metadata.exif.data(), static_cast<std::uint32_t>(metadata.exif.size()));
        image->setExifData(exif);
    }
    if (!metadata.xmp.empty()) {
        image->setXmpPacket(metadata.xmp);
        image->writeXmpFromPacket(true);
    }
    if (!metadata.iptc.empty()) {
        Exiv2::IptcData iptc;
        if (Exiv2::IptcParser::decode(iptc, metadata.iptc.data(), static_cast<std::uint32_t>(metadata.iptc.size())) != 0)
            throw Exiv2::Error(Exiv2::kerCorruptedMetadata);
        image->setIptcData(iptc);
    }
    if (!metadata.icc.empty()) {
        Exiv2::DataBuf icc(metadata.icc.data(), static_cast<long>(metadata.icc.size()));
        image->setIccProfile(icc, true);
    }
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.open();
    const long size = io.size();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    io.seek(0, Exiv2::BasicIo::beg);
    if (io.read(bytes.data(), size) != size) throw Exiv2::Error(Exiv2::kerInputDataReadFailed);
    io.close();
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> InsertJpegMetadata(const std::vector<std::uint8_t>& jpeg, const PictureMetadata& metadata) {
    if (metadata.empty()) return jpeg;
    SetUpExiv2();
    try {
        return WriteJpegBlocks(jpeg, metadata);
    } catch (...) {
    }
    // A block the writer refuses is left out; the others are added one by one.
    PictureMetadata kept;
    auto tryWith = [&](auto change) {
        PictureMetadata attempt = kept;
        change(attempt);
        try {
            WriteJpegBlocks(jpeg, attempt);
            kept = attempt;
        } catch (...) {
        }
    };
    tryWith([&](PictureMetadata& m) { m.exif = metadata.exif; });
    tryWith([&](PictureMetadata& m) { m.xmp = metadata.xmp; });
    tryWith([&](PictureMetadata& m) { m.iptc = metadata.iptc; });
    tryWith([&](PictureMetadata& m) { m.icc = metadata.icc; });
    if (kept.empty()) return jpeg;
    try {
        return WriteJpegBlocks(jpeg, kept);
    } catch (...) {
        return jpeg;
    }
}

}  // namespace corvellin
