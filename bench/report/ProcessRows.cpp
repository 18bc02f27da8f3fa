// Sections 3 and 4: whole processes on the photo file, decode + effect + JPEG
// quality 90 encode. corvellin-fx runs beside the nearest single operation of
// ImageMagick (convert) and libvips (vips), alternating run by run; every
// child is reaped with wait4 for its peak resident memory.
#include <filesystem>
#include <thread>

#include "Measure.h"
#include "Process.h"
#include "Sections.h"
#include "effects/MaskFile.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"

namespace corvellin::report {
namespace {

constexpr double kImageMagickLimit = 0.5, kVipsLimit = 1.0, kMemoryLimit = 4.0;

using Command = std::vector<std::string>;

// One peer's way to do an effect: a command, or (vips has no pipeline on its
// command line) a few run one after the other and counted together.
struct PeerWay {
    std::vector<Command> steps;  // empty: the peer has no such operation
    std::string shown;           // the command as the report lists it
};

struct Comparison {
    std::string name;
    std::vector<std::string> calls;  // corvellin-fx apply calls
    PeerWay magick, vips;
    std::string remark = {};  // where the peers' operation differs from ours
};

struct Files {
    std::string photo, addMask, multiplyMask, emboss, halfDesaturate, vipsTemp;
    std::string outOurs, outMagick, outVips;
};

PeerWay Magick(const Files& f, std::vector<std::string> ops, std::vector<std::string> extraInputs = {}) {
    Command c = {kConvert, f.photo};
    for (const std::string& input : extraInputs) c.push_back(input);
    std::string shown = "convert IN";
    for (const std::string& input : extraInputs) shown += ' ' + std::filesystem::path(input).filename().string();
    for (const std::string& op : ops) {
        c.push_back(op);
        shown += " " + op;
    }
    c.insert(c.end(), {"-quality", "90", f.outMagick});
    return {{c}, shown + " -quality 90 OUT"};
}

PeerWay Vips(const Files& f, const std::string& op, std::vector<std::string> args, bool maskSecond = false,
             const std::string& mask = {}) {
    Command c = {kVips, op, f.photo};
    std::string shown = "vips " + op + " IN";
    if (maskSecond) {
        c.push_back(mask);
        shown += ' ' + std::filesystem::path(mask).filename().string();
    }
    c.push_back(f.outVips + "[Q=90]");
    shown += " OUT[Q=90]";
    for (const std::string& a : args) {
        c.push_back(a);
        shown += ' ';
        shown += a.find(' ') != std::string::npos ? '"' + a + '"' : a;
    }
    return {{c}, shown};
}

std::vector<Comparison> Comparisons(const Files& f) {
    // The tint of Color 3 (azure, red 26 green 165 blue 240): a quarter of each value added.
    return {
        {"negative (Art 9)", {"4:9"}, Magick(f, {"-negate"}), Vips(f, "invert", {})},
        {"greyscale (Art 8 at 1: saturation 1/256)", {"4:8:1"}, Magick(f, {"-colorspace", "Gray"}),
         Vips(f, "colourspace", {"b-w"}), "vips writes a one-channel JPEG"},
        {"histogram equalisation (Art 3)", {"4:3"}, Magick(f, {"-equalize"}), Vips(f, "hist_equal", {})},
        {"blur (Art 4 at 2)", {"4:4:2"}, Magick(f, {"-blur", "0x1"}), Vips(f, "gaussblur", {"1"}),
         "ours: two diagonal 4-tap passes; peers: Gaussian, sigma 1"},
        {"scatter (Art 2 at 2)", {"4:2:2"}, Magick(f, {"-spread", "2"}), PeerWay{{}, "n/a (no spread in vips)"}},
        {"emboss (Art 0)", {"4:0"}, Magick(f, {"-emboss", "1"}),
         Vips(f, "conv", {f.emboss, "--precision", "integer"})},
        {"mosaic (Art 5 at 5)", {"4:5:5"}, Magick(f, {"-sample", "20%", "-sample", "500%"}),
         PeerWay{{{kVips, "subsample", f.photo, f.vipsTemp, "5", "5"}, {kVips, "zoom", f.vipsTemp, f.outVips + "[Q=90]", "5", "5"}},
                 "vips subsample IN t.v 5 5; vips zoom t.v OUT[Q=90] 5 5 (two processes, times added)"}},
        {"brightness (Art 7 at 50)", {"4:7:50"}, Magick(f, {"-brightness-contrast", "20x0"}),
         Vips(f, "linear", {"1", "50", "--uchar"})},
        // vips reads " -127" as a number; without the space it is taken for an option.
        {"contrast (Art 6 at 20: x2)", {"4:6:20"}, Magick(f, {"-brightness-contrast", "0x41"}),
         Vips(f, "linear", {"2", " -127", "--uchar"})},
        {"desaturation (Art 8 at 128: half)", {"4:8:128"}, Magick(f, {"-modulate", "100,50"}),
         Vips(f, "recomb", {f.halfDesaturate})},
        {"tint (Color 3, azure)", {"2:3"}, Magick(f, {"-fill", "rgb(26,165,240)", "-tint", "25"}),
         Vips(f, "linear", {"1 1 1", "6.5 41.25 60", "--uchar"}), "ImageMagick's -tint weights the midtones"},
        {"add mask (Preset 0, half strength)", {"1:0"},
         Magick(f, {"-compose", "blend", "-define", "compose:args=50,100", "-composite"}, {f.addMask}),
         Vips(f, "add", {}, true, f.addMask),
         "vips has no weighted add in one operation: its add is at full strength, clipped when saved"},
        {"multiply mask (Texture 0)", {"10:0"}, Magick(f, {"-compose", "multiply", "-composite"}, {f.multiplyMask}),
         Vips(f, "composite2", {"multiply"}, true, f.multiplyMask),
         "vips composite2 works in float; vips multiply alone keeps the product unscaled and saves white"},
    };
}

// The time of all steps and the largest peak among them; the first failure ends the way.
ProcessRun RunWay(const std::vector<Command>& steps, const ProcessSetup& setup) {
    ProcessRun total;
    total.ok = true;
    for (const Command& step : steps) {
        const ProcessRun run = RunProcess(step, setup);
        total.ms += run.ms;
        total.peakMiB = std::max(total.peakMiB, run.peakMiB);
        if (!run.ok) return run;
    }
    return total;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The mask a peer blends with: the shipped mask file unpacked and stretched to
// the photo's size as the effect does, saved as a plain JPEG quality 90.
void WritePlainMask(const std::string& pic, int category, int width, int height, const std::string& path) {
    WriteFileAtomically(path, EncodeJpeg(PrepareMask(MaskFilePath(pic, category, 1), width, height), 90));
}

void WriteText(const std::string& path, const std::string& text) {
    WriteFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

void ProcessRows(const Paths& paths, int repeats, int peerRepeats, Table& table, std::string& peerNote) {
    const std::string w = paths.workDir;
    const std::string pic = paths.binDir + "/pic";
    const std::string fx = paths.binDir + "/corvellin-fx";
    const std::vector<std::uint8_t> photoBytes = ReadWholeFile(paths.photo);
    const Picture photo = DecodeJpeg(photoBytes.data(), photoBytes.size());
    Files f{paths.photo, w + "mask-preset-1.jpg", w + "mask-texture-1.jpg", w + "emboss.mat",
            w + "half-desaturate.mat", w + "vips-temp.v", w + "out-ours.jpg", w + "out-magick.jpg", w + "out-vips.jpg"};
    WritePlainMask(pic, 1, photo.width(), photo.height(), f.addMask);
    WritePlainMask(pic, 10, photo.width(), photo.height(), f.multiplyMask);
    // vips matrix files: width height [scale offset], then the rows. Emboss is
    // the pixel minus its lower-left neighbour plus 128, as Art 0 computes it.
    WriteText(f.emboss, "3 3 1 128\n0 0 0\n0 1 0\n-1 0 0\n");
    // Half saturation around the mean of the three channels, as Art 8 at 128 scales it.
    const std::string a = Fixed(0.5 + 0.5 / 3, 6), b = Fixed(0.5 / 3, 6);
    WriteText(f.halfDesaturate, "3 3\n" + a + " " + b + " " + b + "\n" + b + " " + a + " " + b + "\n" + b + " " + b + " " + a + "\n");

    std::filesystem::create_directories(w + "tmp");
    ProcessSetup setup;
    // Temporary files of every child (ImageMagick's pixel cache, vips' spills) stay in the build folder.
    setup.environment = {{"TMPDIR", w + "tmp"}, {"MAGICK_TMPDIR", w + "tmp"}};
    setup.stderrPath = w + "child.err";

    // The versions and thread settings, for the header.
    ProcessSetup versionSetup = setup;
    versionSetup.stdoutPath = w + "version.out";
    RunProcess({kConvert, "-version"}, versionSetup);
    std::string magickVersion = FirstLine(ReadText(versionSetup.stdoutPath));
    if (magickVersion.rfind("Version: ", 0) == 0) magickVersion.erase(0, 9);
    magickVersion = magickVersion.substr(0, magickVersion.find(" https://"));
    RunProcess({kConvert, "-list", "resource"}, versionSetup);
    std::string magickThreads = "?";
    {
        const std::string resources = ReadText(versionSetup.stdoutPath);
        const auto at = resources.find("Thread:");
        if (at != std::string::npos) magickThreads = FirstLine(resources.substr(at + 7));
        while (!magickThreads.empty() && magickThreads.front() == ' ') magickThreads.erase(0, 1);
    }
    RunProcess({kVips, "--version"}, versionSetup);
    const std::string vipsVersion = FirstLine(ReadText(versionSetup.stdoutPath));
    peerNote = "[3] peers as shipped, default threads on " + std::to_string(std::thread::hardware_concurrency()) +
               " cores: " + magickVersion + " (OpenMP, thread resource " + magickThreads +
               ", Debian policy.xml); " + vipsVersion +
               " (default concurrency = cores); corvellin-fx at its default threads. Medians of " + std::to_string(peerRepeats) +
               " runs, ours and theirs alternating; memory = peak RSS of the child (wait4).\n";

    const auto ours = [&](const std::vector<std::string>& calls) {
        Command c = {fx, "apply", "--pic-dir", pic, "--seed", "1", paths.photo, f.outOurs};
        c.insert(c.end(), calls.begin(), calls.end());
        return c;
    };

    std::string commands;
    const std::vector<Comparison> comparisons = Comparisons(f);
    for (const Comparison& comparison : comparisons) {
        const std::vector<Command> oursWay = {ours(comparison.calls)};
        const bool hasVips = !comparison.vips.steps.empty();
        if (&comparison == &comparisons.front()) {
            // One untimed run of each tool first: programs, libraries and the
            // photo are in the page cache for everyone.
            RunWay(oursWay, setup);
            RunWay(comparison.magick.steps, setup);
            if (hasVips) RunWay(comparison.vips.steps, setup);
        }
        Samples o, m, v;
        for (int i = 0; i < peerRepeats; ++i) {
            // Even runs start with ours, odd runs end with it.
            if (i % 2 == 0) o.Add(RunWay(oursWay, setup));
            m.Add(RunWay(comparison.magick.steps, setup));
            if (hasVips) v.Add(RunWay(comparison.vips.steps, setup));
            if (i % 2 == 1) o.Add(RunWay(oursWay, setup));
        }
        std::string callText;
        for (const std::string& call : comparison.calls) callText += " " + call;
        commands += "  " + comparison.name + ": corvellin-fx apply IN OUT" + callText + " | " + comparison.magick.shown +
                    " | " + comparison.vips.shown + (comparison.remark.empty() ? "" : " (" + comparison.remark + ")") + "\n";
        const auto addPair = [&](const std::string& peer, const Samples& theirs, double limit) {
            const std::string name = comparison.name + " vs " + peer;
            if (!o.ok()) {
                table.Add({"3", name, "failed", "-", "-", "-", "NO", o.failure});
                return;
            }
            if (!theirs.ok()) {
                table.Add({"3", name, Fixed(Median(o.ms), 0) + " ms", "failed", "-", "-", "n/a", theirs.failure});
                return;
            }
            const double ratio = Median(o.ms) / Median(theirs.ms);
            table.Add({"3", name, Fixed(Median(o.ms), 0) + " ms", Fixed(Median(theirs.ms), 0) + " ms", Fixed(ratio, 2),
                       "ours/theirs <= " + Fixed(limit, 1), Meets(ratio <= limit),
                       "peak RSS ours " + Fixed(o.peak(), 0) + " MiB, theirs " + Fixed(theirs.peak(), 0) + " MiB"});
        };
        addPair("ImageMagick", m, kImageMagickLimit);
        if (hasVips)
            addPair("libvips", v, kVipsLimit);
        else
            table.Add({"3", comparison.name + " vs libvips", Fixed(Median(o.ms), 0) + " ms", "n/a", "-",
                       "ours/theirs <= " + Fixed(kVipsLimit, 1), "n/a", "libvips has no spread operation"});
    }
    peerNote += "[3] commands (IN = photo.jpg, masks = the shipped mask unpacked and stretched to 6000x4000, JPEG q90):\n" + commands;

    // Section 4: five effects of different categories in one history.
    const std::vector<std::string> history = {"1:0", "4:4", "2:3", "11:0", "12:0"};
    std::string historyText;
    for (const std::string& call : history) historyText += " " + call;
    RunWay({ours(history)}, setup);
    Samples h;
    for (int i = 0; i < repeats; ++i) h.Add(RunWay({ours(history)}, setup));
    const std::string name = "history" + historyText + " (Preset add, Art blur, Color tint, Edge, Frame)";
    if (!h.ok()) {
        table.Add({"4", name, "failed", "-", "-", "-", "NO", h.failure});
    } else {
        const double decodedBytes = static_cast<double>(photo.byteCount());
        const double peakBytes = h.peak() * 1024 * 1024;
        table.Add({"4", name + ", time", Fixed(Median(h.ms), 0) + " ms", "-", "-", "-", "n/a",
                   std::to_string(h.ms.size()) + " runs, decode + 5 effects + JPEG q90"});
        table.Add({"4", name + ", peak memory", Fixed(h.peak(), 0) + " MiB",
                   "decoded " + Fixed(decodedBytes / (1024 * 1024), 0) + " MiB", Fixed(peakBytes / decodedBytes, 2) + "x",
                   "< " + Fixed(kMemoryLimit, 0) + "x decoded", Meets(peakBytes / decodedBytes < kMemoryLimit),
                   "largest ru_maxrss of the runs"});
    }
    peerNote += "[3, 4] every child is started by a small launcher process, so its peak RSS includes at least the launcher's " +
                Fixed(LauncherPeakMiB(), 0) + " MiB (Linux carries the spawner's high-water mark into the child).\n";
    for (const std::string& out : {f.outOurs, f.outMagick, f.outVips, f.vipsTemp}) std::filesystem::remove(out);
}

}  // namespace corvellin::report
