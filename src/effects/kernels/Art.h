// The Art kernels: reliefs, scatter, histogram equalisation, blur, mosaic,
// brightness and contrast, saturation. Each rewrites the picture in place and
// accepts a picture of any size, including an empty one.
//
// The arithmetic is exact: rounding goes to the nearest integer with halves to
// the even neighbour, "extended precision" is long double. The shipped paths
// use tables, integer formulas and vector code; the tests prove them equal to
// the literal formulas over every input.
#pragma once

#include <cstdint>

#include "ByteTables.h"
#include "effects/EffectContext.h"
#include "picture/Picture.h"

namespace corvellin {

// g = Round((0.3 R + 0.59 G) + 0.11 B) in extended precision, into all three channels.
void GrayScale(Picture& picture, BandPool* bands = nullptr);

enum class EmbossDirection { LowerLeft, UpperLeft };

// GrayScale, then every pixel with a diagonal neighbour (x - 1 on the row below
// for lower-left, above for upper-left) becomes c - neighbour + 128, clamped.
// Column 0 and the row without a neighbour keep their grey.
void Emboss(Picture& picture, EmbossDirection direction, BandPool* bands = nullptr);

// The scatter's random numbers: a 32-bit linear congruential generator.
class ScatterRandom {
public:
    static constexpr std::uint32_t kMultiplier = 134775813u;
    explicit ScatterRandom(std::uint32_t seed) : seed_(seed) {}
    // A uniform integer 0..n - 1: the upper 32 bits of seed x n after one step.
    std::uint32_t Next(std::uint32_t n) {
        seed_ = seed_ * kMultiplier + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
    }
    std::uint32_t seed() const { return seed_; }

private:
    std::uint32_t seed_;
};

// The low 32 bits of the monotonic clock in nanoseconds.
std::uint32_t ClockSeed();

inline constexpr int kMaxScatterRadius = 50;

// Every pixel takes the colour of a random pixel at most r away in each
// direction (offsets clamped to the picture), drawn from an unchanged copy.
// The generator is seeded with the context's fixed seed when it has one, else
// from the clock at every call. A radius outside 0..50 is limited to that range.
void Scatter(const EffectContext& context, Picture& picture, int radius);
void ScatterWithSeed(Picture& picture, int radius, std::uint32_t seed);

struct ChannelTables {
    ByteTable blue, green, red;
};

// The output level of every value of every channel:
// Round((C(v) x 255 / W) / H), C the running count of the channel's histogram.
ChannelTables EqualizeLevels(const Picture& picture, BandPool* bands = nullptr);
// Counts the three histograms, then maps every channel through its levels.
void EqualizeHistogram(Picture& picture, BandPool* bands = nullptr);

// One in-place pass: every pixel becomes the truncated mean of the four pixels
// at distance d diagonally (indices clamped to the picture), reading each
// sample in its state at that moment. A distance below 1 does nothing.
void BlurPass(Picture& picture, int distance);
// BlurPass at n, n - 1, ..., 1; nothing for n < 1.
void Blur(Picture& picture, int passes);

// Pixel (x, y) takes the colour of (b floor(x / b), b floor(y / b)). A block
// size below 1 does nothing.
void Mosaic(Picture& picture, int blockSize, BandPool* bands = nullptr);

// v' = Round(k v + c), clamped, with c = Round((a - 127 k) + 127).
ByteTable BrightnessContrastTable(int brightness, double contrast);
void BrightnessContrast(Picture& picture, int brightness, double contrast, BandPool* bands = nullptr);

// Channels scaled by s / 256 around the truncated mean (R + G + B) div 3,
// through the tables S[i] = (i s) >> 8 (16-bit) and T[k] = k div 3 - S[k div 3].
void AdjustSaturation(Picture& picture, int amount, BandPool* bands = nullptr);

namespace detail {
// The portable paths of the kernels that also have a hand-vectorised one.
void GrayScalePortable(std::uint8_t* bytes, std::size_t pixels);
// Whether GrayScale's vector path runs on this processor.
bool HasGrayScaleVectorPath();
// AdjustSaturation over a bare run of pixels.
void AdjustSaturationPixels(std::uint8_t* bytes, std::size_t pixels, int amount);
// Its arithmetic path alone, for amounts 0 to 65,792 (others change nothing);
// the dispatch above prefers the byte permute path where the processor has one.
void AdjustSaturationArithmetic(std::uint8_t* bytes, std::size_t pixels, int amount);
// BlurPass over a bare run of height rows of width pixels.
void BlurPassBytes(std::uint8_t* bytes, int width, int height, int distance);
}  // namespace detail

}  // namespace corvellin
