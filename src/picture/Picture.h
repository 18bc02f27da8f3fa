// A picture as every effect sees it: 8-bit blue, green, red per pixel in that
// byte order, row 0 at the top, rows packed without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvellin {

// Pixel storage. A large picture is placed on a 2 MiB boundary and offered to
// the kernel's transparent huge pages, so that touching a 24-megapixel picture
// for the first time costs a few dozen page faults instead of some eighteen
// thousand; small ones come from the ordinary heap.
void* AllocatePixelBytes(std::size_t bytes);
void FreePixelBytes(void* pointer, std::size_t bytes);

// An uninitialised buffer of pixel storage, for a kernel's working copy.
class PixelBuffer {
public:
    explicit PixelBuffer(std::size_t bytes) : bytes_(bytes), data_(static_cast<std::uint8_t*>(AllocatePixelBytes(bytes))) {}
    ~PixelBuffer() { FreePixelBytes(data_, bytes_); }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    std::uint8_t* data() { return data_; }

private:
    std::size_t bytes_;
    std::uint8_t* data_;
};

template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocatePixelBytes(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreePixelBytes(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const PixelAllocator<U>&) const { return true; }
};

class Picture {
public:
    Picture() = default;
    // A black picture of the given size; a size of 0 in either direction is empty.
    Picture(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }
    std::size_t byteCount() const { return bytes_.size(); }

    std::uint8_t* data() { return bytes_.data(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    std::uint8_t* row(int y) { return bytes_.data() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return bytes_.data() + stride() * static_cast<std::size_t>(y); }

    // Replaces size and pixels; the new pixels are black.
    void resize(int width, int height);

    bool operator==(const Picture& other) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> bytes_;
};

// Nearest-neighbour stretch of the whole source onto the whole destination:
// destination column x takes source column x * sourceWidth / destWidth (rounded
// down), rows likewise. One source pixel per destination pixel, never an average;
// the aspect ratio is not kept. An empty source gives a black destination.
Picture StretchNearest(const Picture& source, int width, int height);
void StretchNearestInto(const Picture& source, Picture& destination);

// The rows of StretchNearest(source, width, height), one at a time, without
// making the whole stretched picture: a full-size mask would otherwise cost a
// picture-sized allocation for every effect. Row(y) is valid until the next call.
class NearestRowStretcher {
public:
    NearestRowStretcher(const Picture& source, int width, int height);
    const std::uint8_t* Row(int y);

private:
    const Picture& source_;
    int width_, height_;
    std::vector<std::size_t> columnOffset_;
    std::vector<std::uint8_t> row_;
    int cachedSourceRow_ = -1;
};

}  // namespace corvellin
