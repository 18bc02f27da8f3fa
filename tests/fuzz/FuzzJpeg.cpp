// libFuzzer target: the JPEG reader on arbitrary bytes. A refused file throws
// corvellin::Error; anything else (a crash, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>

#include "picture/Error.h"
#include "picture/JpegCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const corvellin::Picture picture = corvellin::DecodeJpeg(data, size);
        (void)picture;
    } catch (const corvellin::Error&) {
    }
    return 0;
}
