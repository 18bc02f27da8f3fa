// The mask effects: the ten thumbnails of every mask category from the shipped
// masks, and the full-size blends and PresetPic beside memcpy of the same 6000 x 4000 picture.
// The counter x_memcpy is the mean time divided by one memcpy's mean time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>

#include "effects/Catalogue.h"
#include "effects/kernels/Blend.h"
#include "effects/kernels/EdgeFrameBlend.h"
#include "picture/FileIO.h"
#include "picture/PictureFile.h"

namespace corvellin {
namespace {

const std::string kPicDir = std::string(CORVELLIN_BIN_DIR) + "/pic";

Picture RandomPicture(int width, int height, unsigned seed) {
    Picture p(width, height);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < p.byteCount(); ++i) p.data()[i] = static_cast<std::uint8_t>(random() >> 24);
    return p;
}

const Picture& Large() {
    static const Picture picture = RandomPicture(6000, 4000, 5);
    return picture;
}

double MemcpySeconds() {
    static const double seconds = [] {
        Picture target = Large();
        double best = 1e9;
        for (int i = 0; i < 15; ++i) {
            const auto start = std::chrono::steady_clock::now();
            std::memcpy(target.data(), Large().data(), target.byteCount());
            benchmark::DoNotOptimize(target.data());
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

// The working picture of the editor: the default picture fitted into 400 x 267.
Picture WorkingPicture() {
    Picture full;
    LoadPictureFile(kPicDir + "/default.jpg", full, [](const std::string&) {});
    return StretchNearest(full, 400, 267);
}

void TenThumbnails(benchmark::State& state, int category) {
    if (!FileExists(kPicDir + "/default.jpg")) {
        state.SkipWithError("the generated pic folder is missing; build the project first");
        return;
    }
    const EffectContext context{kPicDir, std::nullopt};
    const Picture working = WorkingPicture();
    for (auto _ : state) {
        for (int variation = 0; variation < kVariationCount; ++variation) {
            Picture thumbnail = StretchNearest(working, 150, 150);
            ApplyEffect(context, &thumbnail, category, variation, -1, kDefaultEdgeColour);
            benchmark::DoNotOptimize(thumbnail.data());
        }
    }
}

void FullSize(benchmark::State& state, const std::function<void(Picture&)>& effect) {
    Picture picture = Large();
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(picture.data(), Large().data(), picture.byteCount());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        effect(picture);
        benchmark::DoNotOptimize(picture.data());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["x_memcpy"] = seconds / static_cast<double>(state.iterations()) / MemcpySeconds();
}

void RegisterAll() {
    for (const int category : {1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) {
        const std::string name = std::string("TenThumbnails/") + FindCategory(category)->name;
        benchmark::RegisterBenchmark(name.c_str(), [category](benchmark::State& s) { TenThumbnails(s, category); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Memcpy/6000x4000", [](benchmark::State& s) {
        FullSize(s, [](Picture& p) { std::memcpy(p.data(), Large().data(), p.byteCount()); });
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PresetPic/6000x4000", [](benchmark::State& s) {
        const EffectContext context{kPicDir, std::nullopt};
        FullSize(s, [&](Picture& p) { ApplyEffect(context, &p, EffectCall{Category::Preset, 0}); });
    })->Unit(benchmark::kMillisecond);
    static const Picture mask = RandomPicture(6000, 4000, 6);
    benchmark::RegisterBenchmark("AddBlend/6000x4000", [](benchmark::State& s) {
        FullSize(s, [](Picture& p) { AddBlend(p, mask, 0.5); });
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MultiplyBlend/6000x4000", [](benchmark::State& s) {
        FullSize(s, [](Picture& p) { MultiplyBlend(p, mask); });
    })->Unit(benchmark::kMillisecond);
    static const Picture frame = RandomPicture(6000, 4000, 7);
    benchmark::RegisterBenchmark("EdgeBlend/6000x4000", [](benchmark::State& s) {
        FullSize(s, [](Picture& p) { EdgeBlend(p, mask, kDefaultEdgeColour); });
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FrameBlend/6000x4000", [](benchmark::State& s) {
        FullSize(s, [](Picture& p) { FrameBlend(p, frame, mask); });
    })->Unit(benchmark::kMillisecond);
}

const int kRegistered = (RegisterAll(), 0);

}  // namespace
}  // namespace corvellin
