// 256-entry byte tables in 64-byte registers, for the functions built for
// processors with byte permutes (AVX-512 VBMI). Include only from .cpp files
// whose callers check detail::HasBytePermute() first.
#pragma once

// GCC 12's AVX-512 headers trip these on their own undefined-register helpers,
// and the 64-byte vector functions are only called from code built for them.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wpsabi"
#include <immintrin.h>

#include "ByteTables.h"

#define CORVELLIN_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace corvellin::detail {

// A table as four registers; two two-source permutes look the low seven bits
// up in each half, the top bit picks the half.
struct PermuteTable {
    __m512i q0, q1, q2, q3;
};

CORVELLIN_VBMI inline PermuteTable LoadPermuteTable(const ByteTable& table) {
    return {_mm512_loadu_si512(table.data()), _mm512_loadu_si512(table.data() + 64),
            _mm512_loadu_si512(table.data() + 128), _mm512_loadu_si512(table.data() + 192)};
}

CORVELLIN_VBMI inline __m512i Lookup(const PermuteTable& t, __m512i x) {
    const __m512i low = _mm512_permutex2var_epi8(t.q0, x, t.q1);
    const __m512i high = _mm512_permutex2var_epi8(t.q2, x, t.q3);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
}

}  // namespace corvellin::detail
