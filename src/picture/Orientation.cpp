#include "Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace corvellin {
namespace {

// A pixel moved as four bytes: one load and one store. The fourth byte is
// the first of the next pixel, read where the source goes on and written
// where the destination is filled next, so neither may be the last pixel of
// its picture, and a run written this way ends with Copy3.
inline void Copy4(std::uint8_t* out, const std::uint8_t* in) {
    std::uint32_t v;
    std::memcpy(&v, in, 4);
    std::memcpy(out, &v, 4);
}
inline void Copy3(std::uint8_t* out, const std::uint8_t* in) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
}

bool Turns(int orientation) { return orientation >= 2 && orientation <= 8; }
bool Swaps(int orientation) { return orientation >= 5 && orientation <= 8; }

// Orientations 2 to 4 keep every stored row whole: row sy lands on upright
// row sy (2) or h - 1 - sy (3, 4), read backwards for the mirrors (2, 3).
void TurnRows(const Picture& stored, int top, int bottom, int orientation, Picture& upright) {
    const int w = stored.width(), h = stored.height();
    const bool mirrored = orientation == 2 || orientation == 3;
    for (int sy = top; sy < bottom; ++sy) {
        const std::uint8_t* in = stored.row(sy);
        std::uint8_t* out = upright.row(orientation == 2 ? sy : h - 1 - sy);
        if (!mirrored) {
            std::memcpy(out, in, stored.stride());
            continue;
        }
        // Upright pixel x is stored pixel w - 1 - x. The stored row's last
        // pixel goes by Copy3 (its next byte may lie past the picture), and
        // so does the upright row's last (the next row is another's).
        const std::uint8_t* from = in + 3 * static_cast<std::ptrdiff_t>(w - 1);
        Copy3(out, from);
        for (int x = 1; x < w - 1; ++x) Copy4(out + 3 * x, from - 3 * x);
        if (w > 1) Copy3(out + 3 * static_cast<std::ptrdiff_t>(w - 1), in);
    }
}

// Orientations 5 to 8 make stored column sx the upright row sx (5, 6) or
// w - 1 - sx (7, 8), and stored row sy the upright column sy (5, 8) or
// h - 1 - sy (6, 7). The stored rows go through in square blocks: the block's
// rows and the upright rows it writes stay in the first-level cache, and each
// upright row gets a run of neighbouring pixels at a time.
template <int kOrientation>
void TurnColumns(const Picture& stored, int top, int bottom, Picture& upright) {
    constexpr int kBlock = 16, kBlockColumns = 16;
    constexpr bool kRowFromLeft = kOrientation == 5 || kOrientation == 6;
    constexpr bool kColumnFromTop = kOrientation == 5 || kOrientation == 8;
    const int w = stored.width(), h = stored.height();
    for (int by = top; by < bottom; by += kBlock) {
        const int rows = std::min(kBlock, bottom - by);
        // The upright column of the block's first stored row, and the step to the next.
        const int firstColumn = kColumnFromTop ? by : h - 1 - by;
        // Written left to right: the block's stored rows in that column order.
        const int leftColumn = kColumnFromTop ? firstColumn : firstColumn - (rows - 1);
        const std::uint8_t* in[kBlock];
        for (int i = 0; i < rows; ++i) in[i] = stored.row(kColumnFromTop ? by + i : by + rows - 1 - i);
        for (int bx = 0; bx < w; bx += kBlockColumns) {
            const int columns = std::min(kBlockColumns, w - bx);
            for (int sx = bx; sx < bx + columns; ++sx) {
                std::uint8_t* out = upright.row(kRowFromLeft ? sx : w - 1 - sx) + 3 * static_cast<std::ptrdiff_t>(leftColumn);
                const std::ptrdiff_t at = 3 * static_cast<std::ptrdiff_t>(sx);
                // The run's last pixel by Copy3: the next upright pixel
                // belongs to another block; the stored column's last pixel
                // too, as its next byte may lie past the picture.
                const int fast = sx < w - 1 ? rows - 1 : 0;
                int i = 0;
                for (; i < fast; ++i) Copy4(out + 3 * i, in[i] + at);
                for (; i < rows; ++i) Copy3(out + 3 * i, in[i] + at);
            }
        }
    }
}

}  // namespace

void MirrorRows(Picture& picture, int top, int bottom) {
    const int w = picture.width();
    top = std::max(top, 0);
    bottom = std::min(bottom, picture.height());
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* left = picture.row(y);
        std::uint8_t* right = left + 3 * static_cast<std::ptrdiff_t>(w - 1);
        for (; left < right; left += 3, right -= 3) {
            std::uint8_t kept[3];
            Copy3(kept, left);
            Copy3(left, right);
            Copy3(right, kept);
        }
    }
}

int UprightWidth(int orientation, int storedWidth, int storedHeight) {
    return Swaps(orientation) ? storedHeight : storedWidth;
}

int UprightHeight(int orientation, int storedWidth, int storedHeight) {
    return Swaps(orientation) ? storedWidth : storedHeight;
}

void OrientRowsInto(const Picture& stored, int top, int bottom, int orientation, Picture& upright) {
    top = std::max(top, 0);
    bottom = std::min(bottom, stored.height());
    if (top >= bottom) return;
    switch (orientation) {
        case 5: TurnColumns<5>(stored, top, bottom, upright); break;
        case 6: TurnColumns<6>(stored, top, bottom, upright); break;
        case 7: TurnColumns<7>(stored, top, bottom, upright); break;
        case 8: TurnColumns<8>(stored, top, bottom, upright); break;
        case 2:
        case 3:
        case 4: TurnRows(stored, top, bottom, orientation, upright); break;
        default:
            for (int y = top; y < bottom; ++y) std::memcpy(upright.row(y), stored.row(y), stored.stride());
            break;
    }
}

int UprightRowsDone(int orientation, int storedRows, const Picture& stored) {
    if (!Turns(orientation) || orientation == 2) return storedRows;
    return storedRows >= stored.height() ? UprightHeight(orientation, stored.width(), stored.height()) : 0;
}

Picture OrientUpright(Picture picture, int orientation) {
    if (!Turns(orientation) || picture.empty()) return picture;
    const int w = picture.width(), h = picture.height();
    if (!Swaps(orientation)) {
        // The row turns need no second picture: rows swap top for bottom (3,
        // 4), and each row is mirrored (2, 3).
        if (orientation != 2) {
            std::vector<std::uint8_t> kept(picture.stride());
            for (int y = 0, other = h - 1; y < other; ++y, --other) {
                std::memcpy(kept.data(), picture.row(y), picture.stride());
                std::memcpy(picture.row(y), picture.row(other), picture.stride());
                std::memcpy(picture.row(other), kept.data(), picture.stride());
            }
        }
        if (orientation != 4) MirrorRows(picture, 0, h);
        return picture;
    }
    Picture upright(UprightWidth(orientation, w, h), UprightHeight(orientation, w, h));
    OrientRowsInto(picture, 0, h, orientation, upright);
    return upright;
}

}  // namespace corvellin
