#include "EdgeFrameBlend.h"

#include <stdexcept>
#include <vector>


namespace corvellin {
namespace {

void RequireSameSize(const Picture& target, const Picture& other) {
    if (target.width() != other.width() || target.height() != other.height())
        throw std::invalid_argument("An edge or frame mask must have the size of its picture");
}

// The weight of every byte of a row: the red (third) byte of its pixel. With
// the weights laid out per byte, the mix runs as one flat, vectorisable loop.
__attribute__((target_clones("avx2", "default")))
void SpreadRedWeights(const std::uint8_t* mask, std::size_t bytes, std::uint8_t* weights) {
    for (std::size_t i = 0; i < bytes; i += 3) weights[i] = weights[i + 1] = weights[i + 2] = mask[i + 2];
}

// The mixes with the picture's row as one operand and the destination, written
// in place with one pointer so the compiler vectorises without alias checks.
// 16-bit lanes suffice: a x w + b x (255 - w) + 128 + its high byte stays below 65,536.
__attribute__((target_clones("avx2", "default")))
void MixRowKeepWhereWhite(std::uint8_t* row, const std::uint8_t* other, const std::uint8_t* weights, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t w = weights[i];
        const std::uint16_t x = static_cast<std::uint16_t>(row[i] * w + other[i] * (255 - w) + 128);
        row[i] = static_cast<std::uint8_t>((x + (x >> 8)) >> 8);
    }
}

__attribute__((target_clones("avx2", "default")))
void MixRowReplaceWhereWhite(std::uint8_t* row, const std::uint8_t* other, const std::uint8_t* weights, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t w = weights[i];
        const std::uint16_t x = static_cast<std::uint16_t>(other[i] * w + row[i] * (255 - w) + 128);
        row[i] = static_cast<std::uint8_t>((x + (x >> 8)) >> 8);
    }
}

}  // namespace

EdgeFrameRowMixer::EdgeFrameRowMixer(std::size_t rowBytes, std::uint32_t colour)
    : bytes_(rowBytes), colourRow_(rowBytes), weights_(rowBytes) {
    for (std::size_t i = 0; i + 2 < rowBytes; i += 3) {
        colourRow_[i] = static_cast<std::uint8_t>(colour >> 16);  // blue
        colourRow_[i + 1] = static_cast<std::uint8_t>(colour >> 8);
        colourRow_[i + 2] = static_cast<std::uint8_t>(colour);  // red
    }
}

void EdgeFrameRowMixer::EdgeRow(std::uint8_t* target, const std::uint8_t* mask) {
    SpreadRedWeights(mask, bytes_, weights_.data());
    MixRowKeepWhereWhite(target, colourRow_.data(), weights_.data(), bytes_);
}

void EdgeFrameRowMixer::FrameRow(std::uint8_t* target, const std::uint8_t* frame, const std::uint8_t* mask) {
    SpreadRedWeights(mask, bytes_, weights_.data());
    MixRowReplaceWhereWhite(target, frame, weights_.data(), bytes_);
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
