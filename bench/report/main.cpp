// corvellin-bench-report: measures the engine, the editor window and the
// command-line tool on this machine and prints one table (what `make bench`
// shows). The photo it measures on is painted here and written into the build
// folder with every other file the runs need.
//
//   corvellin-bench-report [--repeats N] [--peer-repeats N] [--sections 12345]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "Measure.h"
#include "Photo.h"
#include "Process.h"
#include "Sections.h"

using namespace corvellin::report;

namespace {

std::string SelfPath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    return text;
}

int Usage() {
    std::fputs("usage: corvellin-bench-report [--repeats N] [--peer-repeats N] [--sections 12345]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--thumbnail-child") return ThumbnailChild(argv[2], std::atoi(argv[3]));
    // Before anything big is allocated: see StartLauncher.
    StartLauncher();
    int repeats = 5, peerRepeats = 5;
    std::string sections = "12345";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--repeats" && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (a == "--peer-repeats" && i + 1 < argc)
            peerRepeats = std::max(1, std::atoi(argv[++i]));
        else if (a == "--sections" && i + 1 < argc)
            sections = argv[++i];
        else
            return Usage();
    }
    Paths paths;
    paths.binDir = CORVELLIN_BIN_DIR;
    paths.workDir = std::string(CORVELLIN_REPORT_WORK_DIR) + "/";
    paths.self = SelfPath();
    paths.photo = paths.workDir + "photo.jpg";
    std::filesystem::create_directories(paths.workDir);
    if (!std::filesystem::exists(paths.binDir + "/pic/.generated") || !std::filesystem::exists(paths.binDir + "/corvellin-fx")) {
        std::fprintf(stderr, "corvellin-bench-report: build corvellin-fx and pic first (%s)\n", paths.binDir.c_str());
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    std::fprintf(stderr, "painting the photo into %s\n", paths.photo.c_str());
    WritePhotoJpeg(paths.photo);
    Table table;
    std::string peerNote;
    const auto has = [&](char s) { return sections.find(s) != std::string::npos; };
    if (has('1')) {
        std::fprintf(stderr, "[1] kernels ...\n");
        KernelRows(paths, repeats, table);
    }
    if (has('2')) {
        std::fprintf(stderr, "[2] thumbnails ...\n");
        ThumbnailRows(paths, repeats, table);
    }
    if (has('3') || has('4')) {
        std::fprintf(stderr, "[3, 4] whole processes ...\n");
        ProcessRows(paths, repeats, peerRepeats, table, peerNote);
    }
    if (has('5')) {
        std::fprintf(stderr, "[5] PNG, HEIC, orientation and metadata ...\n");
        PhotoFormatRows(paths, repeats, peerRepeats, table, peerNote);
    }

    std::printf("Corvellin benchmark report, %s, %u cores; photo %s (%dx%d, painted, JPEG q90, %.1f MB)\n", UtcNow().c_str(),
                std::thread::hardware_concurrency(), paths.photo.c_str(), kPhotoWidth, kPhotoHeight,
                static_cast<double>(std::filesystem::file_size(paths.photo)) / 1e6);
    std::printf("[1] kernels on the decoded photo, one thread, median of %d runs, each from a fresh copy; ratio = kernel / "
                "the memcpy of the same picture beside it\n", repeats);
    std::printf("[2] ten 150x150 thumbnails of a category in TMainForm (Qt offscreen, mask art of bin/pic): first = a new "
                "process and window, masks never read; again = after switching to another category; median of %d processes\n",
                repeats);
    std::printf("%s", peerNote.c_str());
    std::printf("[4] corvellin-fx apply of a five-effect history on the photo, written as JPEG q90; memory against the "
                "decoded picture (6000 x 4000 x 3 bytes)\n\n");
    std::printf("%s", table.Render().c_str());
    std::printf("\n(%.0f s in all. Detailed micro runs: build/bench/corvellin-bench, Google Benchmark.)\n",
                MillisecondsSince(start) / 1000);
    return 0;
}
