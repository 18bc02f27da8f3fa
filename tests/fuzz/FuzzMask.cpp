// libFuzzer target: the .gph mask reader (JPEG and BMP variants) through the
// real LoadMaskFile. The input is written to one file in /dev/shm per process,
// so that the reading path is exactly the editor's.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "effects/MaskFile.h"
#include "picture/Error.h"

namespace {

std::string& MaskPath() {
    static std::string path;
    return path;
}

void RemoveMaskFile() {
    if (!MaskPath().empty()) ::unlink(MaskPath().c_str());
}

const std::string& PrepareMaskPath() {
    if (MaskPath().empty()) {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/corvellin-fuzz-mask-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        MaskPath() = pattern;
        std::atexit(RemoveMaskFile);
    }
    return MaskPath();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = PrepareMaskPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    try {
        const corvellin::Picture picture = corvellin::LoadMaskFile(path);
        (void)picture;
    } catch (const corvellin::Error&) {
    }
    return 0;
}
