#include "Art.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

#include "BytePermute.h"

namespace corvellin {
namespace {

#define CORVELLIN_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))

std::uint8_t ClampToByte(long double v) {
    if (!(v > 0)) return 0;  // also NaN
    if (v > 255) return 255;
    return static_cast<std::uint8_t>(v);
}

std::uint8_t ClampToByte(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// ---------------------------------------------------------------- GrayScale
//
// With s = 30 R + 59 G + 11 B the exact grey is s / 100, so Round is
// (s + 50) div 100 except where s mod 100 = 50: there the exact value is a
// half, and the extended-precision sum lands a hair above or below it, or on
// it, depending on all three channels. Those pixels (about one in a hundred)
// take the extended sum itself.

// Whether the extended sum of a pixel whose exact grey is down + 0.5 rounds up:
// above the half it does, below it does not, on it only from an odd down.
inline bool HalfRoundsUp(unsigned r, unsigned g, unsigned b, unsigned down) {
    const long double v = (0.3L * r + 0.59L * g) + 0.11L * b;
    const long double half = static_cast<long double>(down) + 0.5L;
    return v > half || (v == half && (down & 1u));
}

// The grey (s + 50) div 100 of every pixel, and which pixels are halves.
CORVELLIN_CLONES void GreyChunk(const std::uint8_t* __restrict in, std::uint8_t* __restrict grey,
                                std::uint8_t* __restrict half, std::size_t pixels) {
    // s <= 25,550 fits 16 bits, so the loop vectorises in 16-bit lanes; the
    // division is the high half of s x 5243, shifted by 3 (exact for s <= 43,689).
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint16_t s = static_cast<std::uint16_t>(11u * in[3 * i] + 59u * in[3 * i + 1] + 30u * in[3 * i + 2] + 50u);
        const std::uint16_t q = static_cast<std::uint16_t>(static_cast<std::uint16_t>((std::uint32_t{s} * 5243u) >> 16) >> 3);
        half[i] = s == static_cast<std::uint16_t>(q * 100u);
        grey[i] = static_cast<std::uint8_t>(q);
    }
}

// Every grey into the three channels of its pixel.
CORVELLIN_CLONES void SpreadGrey(const std::uint8_t* __restrict grey, std::uint8_t* __restrict out, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i) out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = grey[i];
}

// (s + 50) div 100 of 32 pixels given as 16-bit planes, and their halves.
CORVELLIN_VBMI inline __m256i Greys(__m512i b, __m512i g, __m512i r, __mmask32& half) {
    __m512i s = _mm512_add_epi16(_mm512_mullo_epi16(b, _mm512_set1_epi16(11)), _mm512_mullo_epi16(g, _mm512_set1_epi16(59)));
    s = _mm512_add_epi16(_mm512_add_epi16(s, _mm512_mullo_epi16(r, _mm512_set1_epi16(30))), _mm512_set1_epi16(50));
    const __m512i q = _mm512_srli_epi16(_mm512_mulhi_epu16(s, _mm512_set1_epi16(static_cast<short>(41944))), 6);
    half = _mm512_cmpeq_epi16_mask(s, _mm512_mullo_epi16(q, _mm512_set1_epi16(100)));
    return _mm512_cvtepi16_epi8(q);
}

// Shuffles between a 64-pixel run (192 bytes, three registers) and three
// planes of 64 blue, green and red bytes. Byte 3j + c of a run (channel c of
// pixel j) lies in the first two registers when below 128, else in the third.
struct PlaneShuffles {
    __m512i lowIdx[3], highIdx[3];  // run -> planes
    __mmask64 fromThird[3];
    __m512i blueGreenIdx[3], redIdx[3];  // planes -> run
    __mmask64 isRed[3];
};

CORVELLIN_VBMI PlaneShuffles MakePlaneShuffles() {
    alignas(64) std::uint8_t low[3][64], high[3][64], blueGreen[3][64], red[3][64];
    PlaneShuffles t{};
    for (unsigned c = 0; c < 3; ++c) {
        for (unsigned j = 0; j < 64; ++j) {
            const unsigned k = 3 * j + c;
            low[c][j] = static_cast<std::uint8_t>(k & 127);
            high[c][j] = static_cast<std::uint8_t>((k - 128) & 63);
            if (k >= 128) t.fromThird[c] |= 1ULL << j;
            // Byte j of output register c is channel (64c + j) mod 3 of pixel (64c + j) / 3.
            const unsigned position = 64 * c + j, pixel = position / 3, channel = position % 3;
            blueGreen[c][j] = static_cast<std::uint8_t>(channel == 1 ? 64 + pixel : pixel);
            red[c][j] = static_cast<std::uint8_t>(pixel);
            if (channel == 2) t.isRed[c] |= 1ULL << j;
        }
        t.lowIdx[c] = _mm512_load_si512(low[c]);
        t.highIdx[c] = _mm512_load_si512(high[c]);
        t.blueGreenIdx[c] = _mm512_load_si512(blueGreen[c]);
        t.redIdx[c] = _mm512_load_si512(red[c]);
    }
    return t;
}

CORVELLIN_VBMI inline void LoadPlanes(const PlaneShuffles& t, const std::uint8_t* p, __m512i plane[3]) {
    const __m512i v0 = _mm512_loadu_si512(p), v1 = _mm512_loadu_si512(p + 64), v2 = _mm512_loadu_si512(p + 128);
    for (unsigned c = 0; c < 3; ++c)
        plane[c] = _mm512_mask_blend_epi8(t.fromThird[c], _mm512_permutex2var_epi8(v0, t.lowIdx[c], v1),
                                          _mm512_permutexvar_epi8(t.highIdx[c], v2));
}

CORVELLIN_VBMI inline void StorePlanes(const PlaneShuffles& t, std::uint8_t* p, const __m512i plane[3]) {
    for (unsigned c = 0; c < 3; ++c) {
        const __m512i blueGreen = _mm512_permutex2var_epi8(plane[0], t.blueGreenIdx[c], plane[1]);
        _mm512_storeu_si512(p + 64 * c, _mm512_mask_permutexvar_epi8(blueGreen, t.isRed[c], t.redIdx[c], plane[2]));
    }
}

CORVELLIN_VBMI void GrayScaleVector(std::uint8_t* bytes, std::size_t pixels) {
    const PlaneShuffles t = MakePlaneShuffles();
    std::size_t j = 0;
    for (; j + 64 <= pixels; j += 64) {
        std::uint8_t* p = bytes + 3 * j;
        __m512i plane[3];
        LoadPlanes(t, p, plane);
        __mmask32 halfLow, halfHigh;
        const __m256i low = Greys(_mm512_cvtepu8_epi16(_mm512_castsi512_si256(plane[0])),
                                  _mm512_cvtepu8_epi16(_mm512_castsi512_si256(plane[1])),
                                  _mm512_cvtepu8_epi16(_mm512_castsi512_si256(plane[2])), halfLow);
        const __m256i high = Greys(_mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(plane[0], 1)),
                                   _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(plane[1], 1)),
                                   _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(plane[2], 1)), halfHigh);
        __m512i grey = _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
        std::uint64_t half = static_cast<std::uint64_t>(halfLow) | (static_cast<std::uint64_t>(halfHigh) << 32);
        if (half) {
            // The vector rounded every half up; take back one where the
            // extended sum lies below (or on) the half.
            std::uint64_t down = 0;
            while (half) {
                const unsigned k = static_cast<unsigned>(__builtin_ctzll(half));
                half &= half - 1;
                const unsigned r = p[3 * k + 2], g = p[3 * k + 1], b = p[3 * k];
                if (!HalfRoundsUp(r, g, b, (30 * r + 59 * g + 11 * b) / 100)) down |= 1ULL << k;
            }
            grey = _mm512_mask_sub_epi8(grey, down, grey, _mm512_set1_epi8(1));
        }
        const __m512i out[3] = {grey, grey, grey};
        StorePlanes(t, p, out);
    }
    if (j < pixels) detail::GrayScalePortable(bytes + 3 * j, pixels - j);
}

// -------------------------------------------------------------------- Emboss

// o[i] = clamp(o[i] - n[i] + 128).
CORVELLIN_CLONES void EmbossRow(std::uint8_t* __restrict o, const std::uint8_t* __restrict n, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        int v = int{o[i]} - int{n[i]} + 128;
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        o[i] = static_cast<std::uint8_t>(v);
    }
}

// ------------------------------------------------------------------- Scatter

// The seeds of one row, 2 W of them, computed 16 at a time from the seed before
// them (s_{k+j} = A_j s_k + C_j), so that the vector units run the generator.
struct JumpTable {
    std::array<std::uint32_t, 16> a, c;
};

JumpTable MakeJumpTable() {
    JumpTable t{};
    std::uint32_t a = 1, c = 0;
    for (unsigned j = 0; j < 16; ++j) {
        a *= ScatterRandom::kMultiplier;
        c = c * ScatterRandom::kMultiplier + 1u;
        t.a[j] = a, t.c[j] = c;
    }
    return t;
}

// For each pixel x of a row: the ring index 2r - Random(n) of its source row
// and its source column clamp(x + r - Random(n)), vertical drawn first.
// Returns the generator's seed after the row.
CORVELLIN_CLONES std::uint32_t ScatterOffsets(std::uint32_t seed, const JumpTable& jump, std::uint32_t* __restrict seeds,
                                              std::uint32_t* __restrict rowIndex, std::int32_t* __restrict column,
                                              int width, int radius) {
    const std::size_t draws = 2 * static_cast<std::size_t>(width);
    const std::size_t blocks = (draws + 15) / 16;
    for (std::size_t b = 0; b < blocks; ++b) {
        for (unsigned j = 0; j < 16; ++j) seeds[16 * b + j] = jump.a[j] * seed + jump.c[j];
        seed = seeds[16 * b + 15];
    }
    const std::uint64_t n = 2 * static_cast<std::uint64_t>(radius) + 1;
    const std::int32_t last = width - 1;
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
        const auto dy = static_cast<std::uint32_t>((seeds[2 * x] * n) >> 32);
        const auto dx = static_cast<std::int32_t>((seeds[2 * x + 1] * n) >> 32);
        rowIndex[x] = 2 * static_cast<std::uint32_t>(radius) - dy;
        std::int32_t sx = static_cast<std::int32_t>(x) + radius - dx;
        sx = sx < 0 ? 0 : sx > last ? last : sx;
        column[x] = 3 * sx;
    }
    return seeds[draws - 1];
}

// ------------------------------------------------------------------ Blur

// Interior of a row whose samples lie on two other rows: every x with
// d <= x <= W - 1 - d, as bytes.
CORVELLIN_CLONES void BlurRowInterior(std::uint8_t* __restrict out, const std::uint8_t* __restrict a,
                                      const std::uint8_t* __restrict b, std::size_t begin, std::size_t end,
                                      std::size_t offset) {
    for (std::size_t i = begin; i < end; ++i) {
        const unsigned sum = unsigned{a[i + offset]} + unsigned{a[i - offset]} + unsigned{b[i + offset]} +
                             unsigned{b[i - offset]};
        out[i] = static_cast<std::uint8_t>(sum >> 2);
    }
}

// --------------------------------------------------------------- Saturation

// S[i] = (i s) >> 8 and T[k] = k div 3 - S[k div 3] as formulas, valid while
// 255 s fits in 32 bits and S in 16 bits (0 <= s <= 65,792).
constexpr int kMaxArithmeticSaturation = 65792;

CORVELLIN_CLONES void SaturationArithmetic(std::uint8_t* __restrict p, std::size_t pixels, unsigned s) {
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned b = p[3 * i], g = p[3 * i + 1], r = p[3 * i + 2];
        const unsigned m = ((b + g + r) * 43691u) >> 17;  // (b + g + r) div 3
        const int d = static_cast<int>(m) - static_cast<int>((m * s) >> 8);
        const int nb = static_cast<int>((b * s) >> 8) + d;
        const int ng = static_cast<int>((g * s) >> 8) + d;
        const int nr = static_cast<int>((r * s) >> 8) + d;
        p[3 * i] = static_cast<std::uint8_t>(nb < 0 ? 0 : nb > 255 ? 255 : nb);
        p[3 * i + 1] = static_cast<std::uint8_t>(ng < 0 ? 0 : ng > 255 ? 255 : ng);
        p[3 * i + 2] = static_cast<std::uint8_t>(nr < 0 ? 0 : nr > 255 ? 255 : nr);
    }
}

// The saturation of 64 pixels at a time, for 0 <= s <= 16384, where every
// intermediate fits a signed 16-bit lane: S(x) = (x s) >> 8 = x (s >> 8) +
// ((x (s & 255)) >> 8), the mean by (sum x 43691) >> 17, and the final clamp by
// the saturating pack.
constexpr int kMaxVectorSaturation = 16384;

CORVELLIN_VBMI inline __m512i SaturationScale(__m512i x, __m512i high, __m512i low) {
    return _mm512_add_epi16(_mm512_mullo_epi16(x, high), _mm512_srli_epi16(_mm512_mullo_epi16(x, low), 8));
}

CORVELLIN_VBMI void SaturationVector(std::uint8_t* bytes, std::size_t pixels, unsigned s) {
    const PlaneShuffles t = MakePlaneShuffles();
    const __m512i high = _mm512_set1_epi16(static_cast<short>(s >> 8)), low = _mm512_set1_epi16(static_cast<short>(s & 255));
    const __m512i third = _mm512_set1_epi16(static_cast<short>(43691)), zero = _mm512_setzero_si512();
    std::size_t j = 0;
    for (; j + 64 <= pixels; j += 64) {
        std::uint8_t* p = bytes + 3 * j;
        __m512i plane[3];
        LoadPlanes(t, p, plane);
        __m512i lo[3], hi[3];
        for (unsigned c = 0; c < 3; ++c) lo[c] = _mm512_unpacklo_epi8(plane[c], zero), hi[c] = _mm512_unpackhi_epi8(plane[c], zero);
        for (__m512i* v : {lo, hi}) {
            const __m512i sum = _mm512_add_epi16(_mm512_add_epi16(v[0], v[1]), v[2]);
            const __m512i mean = _mm512_srli_epi16(_mm512_mulhi_epu16(sum, third), 1);
            const __m512i d = _mm512_sub_epi16(mean, SaturationScale(mean, high, low));
            for (unsigned c = 0; c < 3; ++c) v[c] = _mm512_add_epi16(SaturationScale(v[c], high, low), d);
        }
        for (unsigned c = 0; c < 3; ++c) plane[c] = _mm512_packus_epi16(lo[c], hi[c]);
        StorePlanes(t, p, plane);
    }
    if (j < pixels) SaturationArithmetic(bytes + 3 * j, pixels - j, s);
}

}  // namespace

namespace detail {

void GrayScalePortable(std::uint8_t* bytes, std::size_t pixels) {
    constexpr std::size_t kChunk = 1024;
    std::uint8_t grey[kChunk];
    std::uint8_t half[kChunk];
    for (std::size_t start = 0; start < pixels; start += kChunk) {
        const std::size_t count = std::min(kChunk, pixels - start);
        std::uint8_t* p = bytes + 3 * start;
        GreyChunk(p, grey, half, count);
        // About one pixel in a hundred is a half: the marks (0 or 1) are read
        // eight at a time, and each mark found is visited directly. The
        // chunk's pixels still hold their colours here.
        auto fix = [&](std::size_t i) {
            const unsigned r = p[3 * i + 2], g = p[3 * i + 1], b = p[3 * i];
            const unsigned down = (30 * r + 59 * g + 11 * b) / 100;
            if (!HalfRoundsUp(r, g, b, down)) grey[i] = static_cast<std::uint8_t>(down);
        };
        static_assert(std::endian::native == std::endian::little, "mark k of a word is its byte k");
        std::size_t i = 0;
        for (; i + 8 <= count; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, half + i, 8);
            for (; word != 0; word &= word - 1) fix(i + static_cast<std::size_t>(__builtin_ctzll(word)) / 8);
        }
        for (; i < count; ++i)
            if (half[i]) fix(i);
        SpreadGrey(grey, p, count);
    }
}

bool HasGrayScaleVectorPath() { return HasBytePermute(); }

void AdjustSaturationArithmetic(std::uint8_t* bytes, std::size_t pixels, int amount) {
    if (amount < 0 || amount > kMaxArithmeticSaturation) return;
    SaturationArithmetic(bytes, pixels, static_cast<unsigned>(amount));
}

}  // namespace detail

void GrayScale(Picture& picture, BandPool* bands) {
    ForEachPixelBand(bands, picture, [](std::uint8_t* bytes, std::size_t pixels) {
        if (detail::HasGrayScaleVectorPath())
            GrayScaleVector(bytes, pixels);
        else
            detail::GrayScalePortable(bytes, pixels);
    });
}

void Emboss(Picture& picture, EmbossDirection direction, BandPool* bands) {
    GrayScale(picture, bands);
    const int w = picture.width(), h = picture.height();
    if (picture.empty() || w < 2 || h < 2) return;
    const std::size_t count = picture.stride() - 3;
    const std::size_t stride = picture.stride();
    // Every read must see the grey picture. Lower-left: row y reads row y + 1,
    // which a top-down walk has not reached yet. Upper-left: row y reads row
    // y - 1, already rewritten, so the walk (also top-down, which streams
    // better than bottom-up) keeps the grey of the previous row aside.
    // In bands, the one row a band reads across its border belongs to the
    // neighbouring band, which may already have rewritten it: its grey is
    // copied aside before any band starts, so every band reads what the
    // single walk would have read.
    const std::vector<int> starts = RowBandStarts(h, 1);
    const std::size_t bandCount = starts.size() - 1;
    const bool banded = bands != nullptr && bands->threads() > 1 && bandCount > 1;
    std::vector<std::vector<std::uint8_t>> border(banded ? bandCount : 0);
    for (std::size_t band = 0; band < border.size(); ++band) {
        // Lower-left: band b reads the first row of band b + 1. Upper-left:
        // band b reads the last row of band b - 1.
        const int y = direction == EmbossDirection::LowerLeft ? starts[band + 1] : starts[band] - 1;
        if (y >= 0 && y < h) border[band].assign(picture.row(y), picture.row(y) + stride);
    }
    auto run = [&](int first, int end, std::size_t band) {
        if (direction == EmbossDirection::LowerLeft) {
            for (int y = first; y < end && y + 1 < h; ++y) {
                const bool across = banded && y + 1 == end;
                EmbossRow(picture.row(y) + 3, across ? border[band].data() : picture.row(y + 1), count);
            }
        } else {
            const int start = std::max(first, 1);
            if (start >= end) return;
            std::vector<std::uint8_t> previous, current(stride);
            if (banded && start == first)
                previous = border[band];
            else
                previous.assign(picture.row(start - 1), picture.row(start - 1) + stride);
            for (int y = start; y < end; ++y) {
                std::memcpy(current.data(), picture.row(y), stride);
                EmbossRow(picture.row(y) + 3, previous.data(), count);
                previous.swap(current);
            }
        }
    };
    if (!banded) {
        run(0, h, 0);
        return;
    }
    bands->RunEach(static_cast<int>(bandCount), [&](int band) {
        const auto b = static_cast<std::size_t>(band);
        run(starts[b], starts[b + 1], b);
    });
}

std::uint32_t ClockSeed() {
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return static_cast<std::uint32_t>(std::time(nullptr));
    const std::uint64_t ns = static_cast<std::uint64_t>(now.tv_sec) * 1000000000ULL + static_cast<std::uint64_t>(now.tv_nsec);
    return static_cast<std::uint32_t>(ns);
}

void Scatter(const EffectContext& context, Picture& picture, int radius) {
    ScatterWithSeed(picture, radius, context.scatterSeed ? *context.scatterSeed : ClockSeed());
}

void ScatterWithSeed(Picture& picture, int radius, std::uint32_t seed) {
    if (picture.empty()) return;
    const int r = std::clamp(radius, 0, kMaxScatterRadius);
    const int w = picture.width(), h = picture.height();
    const int n = 2 * r + 1;
    const std::size_t stride = picture.stride();
    // The ring holds unchanged copies of the rows y - r .. y + r that exist:
    // row j lives in slot j mod n and is copied before row j - r is rewritten.
    // One spare byte at the end lets every pixel be read as four bytes.
    std::vector<std::uint8_t> ring(static_cast<std::size_t>(std::min(n, h)) * stride + 1);
    const int slots = std::min(n, h);
    auto slot = [&](int row) { return ring.data() + static_cast<std::size_t>(row % slots) * stride; };
    // With fewer rows than slots every row has its own slot (row < h <= n).
    for (int j = 0; j <= std::min(r, h - 1); ++j) std::memcpy(slot(j), picture.row(j), stride);

    const JumpTable jump = MakeJumpTable();
    std::vector<std::uint32_t> seeds((2 * static_cast<std::size_t>(w) + 15) / 16 * 16);
    std::vector<std::uint32_t> rowIndex(static_cast<std::size_t>(w));
    std::vector<std::int32_t> column(static_cast<std::size_t>(w));
    std::array<const std::uint8_t*, 2 * kMaxScatterRadius + 1> rows{};
    for (int y = 0; y < h; ++y) {
        if (y + r < h && y > 0) std::memcpy(slot(y + r), picture.row(y + r), stride);
        for (int k = 0; k < n; ++k) rows[static_cast<std::size_t>(k)] = slot(std::clamp(y - r + k, 0, h - 1));
        seed = ScatterOffsets(seed, jump, seeds.data(), rowIndex.data(), column.data(), w, r);
        std::uint8_t* out = picture.row(y);
        // Four bytes at a time: the fourth lands on the next pixel of the row,
        // which is written right after; the last pixel copies its three.
        for (int x = 0; x + 1 < w; ++x, out += 3) {
            const std::uint8_t* src = rows[rowIndex[static_cast<std::size_t>(x)]] + column[static_cast<std::size_t>(x)];
            std::memcpy(out, src, 4);
        }
        const std::uint8_t* src = rows[rowIndex[static_cast<std::size_t>(w - 1)]] + column[static_cast<std::size_t>(w - 1)];
        std::memcpy(out, src, 3);
    }
}

namespace {

using HistogramTotals = std::array<std::uint64_t, 3 * 256>;

// Adds the blue, green and red histograms of a run of pixels to total.
void CountChannels(const std::uint8_t* p, std::size_t pixels, HistogramTotals& total) {
    // Four sets of 32-bit counters per channel, so that neighbouring pixels do
    // not wait on the same counter; folded into 64-bit totals at least every
    // 2^30 pixels so that no counter can overflow.
    std::vector<std::uint32_t> counts(12 * 256);
    auto fold = [&] {
        for (unsigned c = 0; c < 3; ++c)
            for (unsigned set = 0; set < 4; ++set)
                for (unsigned v = 0; v < 256; ++v) total[c * 256 + v] += counts[(set * 3 + c) * 256 + v];
        std::fill(counts.begin(), counts.end(), 0u);
    };
    std::uint32_t* const h = counts.data();
    constexpr std::size_t kFoldEvery = std::size_t{1} << 30;
    for (std::size_t start = 0; start < pixels; start += kFoldEvery) {
        const std::size_t end = std::min(pixels, start + kFoldEvery);
        std::size_t i = start;
        for (; i + 4 <= end; i += 4) {
            const std::uint8_t* q = p + 3 * i;
            ++h[0 * 256 + q[0]], ++h[1 * 256 + q[1]], ++h[2 * 256 + q[2]];
            ++h[3 * 256 + q[3]], ++h[4 * 256 + q[4]], ++h[5 * 256 + q[5]];
            ++h[6 * 256 + q[6]], ++h[7 * 256 + q[7]], ++h[8 * 256 + q[8]];
            ++h[9 * 256 + q[9]], ++h[10 * 256 + q[10]], ++h[11 * 256 + q[11]];
        }
        for (; i < end; ++i) ++h[p[3 * i]], ++h[256 + p[3 * i + 1]], ++h[512 + p[3 * i + 2]];
        fold();
    }
}

}  // namespace

ChannelTables EqualizeLevels(const Picture& picture, BandPool* bands) {
    ChannelTables levels{};
    if (picture.empty()) return levels;
    // Counts are whole numbers, so adding the bands' totals in any order gives
    // the totals of one walk.
    const std::vector<int> starts = RowBandStarts(picture.height(), 1);
    std::vector<HistogramTotals> bandTotals(starts.size() - 1);
    const std::size_t rowPixels = static_cast<std::size_t>(picture.width());
    ForEachRowBand(bands, picture.height(), [&](int first, int end) {
        const auto band = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), first) - starts.begin() - 1);
        CountChannels(picture.row(first), rowPixels * static_cast<std::size_t>(end - first), bandTotals[band]);
    });
    HistogramTotals total{};
    for (const HistogramTotals& part : bandTotals)
        for (std::size_t i = 0; i < total.size(); ++i) total[i] += part[i];
    const long double width = picture.width(), height = picture.height();
    ByteTable* out[3] = {&levels.blue, &levels.green, &levels.red};
    for (unsigned c = 0; c < 3; ++c) {
        std::uint64_t running = 0;
        for (unsigned v = 0; v < 256; ++v) {
            running += total[c * 256 + v];
            // running <= W x H, so the 64-bit product is exact for any picture
            // that fits in memory, and so is its conversion (64-bit mantissa).
            const std::uint64_t scaled = running * 255u;
            (*out[c])[v] = ClampToByte(std::nearbyint((static_cast<long double>(scaled) / width) / height));
        }
    }
    return levels;
}

void EqualizeHistogram(Picture& picture, BandPool* bands) {
    if (picture.empty()) return;
    const ChannelTables levels = EqualizeLevels(picture, bands);
    ApplyChannelTables(picture, levels.blue, levels.green, levels.red, bands);
}

void BlurPass(Picture& picture, int distance) {
    if (picture.empty()) return;
    detail::BlurPassBytes(picture.data(), picture.width(), picture.height(), distance);
}

void detail::BlurPassBytes(std::uint8_t* bytes, int w, int h, int distance) {
    if (w <= 0 || h <= 0 || distance < 1) return;
    const int d = distance;
    const std::size_t stride = 3 * static_cast<std::size_t>(w);
    auto row = [bytes, stride](int y) { return bytes + stride * static_cast<std::size_t>(y); };
    // Clamped neighbours, without overflow for any distance.
    auto plus = [d](int i, int size) { return d >= size - 1 - i ? size - 1 : i + d; };
    auto minus = [d](int i) { return d >= i ? 0 : i - d; };
    for (int y = 0; y < h; ++y) {
        const int ya = plus(y, h), yb = minus(y);
        std::uint8_t* out = row(y);
        if (ya != y && yb != y) {
            // Row y is not read: its pixels can be computed in any order.
            const std::uint8_t* a = row(ya);
            const std::uint8_t* b = row(yb);
            const int interiorBegin = std::min(d, w);
            const int interiorEnd = std::max(interiorBegin, d >= w ? interiorBegin : w - d);  // x < W - d
            BlurRowInterior(out, a, b, 3 * static_cast<std::size_t>(interiorBegin),
                            3 * static_cast<std::size_t>(interiorEnd), 3 * static_cast<std::size_t>(d));
            auto edge = [&](int x) {
                const std::size_t xa = 3 * static_cast<std::size_t>(plus(x, w));
                const std::size_t xb = 3 * static_cast<std::size_t>(minus(x));
                for (unsigned c = 0; c < 3; ++c)
                    out[3 * x + c] = static_cast<std::uint8_t>(
                        (unsigned{a[xa + c]} + unsigned{a[xb + c]} + unsigned{b[xa + c]} + unsigned{b[xb + c]}) >> 2);
            };
            for (int x = 0; x < interiorBegin; ++x) edge(x);
            for (int x = interiorEnd; x < w; ++x) edge(x);
        } else {
            // The top or bottom row reads itself: strictly left to right, each
            // sample in its state at that moment.
            for (int x = 0; x < w; ++x) {
                const std::size_t xa = 3 * static_cast<std::size_t>(plus(x, w));
                const std::size_t xb = 3 * static_cast<std::size_t>(minus(x));
                const std::uint8_t* a = row(ya);
                const std::uint8_t* b = row(yb);
                std::uint8_t value[3];
                for (unsigned c = 0; c < 3; ++c) {
                    const unsigned sum = unsigned{a[xa + c]} + unsigned{a[xb + c]} + unsigned{b[xa + c]} + unsigned{b[xb + c]};
                    value[c] = static_cast<std::uint8_t>(sum >> 2);
                }
                std::memcpy(out + 3 * x, value, 3);  // all three channels at once
            }
        }
    }
}

void Blur(Picture& picture, int passes) {
    for (int d = passes; d >= 1; --d) BlurPass(picture, d);
}

void Mosaic(Picture& picture, int blockSize, BandPool* bands) {
    if (picture.empty() || blockSize <= 1) return;
    const int w = picture.width(), h = picture.height();
    const int b = blockSize;
    const std::size_t stride = picture.stride();
    // A block row reads only its own first row, so bands made of whole block
    // rows are independent.
    ForEachRowBand(
        bands, h,
        [&](int first, int bandEnd) {
            for (int y = first; y < bandEnd; y += b) {
                std::uint8_t* key = picture.row(y);
                for (int x0 = 0; x0 < w; x0 += b) {
                    const std::uint8_t* colour = key + 3 * static_cast<std::size_t>(x0);
                    const int end = b >= w - x0 ? w : x0 + b;
                    for (int x = x0 + 1; x < end; ++x) std::memcpy(key + 3 * static_cast<std::size_t>(x), colour, 3);
                }
                const int last = b >= h - y ? h : y + b;
                for (int row = y + 1; row < last; ++row) std::memcpy(picture.row(row), key, stride);
            }
        },
        b);
}

ByteTable BrightnessContrastTable(int brightness, double contrast) {
    const long double k = contrast;
    const long double c = std::nearbyint((static_cast<long double>(brightness) - 127.0L * k) + 127.0L);
    ByteTable table{};
    for (unsigned v = 0; v < 256; ++v) table[v] = ClampToByte(std::nearbyint(k * static_cast<long double>(v) + c));
    return table;
}

void BrightnessContrast(Picture& picture, int brightness, double contrast, BandPool* bands) {
    if (picture.empty()) return;
    ApplyByteTable(picture, BrightnessContrastTable(brightness, contrast), bands);
}

void detail::AdjustSaturationPixels(std::uint8_t* p, std::size_t pixels, int amount) {
    if (amount >= 0 && amount <= kMaxVectorSaturation && detail::HasBytePermute()) {
        SaturationVector(p, pixels, static_cast<unsigned>(amount));
        return;
    }
    if (amount >= 0 && amount <= kMaxArithmeticSaturation) {
        SaturationArithmetic(p, pixels, static_cast<unsigned>(amount));
        return;
    }
    // Amounts whose products wrap or whose S entries lose their top bits: the
    // tables exactly as defined.
    std::array<std::uint16_t, 256> s{};
    std::array<std::int32_t, 768> t{};
    for (std::uint32_t i = 0; i < 256; ++i) s[i] = static_cast<std::uint16_t>((i * static_cast<std::uint32_t>(amount)) >> 8);
    for (std::uint32_t k = 0; k < 768; ++k) t[k] = static_cast<std::int32_t>(k / 3) - s[k / 3];
    for (std::size_t i = 0; i < pixels; ++i, p += 3) {
        const std::int32_t d = t[p[0] + p[1] + p[2]];
        p[0] = ClampToByte(s[p[0]] + d);
        p[1] = ClampToByte(s[p[1]] + d);
        p[2] = ClampToByte(s[p[2]] + d);
    }
}

void AdjustSaturation(Picture& picture, int amount, BandPool* bands) {
    ForEachPixelBand(bands, picture, [&](std::uint8_t* bytes, std::size_t pixels) {
        detail::AdjustSaturationPixels(bytes, pixels, amount);
    });
}

}  // namespace corvellin
