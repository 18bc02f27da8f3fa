// maskgen: paints the mask art and the start-up picture of the editor.
//
//   maskgen --out PICDIR [--category N]... [--threads N]
//   maskgen --contact-sheet FILE [--pic-dir PICDIR] [--picture PICTURE] [--cell WxH]
//   maskgen --measure [--pic-dir PICDIR]
//   maskgen --visibility [--pic-dir PICDIR] [--preview] [--category N]... PICTURE...
//
// Category 0 stands for default.jpg. PICDIR defaults to the pic folder beside
// the program. --visibility prints, for each variation, the share of each
// picture it changes as the editor shows it (exit status 1 when a variation
// of a blend category falls short of the floor).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "ContactSheet.h"
#include "Generator.h"
#include "Visibility.h"
#include "platform/ProgramDir.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: maskgen --out PICDIR [--category N]... [--threads N]\n"
                 "       maskgen --contact-sheet FILE [--pic-dir PICDIR] [--picture PICTURE] [--cell WxH]\n"
                 "       maskgen --measure [--pic-dir PICDIR]\n"
                 "       maskgen --visibility [--pic-dir PICDIR] [--preview] [--category N]... PICTURE...\n");
    return 2;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value >= low && value <= high;
    } catch (const std::exception&) {
        return false;
    }
}

bool ParseCell(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && ParseInt(text.substr(0, x), 16, 2000, width) &&
           ParseInt(text.substr(x + 1), 16, 2000, height);
}

}  // namespace

int main(int argc, char** argv) {
    std::string out, sheet, sheetPicture, picDir = corvellin::ProgramDir() + "pic";
    bool measure = false, visibility = false, preview = false, cellGiven = false;
    int cellWidth = 300, cellHeight = 200;
    std::vector<int> categories;
    std::vector<std::string> pictures;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--contact-sheet" && hasValue) {
            sheet = argv[++i];
        } else if (arg == "--pic-dir" && hasValue) {
            picDir = argv[++i];
        } else if (arg == "--measure") {
            measure = true;
        } else if (arg == "--visibility") {
            visibility = true;
        } else if (arg == "--preview") {
            preview = true;
        } else if (arg == "--picture" && hasValue) {
            sheetPicture = argv[++i];
        } else if (arg == "--cell" && hasValue) {
            if (!ParseCell(argv[++i], cellWidth, cellHeight)) return Usage();
            cellGiven = true;
        } else if (arg == "--category" && hasValue) {
            int c = 0;
            if (!ParseInt(argv[++i], 0, 15, c)) return Usage();
            categories.push_back(c);
        } else if (arg == "--threads" && hasValue) {
            if (!ParseInt(argv[++i], 1, 64, threads)) return Usage();
        } else if (visibility && !arg.empty() && arg[0] != '-') {
            pictures.push_back(arg);
        } else {
            return Usage();
        }
    }
    const int modes = !out.empty() + !sheet.empty() + measure + visibility;
    if (modes != 1 || (visibility && pictures.empty()) || (preview && !visibility) ||
        ((cellGiven || !sheetPicture.empty()) && sheet.empty()))
        return Usage();
    try {
        if (visibility) {
            const auto size = preview ? maskgen::ViewSize::Preview : maskgen::ViewSize::Thumbnail;
            return maskgen::PrintVisibility(picDir, pictures, categories, size) == 0 ? 0 : 1;
        }
        if (!out.empty()) {
            const auto jobs = maskgen::JobsFor(categories);
            if (jobs.empty()) {
                std::fprintf(stderr, "maskgen: no mask art for the categories given\n");
                return 2;
            }
            maskgen::Generate(out, jobs, threads);
        } else if (!sheet.empty()) {
            maskgen::WriteContactSheet(sheet, picDir, sheetPicture, cellWidth, cellHeight);
        } else {
            maskgen::MeasureThumbnails(picDir);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "maskgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
