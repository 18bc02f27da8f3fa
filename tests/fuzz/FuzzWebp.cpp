// libFuzzer target: the WebP reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "picture/Error.h"
#include "picture/WebpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const corvellin::Picture picture = corvellin::DecodeWebp(data, size);
        (void)picture;
    } catch (const corvellin::Error&) {
    }
    return 0;
}
