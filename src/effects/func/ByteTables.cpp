#include "ByteTables.h"

#include "BytePermute.h"

namespace corvellin {
namespace detail {

void ApplyByteTablePortable(std::uint8_t* bytes, std::size_t count, const ByteTable& table) {
    const std::uint8_t* t = table.data();
    std::size_t i = 0;
    // Four independent lookups per step keep the load ports busy.
    for (; i + 4 <= count; i += 4) {
        const std::uint8_t a = t[bytes[i]], b = t[bytes[i + 1]], c = t[bytes[i + 2]], d = t[bytes[i + 3]];
        bytes[i] = a, bytes[i + 1] = b, bytes[i + 2] = c, bytes[i + 3] = d;
    }
    for (; i < count; ++i) bytes[i] = t[bytes[i]];
}

void ApplyChannelTablesPortable(std::uint8_t* bytes, std::size_t pixels, const ByteTable& blue, const ByteTable& green,
                                const ByteTable& red) {
    const std::uint8_t* tb = blue.data();
    const std::uint8_t* tg = green.data();
    const std::uint8_t* tr = red.data();
    for (std::size_t i = 0; i < pixels; ++i, bytes += 3) {
        const std::uint8_t b = tb[bytes[0]], g = tg[bytes[1]], r = tr[bytes[2]];
        bytes[0] = b, bytes[1] = g, bytes[2] = r;
    }
}

bool HasBytePermute() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
}

namespace {

CORVELLIN_VBMI inline __m512i LookupChannels(const PermuteTable& tb, const PermuteTable& tg, const PermuteTable& tr,
                                             __mmask64 green, __mmask64 red, __m512i x) {
    __m512i v = Lookup(tb, x);
    v = _mm512_mask_blend_epi8(green, v, Lookup(tg, x));
    return _mm512_mask_blend_epi8(red, v, Lookup(tr, x));
}

// Byte k of a 192-byte run (64 pixels) belongs to channel k mod 3; for each of
// the three registers of a run, one mask marks its green bytes and one its red.
CORVELLIN_VBMI void ApplyChannelTablesPermute(std::uint8_t* bytes, std::size_t pixels, const ByteTable& blue,
                                              const ByteTable& green, const ByteTable& red) {
    const PermuteTable tb = LoadPermuteTable(blue), tg = LoadPermuteTable(green), tr = LoadPermuteTable(red);
    __mmask64 greenMask[3] = {0, 0, 0}, redMask[3] = {0, 0, 0};
    for (unsigned k = 0; k < 192; ++k) {
        if (k % 3 == 1) greenMask[k / 64] |= 1ULL << (k % 64);
        if (k % 3 == 2) redMask[k / 64] |= 1ULL << (k % 64);
    }
    const std::size_t count = pixels * 3;
    std::size_t i = 0;
    for (; i + 192 <= count; i += 192) {
        for (unsigned phase = 0; phase < 3; ++phase) {
            std::uint8_t* p = bytes + i + 64 * phase;
            _mm512_storeu_si512(p, LookupChannels(tb, tg, tr, greenMask[phase], redMask[phase], _mm512_loadu_si512(p)));
        }
    }
    for (unsigned phase = 0; i < count; ++phase, i += 64) {
        const std::size_t left = count - i;
        const __mmask64 rest = left >= 64 ? ~0ULL : (1ULL << left) - 1;
        const __m512i x = _mm512_maskz_loadu_epi8(rest, bytes + i);
        _mm512_mask_storeu_epi8(bytes + i, rest, LookupChannels(tb, tg, tr, greenMask[phase], redMask[phase], x));
    }
}

}  // namespace
}  // namespace detail

void detail::ApplyByteTableToPixels(std::uint8_t* bytes, std::size_t count, const ByteTable& table) {
    // The three-table run of 192 bytes measured twice as fast here as a
    // one-table run of 64 bytes, so one table takes the same path.
    if (HasBytePermute())
        ApplyChannelTablesPermute(bytes, count / 3, table, table, table);
    else
        ApplyByteTablePortable(bytes, count, table);
}

void ApplyByteTable(Picture& picture, const ByteTable& table, BandPool* bands) {
    ForEachPixelBand(bands, picture, [&](std::uint8_t* bytes, std::size_t pixels) {
        detail::ApplyByteTableToPixels(bytes, 3 * pixels, table);
    });
}

void ApplyChannelTables(Picture& picture, const ByteTable& blue, const ByteTable& green, const ByteTable& red,
                        BandPool* bands) {
    ForEachPixelBand(bands, picture, [&](std::uint8_t* bytes, std::size_t pixels) {
        detail::ApplyChannelTablesToPixels(bytes, pixels, blue, green, red);
    });
}

void detail::ApplyChannelTablesToPixels(std::uint8_t* bytes, std::size_t pixels, const ByteTable& blue,
                                        const ByteTable& green, const ByteTable& red) {
    if (HasBytePermute())
        ApplyChannelTablesPermute(bytes, pixels, blue, green, red);
    else
        ApplyChannelTablesPortable(bytes, pixels, blue, green, red);
}

}  // namespace corvellin
