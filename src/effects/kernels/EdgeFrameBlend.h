// The kernels of Edge and Frame. Only the mask's red channel is read; it is a
// weight w = red / 255, and the two kernels use it in opposite directions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

// Where the mask is white the picture stays, where it is black the pixel takes
// the colour (0x00BBGGRR), and grey mixes: channel x w + colour x (1 - w).
void EdgeBlend(Picture& target, const Picture& mask, std::uint32_t colour);

// Where the mask is white the frame picture shows, where it is black the
// picture stays, and grey mixes: frame x w + channel x (1 - w).
void FrameBlend(Picture& target, const Picture& frame, const Picture& mask);

// Row forms of the two kernels, for callers that stretch the masks row by row.
// scratch holds the row's spread weights (and the colour row) between calls.
class EdgeFrameRowMixer {
public:
    explicit EdgeFrameRowMixer(std::size_t rowBytes, std::uint32_t colour = 0);
    // Which code mixes the rows: the widest this processor runs, the AVX2 or
    // the SSSE3 path, or the plain loops. Tests hold every path to the
    // definitions; a path the processor cannot run mixes with the plain loops.
    enum class Path { Widest, Avx2, Ssse3, Plain };
    void UsePath(Path path) { path_ = path; }
    // Whether this processor runs the path, and which one Widest is here.
    static bool Runs(Path path);
    static Path WidestPath();
    static const char* PathName(Path path);
    void EdgeRow(std::uint8_t* target, const std::uint8_t* mask);
    void FrameRow(std::uint8_t* target, const std::uint8_t* frame, const std::uint8_t* mask);

private:
    std::size_t bytes_;
    std::vector<std::uint8_t> colourRow_, weights_;
    Path path_ = Path::Widest;
    std::size_t VectorPart(std::uint8_t* target, const std::uint8_t* other, const std::uint8_t* mask, bool keepWhereWhite);
};

}  // namespace corvellin
