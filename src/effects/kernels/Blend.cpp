#include "Blend.h"

#include <cmath>
#include <stdexcept>

#include "BlendArithmetic.h"

namespace corvellin {
namespace {

void RequireSameSize(const Picture& target, const Picture& mask) {
    if (target.width() != mask.width() || target.height() != mask.height())
        throw std::invalid_argument("A blend mask must have the size of its picture");
}

// The definition, for strengths other than the 0.5 that every caller passes.
std::uint8_t AddChannelAnyStrength(unsigned target, unsigned mask, double strength) {
    double v = std::nearbyint(mask * strength + target);
    if (v > 255) v = 255;
    if (v < 0 || std::isnan(v)) v = 0;
    return static_cast<std::uint8_t>(v);
}

}  // namespace

__attribute__((target_clones("avx2", "default")))
void AddBlendBytes(std::uint8_t* t, const std::uint8_t* m, std::size_t n, double strength) {
    if (strength == 0.5) {
        for (std::size_t i = 0; i < n; ++i) t[i] = AddHalfChannel(t[i], m[i]);
    } else {
        for (std::size_t i = 0; i < n; ++i) t[i] = AddChannelAnyStrength(t[i], m[i], strength);
    }
}

__attribute__((target_clones("avx2", "default")))
void MultiplyBlendBytes(std::uint8_t* t, const std::uint8_t* m, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) t[i] = MultiplyChannel(t[i], m[i]);
}

void AddBlend(Picture& target, const Picture& mask, double strength) {
    RequireSameSize(target, mask);
    AddBlendBytes(target.data(), mask.data(), target.byteCount(), strength);
}

void MultiplyBlend(Picture& target, const Picture& mask) {
    RequireSameSize(target, mask);
    MultiplyBlendBytes(target.data(), mask.data(), target.byteCount());
}

}  // namespace corvellin
