// Writing the generated pictures: which file each category gets, in which
// variant (JPEG or BMP mask file), and the parallel generation of a folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/Picture.h"

namespace maskgen {

// The categories that get generated mask art, in the order of the catalogue.
inline constexpr std::array<int, 12> kArtCategories = {1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

enum class Encoding { Jpeg, Bmp24, Bmp8 };

struct MaskJob {
    int category;  // 0 stands for the start-up picture default.jpg
    int number;    // 1..10
    bool frameMask;  // pic/12/m<n>.gph rather than pic/12/<n>.gph
    int width, height;
    Encoding encoding;
};

// Every file of the given categories (Frame: ten pictures and ten masks) (an empty list: all of them and default.jpg).
std::vector<MaskJob> JobsFor(const std::vector<int>& categories);

// The plain (unpacked) file bytes of one job: JPEG or BMP.
std::vector<std::uint8_t> RenderJob(const MaskJob& job);

// Paints and writes the jobs into picDir ("<picDir>/<category>/<n>.gph" and
// "<picDir>/default.jpg") on `threads` threads. Every file is written
// atomically. Throws corvellin::Error when a file cannot be written.
void Generate(const std::string& picDir, const std::vector<MaskJob>& jobs, int threads);

// An 8-bit palette BMP (bottom-up, 40-byte header, 256 colours): indices holds
// width x height palette indices, row 0 at the top; palette holds 0x00RRGGBB.
std::vector<std::uint8_t> EncodeBmp8(const std::vector<std::uint8_t>& indices, int width, int height,
                                     const std::array<std::uint32_t, 256>& palette);

}  // namespace maskgen
