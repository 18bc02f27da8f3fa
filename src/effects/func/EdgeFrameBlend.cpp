#include "EdgeFrameBlend.h"

#include <stdexcept>

#include "BlendArithmetic.h"

namespace corvellin {
namespace {

void RequireSameSize(const Picture& target, const Picture& other) {
    if (target.width() != other.width() || target.height() != other.height())
        throw std::invalid_argument("An edge or frame mask must have the size of its picture");
}

}  // namespace

__attribute__((target_clones("avx2", "default")))
void EdgeBlend(Picture& target, const Picture& mask, std::uint32_t colour) {
    RequireSameSize(target, mask);
    const unsigned blue = (colour >> 16) & 0xFFu, green = (colour >> 8) & 0xFFu, red = colour & 0xFFu;
    std::uint8_t* t = target.data();
    const std::uint8_t* m = mask.data();
    const std::size_t n = target.byteCount();
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned w = m[i + 2];
        t[i] = MixChannel(t[i], blue, w);
        t[i + 1] = MixChannel(t[i + 1], green, w);
        t[i + 2] = MixChannel(t[i + 2], red, w);
    }
}

__attribute__((target_clones("avx2", "default")))
void FrameBlend(Picture& target, const Picture& frame, const Picture& mask) {
    RequireSameSize(target, mask);
    RequireSameSize(target, frame);
    std::uint8_t* t = target.data();
    const std::uint8_t* f = frame.data();
    const std::uint8_t* m = mask.data();
    const std::size_t n = target.byteCount();
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned w = m[i + 2];
        t[i] = MixChannel(f[i], t[i], w);
        t[i + 1] = MixChannel(f[i + 1], t[i + 1], w);
        t[i + 2] = MixChannel(f[i + 2], t[i + 2], w);
    }
}

}  // namespace corvellin
