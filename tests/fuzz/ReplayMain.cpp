// Replays inputs through a fuzz target without libFuzzer: every file named on
// the command line, or found (recursively) in a folder named there, is passed
// to LLVMFuzzerTestOneInput once. A missing folder is skipped, so a target
// whose regression folder is still empty replays its seeds only.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root = argv[i];
        if (std::filesystem::is_regular_file(root)) {
            RunFile(root);
            ++count;
        } else if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
                if (!entry.is_regular_file()) continue;
                RunFile(entry.path());
                ++count;
            }
        }
    }
    std::printf("replayed %zu inputs\n", count);
    // Nothing replayed means the seeds were not generated: a broken set-up, not a pass.
    return count > 0 ? 0 : 1;
}
