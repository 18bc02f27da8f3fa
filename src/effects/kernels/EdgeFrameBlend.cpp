#include "EdgeFrameBlend.h"

#include <immintrin.h>

#include <stdexcept>
#include <vector>

namespace corvellin {
namespace {

void RequireSameSize(const Picture& target, const Picture& other) {
    if (target.width() != other.width() || target.height() != other.height())
        throw std::invalid_argument("An edge or frame mask must have the size of its picture");
}

// The weight of every byte of a row: the red (third) byte of its pixel, XORed
// with flip (0, or 255 for 255 - red). With the weights laid out per byte, the
// mix runs as one flat, vectorisable loop.
__attribute__((target_clones("avx2", "default")))
void SpreadRedWeights(const std::uint8_t* mask, std::size_t bytes, std::uint8_t flip, std::uint8_t* weights) {
    for (std::size_t i = 0; i < bytes; i += 3)
        weights[i] = weights[i + 1] = weights[i + 2] = static_cast<std::uint8_t>(mask[i + 2] ^ flip);
}

// row x w + other x (255 - w), rounded, with the picture's row as one operand
// and the destination, written in place with one pointer so the compiler
// vectorises without alias checks. Edge mixes with the red weights; Frame,
// frame x w + row x (255 - w), is the same mix with the weights 255 - red.
// 16-bit lanes suffice: a x w + b x (255 - w) + 128 + its high byte stays below 65,536.
__attribute__((target_clones("avx2", "default")))
void MixRow(std::uint8_t* row, const std::uint8_t* other, const std::uint8_t* weights, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t w = weights[i];
        const std::uint16_t x = static_cast<std::uint16_t>(row[i] * w + other[i] * (255 - w) + 128);
        row[i] = static_cast<std::uint8_t>((x + (x >> 8)) >> 8);
    }
}

// The fused SSSE3 path: sixteen pixels (48 bytes) at a time, each pixel's red
// mask byte spread to its three bytes by byte shuffles, then the same integer
// mix as above in 16-bit lanes. With d = a - b the mixed value is
// b x 256 - b + d x w + 128, computed modulo 2^16: the true value lies in
// 128..65,153, so the wrapped intermediate products give it exactly.
__attribute__((target("ssse3"))) inline __m128i Mix16(__m128i a, __m128i b, __m128i w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(128);
    auto half = [&](__m128i a16, __m128i b16, __m128i w16) {
        __m128i x = _mm_sub_epi16(_mm_slli_epi16(b16, 8), b16);
        x = _mm_add_epi16(x, _mm_mullo_epi16(_mm_sub_epi16(a16, b16), w16));
        x = _mm_add_epi16(x, round);
        return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(w, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(w, zero));
    return _mm_packus_epi16(lo, hi);
}

// The same mix with AVX2: sixteen bytes widen into one 256-bit register of
// 16-bit lanes, so each block takes about half the instructions.
__attribute__((target("avx2"))) inline __m128i Mix16Avx2(__m128i a, __m128i b, __m128i w) {
    const __m256i a16 = _mm256_cvtepu8_epi16(a), b16 = _mm256_cvtepu8_epi16(b), w16 = _mm256_cvtepu8_epi16(w);
    __m256i x = _mm256_sub_epi16(_mm256_slli_epi16(b16, 8), b16);
    x = _mm256_add_epi16(x, _mm256_mullo_epi16(_mm256_sub_epi16(a16, b16), w16));
    x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    x = _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
    return _mm_packus_epi16(_mm256_castsi256_si128(x), _mm256_extracti128_si256(x, 1));
}

// Mixes the first multiple of 48 bytes of the row and returns how many it did.
// keepWhereWhite: row is a (Edge); otherwise other is a and row is b (Frame).
#define CORVELLIN_MIX_ROW(NAME, TARGET, MIX)                                                                      \
    __attribute__((target(TARGET))) std::size_t NAME(std::uint8_t* row, const std::uint8_t* other,               \
                                                     const std::uint8_t* mask, std::size_t n, bool keepWhereWhite) { \
        const char z = static_cast<char>(0x80);                                                                   \
        const __m128i w0a = _mm_setr_epi8(2, 2, 2, 5, 5, 5, 8, 8, 8, 11, 11, 11, 14, 14, 14, z);                 \
        const __m128i w0b = _mm_setr_epi8(z, z, z, z, z, z, z, z, z, z, z, z, z, z, z, 1);                       \
        const __m128i w1a = _mm_setr_epi8(1, 1, 4, 4, 4, 7, 7, 7, 10, 10, 10, 13, 13, 13, z, z);                 \
        const __m128i w1b = _mm_setr_epi8(z, z, z, z, z, z, z, z, z, z, z, z, z, z, 0, 0);                       \
        const __m128i w2a = _mm_setr_epi8(0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15, 15);                 \
        std::size_t i = 0;                                                                                        \
        for (; i + 48 <= n; i += 48) {                                                                            \
            const __m128i m0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));                      \
            const __m128i m1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i + 16));                 \
            const __m128i m2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i + 32));                 \
            const __m128i w[3] = {_mm_or_si128(_mm_shuffle_epi8(m0, w0a), _mm_shuffle_epi8(m1, w0b)),            \
                                  _mm_or_si128(_mm_shuffle_epi8(m1, w1a), _mm_shuffle_epi8(m2, w1b)),            \
                                  _mm_shuffle_epi8(m2, w2a)};                                                     \
            for (int k = 0; k < 3; ++k) {                                                                         \
                auto* r = reinterpret_cast<__m128i*>(row + i + 16 * k);                                           \
                const __m128i t = _mm_loadu_si128(r);                                                             \
                const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(other + i + 16 * k));         \
                _mm_storeu_si128(r, keepWhereWhite ? MIX(t, o, w[k]) : MIX(o, t, w[k]));                          \
            }                                                                                                     \
        }                                                                                                         \
        return i;                                                                                                 \
    }

CORVELLIN_MIX_ROW(MixRowSsse3, "ssse3", Mix16)
CORVELLIN_MIX_ROW(MixRowAvx2, "avx2", Mix16Avx2)
#undef CORVELLIN_MIX_ROW

using MixRowFunction = std::size_t (*)(std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::size_t, bool);

// The widest path this processor runs, or none.
MixRowFunction VectorMixRow() {
    if (__builtin_cpu_supports("avx2")) return MixRowAvx2;
    if (__builtin_cpu_supports("ssse3")) return MixRowSsse3;
    return nullptr;
}

const MixRowFunction kVectorMixRow = VectorMixRow();

}  // namespace

EdgeFrameRowMixer::EdgeFrameRowMixer(std::size_t rowBytes, std::uint32_t colour)
    : bytes_(rowBytes), colourRow_(rowBytes), weights_(rowBytes) {
    for (std::size_t i = 0; i + 2 < rowBytes; i += 3) {
        colourRow_[i] = static_cast<std::uint8_t>(colour >> 16);  // blue
        colourRow_[i + 1] = static_cast<std::uint8_t>(colour >> 8);
        colourRow_[i + 2] = static_cast<std::uint8_t>(colour);  // red
    }
}

bool EdgeFrameRowMixer::Runs(Path path) {
    switch (path) {
        case Path::Widest:
        case Path::Plain: return true;
        case Path::Avx2: return __builtin_cpu_supports("avx2");
        case Path::Ssse3: return __builtin_cpu_supports("ssse3");
    }
    return false;
}

EdgeFrameRowMixer::Path EdgeFrameRowMixer::WidestPath() {
    if (kVectorMixRow == MixRowAvx2) return Path::Avx2;
    if (kVectorMixRow == MixRowSsse3) return Path::Ssse3;
    return Path::Plain;
}

const char* EdgeFrameRowMixer::PathName(Path path) {
    switch (path) {
        case Path::Widest: return PathName(WidestPath());
        case Path::Avx2: return "AVX2";
        case Path::Ssse3: return "SSSE3";
        case Path::Plain: return "plain";
    }
    return "plain";
}

std::size_t EdgeFrameRowMixer::VectorPart(std::uint8_t* target, const std::uint8_t* other, const std::uint8_t* mask,
                                          bool keepWhereWhite) {
    if (!Runs(path_)) return 0;
    switch (path_) {
        case Path::Widest: return kVectorMixRow ? kVectorMixRow(target, other, mask, bytes_, keepWhereWhite) : 0;
        case Path::Avx2: return MixRowAvx2(target, other, mask, bytes_, keepWhereWhite);
        case Path::Ssse3: return MixRowSsse3(target, other, mask, bytes_, keepWhereWhite);
        case Path::Plain: return 0;
    }
    return 0;
}

void EdgeFrameRowMixer::EdgeRow(std::uint8_t* target, const std::uint8_t* mask) {
    const std::size_t done = VectorPart(target, colourRow_.data(), mask, true);
    SpreadRedWeights(mask + done, bytes_ - done, 0, weights_.data());
    MixRow(target + done, colourRow_.data() + done, weights_.data(), bytes_ - done);
}

void EdgeFrameRowMixer::FrameRow(std::uint8_t* target, const std::uint8_t* frame, const std::uint8_t* mask) {
    const std::size_t done = VectorPart(target, frame, mask, false);
    SpreadRedWeights(mask + done, bytes_ - done, 255, weights_.data());
    MixRow(target + done, frame + done, weights_.data(), bytes_ - done);
}

void EdgeBlend(Picture& target, const Picture& mask, std::uint32_t colour) {
    RequireSameSize(target, mask);
    EdgeFrameRowMixer mixer(target.stride(), colour);
    for (int y = 0; y < target.height(); ++y) mixer.EdgeRow(target.row(y), mask.row(y));
}

void FrameBlend(Picture& target, const Picture& frame, const Picture& mask) {
    RequireSameSize(target, mask);
    RequireSameSize(target, frame);
    EdgeFrameRowMixer mixer(target.stride());
    for (int y = 0; y < target.height(); ++y) mixer.FrameRow(target.row(y), frame.row(y), mask.row(y));
}

}  // namespace corvellin
