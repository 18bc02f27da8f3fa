// Helpers for the engine tests: temporary folders, files and pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "picture/Picture.h"

namespace corvellin::test {

// A fresh folder under /tmp, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// A file of the given length that takes no space on disk; its folders are
// made. Throws std::runtime_error when it cannot be written.
void WriteSparseFile(const std::string& path, std::uint64_t size);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// A picture of the given size with pseudo-random pixels (fixed seed).
Picture RandomPicture(int width, int height, std::uint32_t seed = 1);

// A picture with every pixel (b, g, r).
Picture SolidPicture(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r);

// Pixel access by coordinates, for readable assertions.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};
Bgr PixelAt(const Picture& picture, int x, int y);
void SetPixel(Picture& picture, int x, int y, Bgr colour);

// Largest channel difference between two pictures of the same size.
int MaxDifference(const Picture& a, const Picture& b);

// Every kind of JPEG file the decoder must read, written straight through
// libjpeg so that fixtures do not depend on our own encoder.
enum class JpegKind { Baseline, Progressive, Arithmetic, Grey, AdobeCmyk, AdobeYcck };

// Samples per pixel a kind takes: 1 (grey), 3 (R, G, B) or 4 (C, M, Y, K as
// Adobe stores them, inverted: 255 means no ink).
int JpegSamplesPerPixel(JpegKind kind);

// fill(y, samples) writes row y's width x JpegSamplesPerPixel(kind) samples.
using JpegRowFiller = std::function<void(int y, std::uint8_t* samples)>;
std::vector<std::uint8_t> EncodeJpegOfKind(JpegKind kind, int width, int height, int quality, const JpegRowFiller& fill);

// A one-component (greyscale) JFIF file of the picture's green channel.
std::vector<std::uint8_t> EncodeGreyJpeg(const Picture& picture);

// Writes a picture as a stored mask file (JPEG or BMP variant) into folder/<category>/<number>.gph.
std::string WriteMaskFile(const std::string& picDir, int category, int number, const Picture& mask, bool asBmp = true);

}  // namespace corvellin::test
