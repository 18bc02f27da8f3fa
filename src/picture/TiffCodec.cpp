#include "TiffCodec.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <tiffio.h>

#include "Error.h"
#include "Limits.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

struct MemoryFile {
    const std::uint8_t* data;
    std::size_t size;
    toff_t at = 0;
    std::string error;  // libtiff's first error text
};

tsize_t ReadProc(thandle_t handle, tdata_t out, tsize_t count) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (file->at >= file->size || count <= 0) return 0;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), file->size - file->at);
    std::memcpy(out, file->data + file->at, n);
    file->at += n;
    return static_cast<tsize_t>(n);
}

tsize_t WriteProc(thandle_t, tdata_t, tsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR) base = file->at;
    if (whence == SEEK_END) base = file->size;
    file->at = base + offset;
    return file->at;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->size; }
int MapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapProc(thandle_t, tdata_t, toff_t) {}

int OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* file = static_cast<MemoryFile*>(user);
    if (file->error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        file->error = text;
        (void)module;
    }
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

[[noreturn]] void Invalid(const std::string& why) { throw Error("TIFF image is not valid. " + why); }

// Rows read from libtiff at a time: a band of packed A, B, G, R words, at
// least one whole strip or row of tiles (see DecodeTiff).
constexpr std::uint32_t kBandRows = 64;

}  // namespace

Picture DecodeTiff(const std::uint8_t* data, std::size_t size) {
    MemoryFile file{data, size, 0, {}};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &file);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxReadFileBytes));
    TIFF* tiff = TIFFClientOpenExt("memory", "rm", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                   UnmapProc, options);
    TIFFOpenOptionsFree(options);
    if (tiff == nullptr) Invalid(file.error.empty() ? "Not a TIFF file." : file.error);
    struct Closer {
        TIFF* tiff;
        ~Closer() { TIFFClose(tiff); }
    } closer{tiff};

    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height))
        Invalid("It has no image size.");
    CheckPictureSize(width, height, "TIFF");

    char message[1024] = "";
    if (!TIFFRGBAImageOK(tiff, message)) Invalid(message);
    TIFFRGBAImage image{};
    // Stop on the first strip or tile that does not read.
    if (!TIFFRGBAImageBegin(&image, tiff, 1, message)) Invalid(message);
    struct ImageEnd {
        TIFFRGBAImage* image;
        ~ImageEnd() { TIFFRGBAImageEnd(image); }
    } imageEnd{&image};
    // Rows as stored: the orientation is applied later, with the EXIF one.
    image.req_orientation = image.orientation;

    // Each read decodes every strip (or row of tiles) it touches from that
    // strip's first row, so a band never ends inside one: bands of 64 rows
    // through a single strip of the whole picture would decode it again for
    // every band, a time that grows with the square of the height.
    std::uint32_t unitRows = 0;
    if (TIFFIsTiled(tiff))
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unitRows);
    else
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unitRows);
    const std::uint32_t bandRows = std::min(height, std::max(kBandRows, unitRows));

    Picture picture(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint32_t> band(static_cast<std::size_t>(width) * bandRows);
    for (std::uint32_t top = 0; top < height; top += bandRows) {
        const std::uint32_t rows = std::min(bandRows, height - top);
        image.row_offset = static_cast<int>(top);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, band.data(), width, rows))
            Invalid(file.error.empty() ? "The picture data cannot be read." : file.error);
        for (std::uint32_t y = 0; y < rows; ++y) {
            const std::uint32_t* in = band.data() + static_cast<std::size_t>(width) * y;
            std::uint8_t* out = picture.row(static_cast<int>(top + y));
            for (std::uint32_t x = 0; x < width; ++x, out += 3) {
                // Samples come with alpha already multiplied in: white shows
                // through by 255 - alpha.
                const std::uint32_t p = in[x], white = 255 - TIFFGetA(p);
                out[0] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetB(p) + white));
                out[1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetG(p) + white));
                out[2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, TIFFGetR(p) + white));
            }
        }
    }
    return picture;
}

}  // namespace corvellin
