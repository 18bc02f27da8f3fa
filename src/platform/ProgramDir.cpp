#include "ProgramDir.h"

#include <filesystem>
#include <system_error>

namespace corvellin {

std::string ProgramDir() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || exe.empty()) exe = std::filesystem::current_path() / "corvellin";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace corvellin
