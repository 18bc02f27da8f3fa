#include "Picture.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace corvellin {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this the rounding to whole huge pages would waste too much.
constexpr std::size_t kHugePagesFrom = 4 * kHugePage;

std::size_t RoundedToHugePages(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// The nearest-neighbour columns: the byte offset of the source pixel of each
// destination column, and one destination row gathered through them.
std::vector<std::size_t> ColumnOffsets(std::int64_t sourceWidth, int width) {
    std::vector<std::size_t> offsets(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) offsets[static_cast<std::size_t>(x)] = static_cast<std::size_t>(x * sourceWidth / width) * 3;
    return offsets;
}

void GatherRow(const std::uint8_t* in, const std::vector<std::size_t>& offsets, std::uint8_t* out) {
    for (const std::size_t offset : offsets) {
        const std::uint8_t* p = in + offset;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out += 3;
    }
}

}  // namespace

void* AllocatePixelBytes(std::size_t bytes) {
    if (bytes < kHugePagesFrom) return ::operator new(bytes);
    const std::size_t rounded = RoundedToHugePages(bytes);
    void* pointer = std::aligned_alloc(kHugePage, rounded);
    if (pointer == nullptr) throw std::bad_alloc();
    // Only advice: where the kernel has no huge pages, ordinary ones serve.
    ::madvise(pointer, rounded, MADV_HUGEPAGE);
    return pointer;
}

void FreePixelBytes(void* pointer, std::size_t bytes) {
    if (bytes < kHugePagesFrom)
        ::operator delete(pointer);
    else
        std::free(pointer);
}

Picture::Picture(int width, int height) { resize(width, height); }

void Picture::resize(int width, int height) {
    if (width < 0 || height < 0) throw std::invalid_argument("Picture size must not be negative");
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
}

void StretchNearestInto(const Picture& source, Picture& destination) {
    const int dw = destination.width();
    const int dh = destination.height();
    if (destination.empty()) return;
    if (source.empty()) {
        std::memset(destination.data(), 0, destination.byteCount());
        return;
    }
    const std::int64_t sw = source.width();
    const std::int64_t sh = source.height();
    if (sw == dw && sh == dh) {
        std::memcpy(destination.data(), source.data(), source.byteCount());
        return;
    }
    const std::vector<std::size_t> columnOffset = ColumnOffsets(sw, dw);
    int previousSourceRow = -1;
    for (int y = 0; y < dh; ++y) {
        const int sy = static_cast<int>(y * sh / dh);
        std::uint8_t* out = destination.row(y);
        if (sy == previousSourceRow) {
            std::memcpy(out, destination.row(y - 1), destination.stride());
            continue;
        }
        GatherRow(source.row(sy), columnOffset, out);
        previousSourceRow = sy;
    }
}

NearestRowStretcher::NearestRowStretcher(const Picture& source, int width, int height)
    : source_(source), width_(width), height_(height), row_(static_cast<std::size_t>(width > 0 ? width : 0) * 3, 0) {
    if (source.empty() || width <= 0) return;
    columnOffset_ = ColumnOffsets(source.width(), width);
}

const std::uint8_t* NearestRowStretcher::Row(int y) {
    if (source_.empty() || width_ <= 0 || height_ <= 0) return row_.data();  // black
    const int sy = static_cast<int>(static_cast<std::int64_t>(y) * source_.height() / height_);
    if (source_.width() == width_) return source_.row(sy);
    if (sy != cachedSourceRow_) {
        GatherRow(source_.row(sy), columnOffset_, row_.data());
        cachedSourceRow_ = sy;
    }
    return row_.data();
}

Picture StretchNearest(const Picture& source, int width, int height) {
    Picture result(width, height);
    StretchNearestInto(source, result);
    return result;
}

}  // namespace corvellin
