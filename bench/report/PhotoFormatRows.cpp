// Section 5: today's photographs. A 24-megapixel PNG and a 12-megapixel HEIC,
// made from the photo by ImageMagick and heif-enc, opened, negated and saved
// as JPEG quality 90 by corvellin-fx, ImageMagick and libvips, whole
// processes alternating run by run; then what turning a picture upright and
// carrying its metadata cost beside a 24-megapixel JPEG apply.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "Measure.h"
#include "Process.h"
#include "Sections.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "picture/Metadata.h"
#include "picture/Orientation.h"

namespace corvellin::report {
namespace {

constexpr const char* kHeifEnc = "/usr/bin/heif-enc";
constexpr const char* kExiftool = "/usr/bin/exiftool";
// Orientation and metadata together, against the apply of the photo.
constexpr double kOrientationShare = 0.05;

using Command = std::vector<std::string>;

// Runs a tool that makes a fixture; false (with the row saying so) when it fails.
bool Make(const Command& command, const ProcessSetup& setup, Table& table, const std::string& what) {
    const ProcessRun run = RunProcess(command, setup);
    if (!run.ok) table.Add({"5", what, "failed", "-", "-", "-", "NO", run.failure});
    return run.ok;
}

void PeerRows(const std::string& name, const std::string& in, const std::string& fx, const std::string& pic,
              const std::string& w, int repeats, const ProcessSetup& setup, Table& table, std::string& note) {
    const Command ours = {fx, "apply", "--pic-dir", pic, "--seed", "1", in, w + "out-ours.jpg", "4:9"};
    const Command magick = {kConvert, in, "-negate", "-quality", "90", w + "out-magick.jpg"};
    const Command vips = {kVips, "invert", in, w + "out-vips.jpg[Q=90]"};
    RunProcess(ours, setup), RunProcess(magick, setup), RunProcess(vips, setup);  // page cache
    Samples o, m, v;
    for (int i = 0; i < repeats; ++i) {
        if (i % 2 == 0) o.Add(RunProcess(ours, setup));
        m.Add(RunProcess(magick, setup));
        v.Add(RunProcess(vips, setup));
        if (i % 2 == 1) o.Add(RunProcess(ours, setup));
    }
    for (const auto& [peer, theirs] : {std::pair<const char*, const Samples&>{"ImageMagick", m}, {"libvips", v}}) {
        const std::string row = name + ", open + negative (Art 9) + JPEG q90, vs " + peer;
        if (!o.ok()) {
            table.Add({"5", row, "failed", "-", "-", "-", "NO", o.failure});
        } else if (!theirs.ok()) {
            table.Add({"5", row, Fixed(Median(o.ms), 0) + " ms", "failed", "-", "-", "n/a", theirs.failure});
        } else {
            table.Add({"5", row, Fixed(Median(o.ms), 0) + " ms", Fixed(Median(theirs.ms), 0) + " ms",
                       Fixed(Median(o.ms) / Median(theirs.ms), 2), "-", "n/a",
                       "peak RSS ours " + Fixed(o.peak(), 0) + " MiB, theirs " + Fixed(theirs.peak(), 0) + " MiB"});
        }
    }
    note += "  " + name + ": corvellin-fx apply IN OUT.jpg 4:9 | convert IN -negate -quality 90 OUT.jpg | vips invert IN "
            "OUT.jpg[Q=90]\n";
}

}  // namespace

void PhotoFormatRows(const Paths& paths, int repeats, int peerRepeats, Table& table, std::string& note) {
    const std::string w = paths.workDir;
    const std::string fx = paths.binDir + "/corvellin-fx", pic = paths.binDir + "/pic";
    ProcessSetup setup;
    setup.environment = {{"TMPDIR", w + "tmp"}, {"MAGICK_TMPDIR", w + "tmp"}};
    setup.stderrPath = w + "child.err";
    std::filesystem::create_directories(w + "tmp");
    note += "[5] fixtures made from the photo here: photo-24mp.png by ImageMagick (6000x4000, 24-bit), photo-12mp.heic by "
            "heif-enc -q 90 (4000x3000, resized by ImageMagick); medians of " + std::to_string(peerRepeats) +
            " runs, alternating:\n";

    const std::string png = w + "photo-24mp.png", heicSource = w + "photo-12mp.png", heic = w + "photo-12mp.heic";
    if (Make({kConvert, paths.photo, png}, setup, table, "24 MP PNG (convert)"))
        PeerRows("24 MP PNG", png, fx, pic, w, peerRepeats, setup, table, note);
    if (Make({kConvert, paths.photo, "-resize", "4000x3000!", heicSource}, setup, table, "12 MP source (convert)") &&
        Make({kHeifEnc, "-q", "90", heicSource, "-o", heic}, setup, table, "12 MP HEIC (heif-enc)"))
        PeerRows("12 MP HEIC", heic, fx, pic, w, peerRepeats, setup, table, note);

    // The photo as a camera stores a portrait: turned (orientation 6), with
    // camera, date, GPS and an XMP title, made by exiftool.
    const std::string turned = w + "photo-o6.jpg", mirrored = w + "photo-o2.jpg";
    const Command tags = {"-q", "-Model=Corvocam", "-DateTimeOriginal=2021:05:06 07:08:09", "-GPSLatitude=48.5",
                          "-GPSLatitudeRef=N", "-XMP-dc:Title=Harbour"};
    Command makeTurned = {kExiftool};
    makeTurned.insert(makeTurned.end(), tags.begin(), tags.end());
    makeTurned.insert(makeTurned.end(), {"-Orientation#=6", "-o", turned, paths.photo});
    Command makeMirrored = {kExiftool, "-q", "-Orientation#=2", "-o", mirrored, turned};
    std::filesystem::remove(turned), std::filesystem::remove(mirrored);
    if (!Make(makeTurned, setup, table, "orientation 6 JPEG (exiftool)") ||
        !Make(makeMirrored, setup, table, "orientation 2 JPEG (exiftool)"))
        return;

    // In-process: the turn of the decoded photo, and the metadata's whole way
    // (read, made fit for the saved picture, inserted into the encoded file).
    const std::vector<std::uint8_t> file = ReadWholeFile(turned);
    const Picture stored = DecodeJpeg(file.data(), file.size());
    const std::vector<std::uint8_t> encoded = EncodeJpeg(stored, 90);
    std::vector<double> turnMs, metadataMs;
    for (int i = 0; i < repeats; ++i) {
        Picture copy = stored;
        turnMs.push_back(TimeMs([&] { copy = OrientUpright(std::move(copy), 6); }));
        metadataMs.push_back(TimeMs([&] {
            const PictureMetadata read = ReadPictureMetadata(file.data(), file.size(), PictureFormat::Jpeg);
            const std::vector<std::uint8_t> saved =
                InsertJpegMetadata(encoded, MetadataForSavedPicture(read, stored.height(), stored.width()));
            if (saved.size() <= encoded.size()) std::abort();  // the metadata must have gone in
        }));
    }
    // Whole processes: the photo stored upright, mirrored and turned.
    const auto apply = [&](const std::string& in) {
        return Command{fx, "apply", "--pic-dir", pic, "--seed", "1", in, w + "out-ours.jpg", "4:9"};
    };
    Samples upright, mirror, turn;
    RunProcess(apply(paths.photo), setup), RunProcess(apply(turned), setup);
    for (int i = 0; i < repeats; ++i) {
        upright.Add(RunProcess(apply(paths.photo), setup));
        mirror.Add(RunProcess(apply(mirrored), setup));
        turn.Add(RunProcess(apply(turned), setup));
    }
    if (!upright.ok() || !mirror.ok() || !turn.ok()) {
        table.Add({"5", "corvellin-fx apply of the turned photo", "failed", "-", "-", "-", "NO",
                   upright.failure + mirror.failure + turn.failure});
        return;
    }
    const double applyMs = Median(upright.ms), cost = Median(turnMs) + Median(metadataMs);
    table.Add({"5", "orientation 6 turn of the 24 MP photo + metadata read and written, vs apply 4:9 of the photo",
               Fixed(cost, 1) + " ms", Fixed(applyMs, 0) + " ms", Fixed(100 * cost / applyMs, 1) + " %",
               "< " + Fixed(100 * kOrientationShare, 0) + " %", Meets(cost < kOrientationShare * applyMs),
               "turn " + Fixed(Median(turnMs), 1) + " ms (one thread, new picture), metadata " + Fixed(Median(metadataMs), 1) +
                   " ms (exiv2)"});
    table.Add({"5", "apply 4:9 of the photo stored mirrored (orientation 2, streamed), vs stored upright",
               Fixed(Median(mirror.ms), 0) + " ms", Fixed(applyMs, 0) + " ms", Fixed(Median(mirror.ms) / applyMs, 2), "-",
               "n/a", "metadata carried; peak RSS " + Fixed(mirror.peak(), 0) + " MiB"});
    table.Add({"5", "apply 4:9 of the photo stored turned (orientation 6, streamed), vs stored upright",
               Fixed(Median(turn.ms), 0) + " ms", Fixed(applyMs, 0) + " ms", Fixed(Median(turn.ms) / applyMs, 2), "-",
               "n/a",
               "the turn runs beside the decode; encoding waits for the last stored row; peak RSS " +
                   Fixed(turn.peak(), 0) + " MiB"});
    for (const std::string& out : {w + "out-ours.jpg", w + "out-magick.jpg", w + "out-vips.jpg"}) std::filesystem::remove(out);
}

}  // namespace corvellin::report
