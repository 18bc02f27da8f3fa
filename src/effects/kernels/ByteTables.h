// Table lookups over picture bytes: the fast path of every kernel whose result
// for a channel depends only on that channel's own value (brightness and
// contrast, the histogram map, the duotone map, the colour tints). Each table is
// filled once per call from the kernel's own formula, so the per-pixel work is a
// lookup and the result equals the formula for every value by construction.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "effects/RowBands.h"
#include "picture/Picture.h"

namespace corvellin {

using ByteTable = std::array<std::uint8_t, 256>;

// Every byte of the picture, whatever its channel, through one table.
void ApplyByteTable(Picture& picture, const ByteTable& table, BandPool* bands = nullptr);

// Blue bytes through blue, green through green, red through red.
void ApplyChannelTables(Picture& picture, const ByteTable& blue, const ByteTable& green, const ByteTable& red,
                        BandPool* bands = nullptr);

namespace detail {
// ApplyByteTable over a bare run of pixels (count bytes, a multiple of 3).
void ApplyByteTableToPixels(std::uint8_t* bytes, std::size_t count, const ByteTable& table);
// ApplyChannelTables over a bare run of pixels.
void ApplyChannelTablesToPixels(std::uint8_t* bytes, std::size_t pixels, const ByteTable& blue, const ByteTable& green,
                                const ByteTable& red);
// The portable paths, also used on processors without byte permutes; the
// tests compare them with the dispatched paths.
void ApplyByteTablePortable(std::uint8_t* bytes, std::size_t count, const ByteTable& table);
void ApplyChannelTablesPortable(std::uint8_t* bytes, std::size_t pixels, const ByteTable& blue, const ByteTable& green,
                                const ByteTable& red);
// True when the processor runs the 64-byte permute paths.
bool HasBytePermute();
}  // namespace detail

}  // namespace corvellin
