// libFuzzer target: the BMP reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "picture/BmpCodec.h"
#include "picture/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const corvellin::Picture picture = corvellin::DecodeBmp(data, size);
        (void)picture;
    } catch (const corvellin::Error&) {
    }
    return 0;
}
