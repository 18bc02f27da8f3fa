#include "VectorPaths.h"

#include "Art.h"
#include "ByteTables.h"
#include "EdgeFrameBlend.h"

namespace corvellin {

namespace {

// The clone the compiler's dispatch picks for the loops built as
// target_clones("arch=x86-64-v4", "avx2", "default").
const char* CloneLevel() {
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512cd"))
        return "x86-64-v4";
    if (__builtin_cpu_supports("avx2")) return "AVX2";
    return "baseline x86-64";
}

}  // namespace

std::vector<VectorPathChoice> ChosenVectorPaths() {
    const bool permute = detail::HasBytePermute();
    return {
        {"Edge and Frame mixes", EdgeFrameRowMixer::PathName(EdgeFrameRowMixer::WidestPath())},
        {"table lookups", permute ? "AVX-512 VBMI byte permutes" : "portable"},
        {"grey scale", detail::HasGrayScaleVectorPath() ? "AVX-512 VBMI" : "portable"},
        {"saturation", permute ? "AVX-512 VBMI" : "arithmetic"},
        {"colour dodge", permute ? "AVX-512 VBMI" : "plain"},
        {"compiled loops", CloneLevel()},
    };
}

std::string DescribeVectorPaths() {
    std::string text;
    for (const VectorPathChoice& c : ChosenVectorPaths()) text += c.kernel + ": " + c.path + "\n";
    return text;
}

}  // namespace corvellin
