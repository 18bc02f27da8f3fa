// Every Art, Sketch and Color kernel on one 6000 x 4000 picture, beside memcpy
// of the same picture. Each kernel runs in place on a fresh copy of the same
// random picture (restored outside the kernel's timing); the counter x_memcpy
// is the kernel's time divided by the time of the memcpy that restored it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>

#include "effects/SketchPic.h"
#include "effects/kernels/Art.h"
#include "effects/kernels/ByteTables.h"
#include "effects/kernels/ColorTint.h"
#include "effects/kernels/Sketch.h"

namespace corvellin {
namespace {

constexpr int kWidth = 6000, kHeight = 4000;

const Picture& Original() {
    static const Picture picture = [] {
        Picture p(kWidth, kHeight);
        std::mt19937 random(20240611);
        for (std::size_t i = 0; i < p.byteCount(); i += 4) {
            const auto v = static_cast<std::uint32_t>(random());
            std::memcpy(p.data() + i, &v, std::min<std::size_t>(4, p.byteCount() - i));
        }
        return p;
    }();
    return picture;
}

double Seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration first restores the picture with one memcpy from the original,
// timed as well: the ratio compares the kernel with the copies made beside it,
// so that a change of load on the machine moves both.
void Run(benchmark::State& state, const std::function<void(Picture&)>& kernel) {
    Picture picture = Original();
    // One untimed run first: a kernel's own one-time set-up (a blend picture,
    // level tables, scratch pages) is not part of what it costs per call.
    kernel(picture);
    double kernelTotal = 0, copyTotal = 0;
    for (auto _ : state) {
        copyTotal += Seconds([&] { std::memcpy(picture.data(), Original().data(), picture.byteCount()); });
        benchmark::DoNotOptimize(picture.data());
        const double s = Seconds([&] { kernel(picture); });
        benchmark::DoNotOptimize(picture.data());
        state.SetIterationTime(s);
        kernelTotal += s;
    }
    state.counters["x_memcpy"] = kernelTotal / copyTotal;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(picture.byteCount()));
}

void BM_Memcpy(benchmark::State& state) {
    Run(state, [](Picture& p) { std::memcpy(p.data(), Original().data(), p.byteCount()); });
}

#define KERNEL(name, body)                                           \
    void BM_##name(benchmark::State& state) { Run(state, [](Picture& p) { body; }); } \
    BENCHMARK(BM_##name)->UseManualTime()->Unit(benchmark::kMillisecond)

BENCHMARK(BM_Memcpy)->UseManualTime()->Unit(benchmark::kMillisecond);

// Per-pixel arithmetic.
KERNEL(ColorTint, ColorTint(p, 3));
KERNEL(AdjustSaturation1555, AdjustSaturation(p, 1555));
KERNEL(AdjustSaturation1, AdjustSaturation(p, 1));
KERNEL(DuotoneMap, DuotoneMap(p, 0, 0, 155, 255, 255, 155));
KERNEL(ColorDodge, static const Picture blend = [] { Picture b = Original(); BrightnessContrast(b, 0, -1.0); return b; }();
       ColorDodge(p, blend));
KERNEL(BrightnessContrast, BrightnessContrast(p, 0, 2.0));
KERNEL(GrayScale, GrayScale(p));
KERNEL(HistogramMap, static const ChannelTables levels = EqualizeLevels(Original());
       ApplyChannelTables(p, levels.blue, levels.green, levels.red));
KERNEL(HistogramCount, benchmark::DoNotOptimize(EqualizeLevels(p)));
KERNEL(EqualizeHistogram, EqualizeHistogram(p));

// Neighbourhood kernels.
KERNEL(BlurPass1, BlurPass(p, 1));
KERNEL(BlurPass2, BlurPass(p, 2));
KERNEL(Blur2, Blur(p, 2));
KERNEL(EmbossLowerLeft, Emboss(p, EmbossDirection::LowerLeft));
KERNEL(EmbossUpperLeft, Emboss(p, EmbossDirection::UpperLeft));
KERNEL(Mosaic5, Mosaic(p, 5));
KERNEL(Mosaic2, Mosaic(p, 2));
KERNEL(Scatter2, ScatterWithSeed(p, 2, 12345));
KERNEL(Scatter50, ScatterWithSeed(p, 50, 12345));

// Whole Sketch variations.
KERNEL(PencilSketch, PencilSketch(p, true));
KERNEL(SketchPic5, SketchPic(p, 5));

}  // namespace
}  // namespace corvellin
