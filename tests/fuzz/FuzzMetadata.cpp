// libFuzzer target: the metadata of a JPEG file on arbitrary bytes, read,
// prepared for a saved picture and written into a small JPEG again.
#include <cstddef>
#include <cstdint>

#include "picture/Error.h"
#include "picture/JpegCodec.h"
#include "picture/Metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> jpeg = corvellin::EncodeJpeg(corvellin::Picture(8, 8), 90);
    const corvellin::PictureMetadata read = corvellin::ReadPictureMetadata(data, size, corvellin::PictureFormat::Jpeg);
    (void)corvellin::PictureOrientation(read);
    const corvellin::PictureMetadata saved = corvellin::MetadataForSavedPicture(read, 8, 8);
    const std::vector<std::uint8_t> written = corvellin::InsertJpegMetadata(jpeg, saved);
    // What was written reads back.
    (void)corvellin::ReadPictureMetadata(written.data(), written.size(), corvellin::PictureFormat::Jpeg);
    return 0;
}
