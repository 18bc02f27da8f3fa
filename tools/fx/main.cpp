// corvellin-fx: renders effect calls onto picture files with the editor's engine
// (one file, or many at once), and packs or unpacks .gph mask files.
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Batch.h"
#include "CallParser.h"
#include "RenderFile.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "effects/RowBands.h"
#include "effects/kernels/VectorPaths.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/PictureFile.h"
#include "platform/ProgramDir.h"

namespace {

using namespace corvellin;

constexpr const char* kUsage =
    "usage: corvellin-fx apply [-j N] [--pic-dir DIR] [--seed N] [--keep-orientation] IN OUT [CALL...]\n"
    "       corvellin-fx batch [-j N] [--pic-dir DIR] [--seed N] [--keep-orientation] -o OUTDIR CALL... -- FILE...\n"
    "       corvellin-fx mask-pack IN OUT.gph\n"
    "       corvellin-fx mask-unpack IN.gph OUT\n"
    "       corvellin-fx list\n"
    "       corvellin-fx --version\n"
    "\n"
    "apply reads IN (@READ@),\n"
    "turns it upright by its EXIF orientation, applies each CALL in order at full\n"
    "size and writes OUT by its extension (.jpg/.jpeg: JPEG quality 90, .bmp: 24-bit\n"
    "BMP, .png: 24-bit PNG). JPEG and PNG keep IN's metadata (EXIF, XMP, IPTC, ICC\n"
    "profile; PNG: ICC, EXIF and XMP) with the orientation set to 1.\n"
    "CALL is CATEGORY:VARIATION[:PARAMETER[:COLOUR]]: CATEGORY is 1..15 or its name\n"
    "as on the editor's buttons (star, art, edge, ...), VARIATION 0..9, PARAMETER the\n"
    "Art slider value (default: the slider's start), COLOUR 0x00BBGGRR in decimal or\n"
    "0x-hex for Edge (default 0x008000, green). Examples: star:3  art:7:50\n"
    "edge:2::0x0000FF. `corvellin-fx list` shows every category and variation.\n"
    "apply uses every core for one file; -j 1 renders it on one thread (the same bytes).\n"
    "\n"
    "batch applies the same CALLs to every FILE and writes OUTDIR/<file name of FILE>\n"
    "in the format of its extension (a .tif, .tiff, .webp, .heic or .heif FILE is\n"
    "written as JPEG, its extension replaced by .jpg), creating OUTDIR if needed. It never overwrites\n"
    "an input, and of two FILEs with the same name only the first is written. A FILE\n"
    "that fails is named on stderr with the reason and the others go on; exit status\n"
    "1 if any failed.\n"
    "  -j N           threads: for apply, used on the one file; for batch, files\n"
    "                 rendered at once; 1 to 256 (default: one per core)\n"
    "  -o OUTDIR      the folder the results go to\n"
    "  --pic-dir DIR  the mask folder (default: pic beside this program)\n"
    "  --seed N       seed every random scatter with N instead of the clock\n"
    "  --keep-orientation  work on the pixels as stored, not turned by the EXIF orientation\n";

// The usage text with the readable extensions of the format table.
std::string UsageText() {
    std::string text = kUsage;
    const std::string mark = "@READ@";
    text.replace(text.find(mark), mark.size(), ReadableDottedExtensionsText());
    return text;
}

int Usage(const std::string& problem) {
    if (!problem.empty()) std::fprintf(stderr, "corvellin-fx: %s\n", problem.c_str());
    std::fputs(UsageText().c_str(), stderr);
    return 2;
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

int Apply(const std::vector<std::string>& args) {
    EffectContext context;
    context.picDir = ProgramDir() + "pic";
    unsigned threads = 0;  // one per core
    PictureLoadOptions loadOptions;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--keep-orientation" && positional.size() < 2) {
            loadOptions.keepOrientation = true;
        } else if (a == "--pic-dir" || a == "--seed" || a == "-j") {
            if (i + 1 >= args.size()) return Usage(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "--pic-dir") {
                context.picDir = value;
            } else if (a == "-j") {
                const auto count = fx::ParseInteger(value, 1, 256, false);
                if (!count) return Usage("-j takes a whole number from 1 to 256");
                threads = static_cast<unsigned>(*count);
            } else {
                const auto seed = fx::ParseInteger(value, 0, 0xFFFFFFFFLL, true);
                if (!seed) return Usage("--seed takes a whole number from 0 to 4294967295");
                context.scatterSeed = static_cast<std::uint32_t>(*seed);
            }
        } else if (a.size() > 1 && a[0] == '-' && positional.size() < 2) {
            return Usage("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 2) return Usage("apply needs IN and OUT");
    const std::string& in = positional[0];
    const std::string& out = positional[1];
    const PictureFormat outFormat = PictureFormatOfPath(out);
    if (FindPictureFormat(outFormat) == nullptr || FindPictureFormat(outFormat)->saveFilterName == nullptr)
        return Usage("OUT must end in " + WritableExtensionsText() + ": " + out);
    std::vector<EffectCall> calls;
    for (std::size_t i = 2; i < positional.size(); ++i) {
        const fx::ParsedCall parsed = fx::ParseEffectCall(positional[i]);
        if (!parsed.call) return Usage(parsed.error);
        calls.push_back(*parsed.call);
    }

    // Several threads: kernels with independent rows run in bands, and a JPEG
    // changed only by such kernels is decoded and encoded side by side.
    BandPool bands(threads);
    if (bands.threads() > 1) context.bands = &bands;
    if (std::optional<std::string> failure =
            fx::RenderFile(context, in, out, outFormat, calls, /*stream=*/bands.threads() > 1, loadOptions)) {
        for (char& c : *failure)
            if (c == '\r') c = '\n';
        return Fail(*failure);
    }
    return 0;
}

int Batch(const std::vector<std::string>& args) {
    const fx::ParsedBatch parsed = fx::ParseBatchArguments(args, ProgramDir() + "pic");
    if (!parsed.options) return Usage(parsed.error);
    return fx::RunBatch(*parsed.options);
}

int List() {
    for (const CategoryInfo& info : kCategories) {
        std::printf("%2d  %s\n", info.number, info.name);
        for (int v = 0; v < kVariationCount; ++v) {
            const auto index = static_cast<std::size_t>(v);
            std::string line = "      " + std::to_string(v) + "  " + (*info.variations)[index];
            if (info.sliders != nullptr)
                if (const auto& slider = (*info.sliders)[index])
                    line += "  (parameter " + std::to_string(slider->minimum) + " to " + std::to_string(slider->maximum) +
                            ", default " + std::to_string(slider->start) + ")";
            std::printf("%s\n", line.c_str());
        }
    }
    return 0;
}

int MaskPack(const std::vector<std::string>& args, bool pack) {
    if (args.size() != 2) return Usage(pack ? "mask-pack needs IN and OUT.gph" : "mask-unpack needs IN.gph and OUT");
    const std::vector<std::uint8_t> bytes = ReadWholeFile(args[0]);
    WriteFileAtomically(args[1], pack ? PackMaskBytes(bytes) : UnpackMaskBytes(bytes));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("");
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "apply") return Apply(args);
        if (command == "batch") return Batch(args);
        if (command == "mask-pack") return MaskPack(args, true);
        if (command == "mask-unpack") return MaskPack(args, false);
        if (command == "list") return args.empty() ? List() : Usage("list takes no arguments");
        if (command == "--version") {
            if (!args.empty()) return Usage("--version takes no arguments");
            std::printf("corvellin-fx\nvector paths on this processor:\n");
            std::istringstream lines(DescribeVectorPaths());
            for (std::string line; std::getline(lines, line);) std::printf("  %s\n", line.c_str());
            return 0;
        }
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
        return Usage("unknown command " + command);
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
