// Section 1: every kernel of src/effects/kernels, the mask row mixes and the whole
// mask effects on the decoded photo, on one thread. Each run starts from a
// fresh copy of the photo; the copy is one memcpy of the same picture, timed
// too, so every kernel is compared with the copies made beside it and a change
// of load on the machine moves both.
#include <cstring>
#include <functional>

#include "Measure.h"
#include "Sections.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "effects/SketchPic.h"
#include "effects/kernels/Art.h"
#include "effects/kernels/Blend.h"
#include "effects/kernels/ByteTables.h"
#include "effects/kernels/ColorTint.h"
#include "effects/kernels/EdgeFrameBlend.h"
#include "effects/kernels/Sketch.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"

namespace corvellin::report {
namespace {

enum class Kind { PerPixel, Neighbourhood, WholeEffect };

struct Kernel {
    const char* name;
    Kind kind;
    std::function<void(Picture&)> run;
};

constexpr double kPerPixelLimit = 3.0, kOtherLimit = 8.0;

}  // namespace

void KernelRows(const Paths& paths, int repeats, Table& table) {
    const std::vector<std::uint8_t> file = ReadWholeFile(paths.photo);
    const Picture original = DecodeJpeg(file.data(), file.size());
    const int w = original.width(), h = original.height();
    const std::string pic = paths.binDir + "/pic";
    const EffectContext context{pic, std::nullopt};

    // The row mixes get the shipped masks stretched to the photo, as the effects see them.
    const Picture addMask = PrepareMask(MaskFilePath(pic, 1, 1), w, h);
    const Picture textureMask = PrepareMask(MaskFilePath(pic, 10, 1), w, h);
    const Picture edgeMask = PrepareMask(MaskFilePath(pic, 11, 1), w, h);
    const Picture framePicture = PrepareMask(MaskFilePath(pic, 12, 1), w, h);
    const Picture frameMask = PrepareMask(FrameMaskFilePath(pic, 12, 1), w, h);
    Picture dodgeBlend = original;
    BrightnessContrast(dodgeBlend, 0, -1.0);
    const ChannelTables levels = EqualizeLevels(original);

    const std::vector<Kernel> kernels = {
        {"memcpy (the bandwidth limit)", Kind::PerPixel, [&](Picture& p) { std::memcpy(p.data(), original.data(), p.byteCount()); }},
        {"GrayScale", Kind::PerPixel, [](Picture& p) { GrayScale(p); }},
        {"ColorTint (Color 3)", Kind::PerPixel, [](Picture& p) { ColorTint(p, 3); }},
        {"BrightnessContrast (0, 2.0)", Kind::PerPixel, [](Picture& p) { BrightnessContrast(p, 0, 2.0); }},
        {"BrightnessContrast (50, 1.0)", Kind::PerPixel, [](Picture& p) { BrightnessContrast(p, 50, 1.0); }},
        {"BrightnessContrast negative", Kind::PerPixel, [](Picture& p) { BrightnessContrast(p, 0, -1.0); }},
        {"AdjustSaturation 1", Kind::PerPixel, [](Picture& p) { AdjustSaturation(p, 1); }},
        {"AdjustSaturation 1555", Kind::PerPixel, [](Picture& p) { AdjustSaturation(p, 1555); }},
        {"DuotoneMap", Kind::PerPixel, [](Picture& p) { DuotoneMap(p, 0, 0, 155, 255, 255, 155); }},
        {"ColorDodge", Kind::PerPixel, [&](Picture& p) { ColorDodge(p, dodgeBlend); }},
        {"EqualizeLevels (histogram count)", Kind::PerPixel, [](Picture& p) { (void)EqualizeLevels(p); }},
        {"ApplyChannelTables (histogram map)", Kind::PerPixel,
         [&](Picture& p) { ApplyChannelTables(p, levels.blue, levels.green, levels.red); }},
        {"EqualizeHistogram", Kind::PerPixel, [](Picture& p) { EqualizeHistogram(p); }},
        {"AddBlend (Preset mask)", Kind::PerPixel, [&](Picture& p) { AddBlend(p, addMask, kAdditiveMaskStrength); }},
        {"MultiplyBlend (Texture mask)", Kind::PerPixel, [&](Picture& p) { MultiplyBlend(p, textureMask); }},
        {"EdgeBlend (Edge mask)", Kind::PerPixel, [&](Picture& p) { EdgeBlend(p, edgeMask, kDefaultEdgeColour); }},
        {"FrameBlend (Frame picture, mask)", Kind::PerPixel, [&](Picture& p) { FrameBlend(p, framePicture, frameMask); }},
        {"BlurPass 1", Kind::Neighbourhood, [](Picture& p) { BlurPass(p, 1); }},
        {"Blur 2 (Art blur default)", Kind::Neighbourhood, [](Picture& p) { Blur(p, 2); }},
        {"Emboss lower-left", Kind::Neighbourhood, [](Picture& p) { Emboss(p, EmbossDirection::LowerLeft); }},
        {"Emboss upper-left", Kind::Neighbourhood, [](Picture& p) { Emboss(p, EmbossDirection::UpperLeft); }},
        {"Mosaic 2", Kind::Neighbourhood, [](Picture& p) { Mosaic(p, 2); }},
        {"Mosaic 5", Kind::Neighbourhood, [](Picture& p) { Mosaic(p, 5); }},
        {"Scatter 2", Kind::Neighbourhood, [](Picture& p) { ScatterWithSeed(p, 2, 12345); }},
        {"Scatter 50", Kind::Neighbourhood, [](Picture& p) { ScatterWithSeed(p, 50, 12345); }},
        {"PencilSketch", Kind::Neighbourhood, [](Picture& p) { PencilSketch(p, true); }},
        {"SketchPic 5", Kind::Neighbourhood, [](Picture& p) { SketchPic(p, 5); }},
        {"PresetPic (Preset 0, mask read)", Kind::WholeEffect, [&](Picture& p) { ApplyEffect(context, &p, EffectCall{Category::Preset, 0}); }},
        {"Texture (Texture 0, mask read)", Kind::WholeEffect, [&](Picture& p) { ApplyEffect(context, &p, EffectCall{Category::Texture, 0}); }},
        {"Edge (Edge 0, mask read)", Kind::WholeEffect, [&](Picture& p) { ApplyEffect(context, &p, EffectCall{Category::Edge, 0}); }},
        {"Frame (Frame 0, masks read)", Kind::WholeEffect, [&](Picture& p) { ApplyEffect(context, &p, EffectCall{Category::Frame, 0}); }},
    };

    Picture picture = original;
    for (const Kernel& kernel : kernels) {
        // One untimed run first: a kernel's one-time set-up (tables, scratch
        // pages) is not what it costs per call.
        std::memcpy(picture.data(), original.data(), picture.byteCount());
        kernel.run(picture);
        std::vector<double> kernelMs, copyMs;
        for (int i = 0; i < repeats; ++i) {
            copyMs.push_back(TimeMs([&] { std::memcpy(picture.data(), original.data(), picture.byteCount()); }));
            kernelMs.push_back(TimeMs([&] { kernel.run(picture); }));
        }
        const double ms = Median(kernelMs), copy = Median(copyMs), ratio = ms / copy;
        const double limit = kernel.kind == Kind::PerPixel ? kPerPixelLimit : kOtherLimit;
        const char* kind = kernel.kind == Kind::PerPixel ? "per-pixel" : kernel.kind == Kind::Neighbourhood ? "neighbourhood" : "whole effect";
        table.Add({"1", kernel.name, Fixed(ms, 1) + " ms", "memcpy " + Fixed(copy, 1) + " ms", Fixed(ratio, 2) + "x",
                   "<= " + Fixed(limit, 0) + "x memcpy", Meets(ratio <= limit), kind});
    }
}

}  // namespace corvellin::report
