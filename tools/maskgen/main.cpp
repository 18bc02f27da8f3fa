// maskgen: paints the mask art and the start-up picture of the editor.
//
//   maskgen --out PICDIR [--category N]... [--threads N]
//   maskgen --contact-sheet FILE [--pic-dir PICDIR]
//   maskgen --measure [--pic-dir PICDIR]
//
// Category 0 stands for default.jpg. PICDIR defaults to the pic folder beside
// the program.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "ContactSheet.h"
#include "Generator.h"
#include "platform/ProgramDir.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: maskgen --out PICDIR [--category N]... [--threads N]\n"
                 "       maskgen --contact-sheet FILE [--pic-dir PICDIR]\n"
                 "       maskgen --measure [--pic-dir PICDIR]\n");
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

}  // namespace

int main(int argc, char** argv) {
    std::string out, sheet, picDir = corvellin::ProgramDir() + "pic";
    bool measure = false;
    std::vector<int> categories;
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
        } else if (arg == "--category" && hasValue) {
            int c = 0;
            if (!ParseInt(argv[++i], 0, 15, c)) return Usage();
            categories.push_back(c);
        } else if (arg == "--threads" && hasValue) {
            if (!ParseInt(argv[++i], 1, 64, threads)) return Usage();
        } else {
            return Usage();
        }
    }
    if (out.empty() == sheet.empty() ? !measure || !out.empty() : measure) return Usage();
    try {
        if (!out.empty()) {
            const auto jobs = maskgen::JobsFor(categories);
            if (jobs.empty()) {
                std::fprintf(stderr, "maskgen: no mask art for the categories given\n");
                return 2;
            }
            maskgen::Generate(out, jobs, threads);
        } else if (!sheet.empty()) {
            maskgen::WriteContactSheet(sheet, picDir);
        } else {
            maskgen::MeasureThumbnails(picDir);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "maskgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
