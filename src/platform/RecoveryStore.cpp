#include "RecoveryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "picture/Error.h"
#include "picture/FileIO.h"
#include "UserFolders.h"

namespace corvellin {
namespace {

constexpr const char* kRecoveryExtension = ".recovery";
constexpr const char* kLockExtension = ".lock";

std::string LockPathOf(const std::string& recoveryPath) {
    return recoveryPath.substr(0, recoveryPath.size() - std::strlen(kRecoveryExtension)) + kLockExtension;
}

// True when the lock file's lock is held by a living process.
bool LockHeld(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;  // no lock file: its run is gone
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);  // also drops the lock just taken
    return held;
}

}  // namespace

std::string StateFolder() { return UserStateFolder(); }

RecoverySession::RecoverySession() {
    // The process id keeps living runs apart; the clock keeps a later run that
    // is given the same id apart from the files of an earlier one.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string run = "run-" + std::to_string(::getpid()) + "-" +
                            std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    const std::string folder = StateFolder();
    path_ = folder + "/" + run + kRecoveryExtension;
    lockPath_ = folder + "/" + run + kLockExtension;
}

RecoverySession::~RecoverySession() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    if (lockFd_ >= 0) {
        std::filesystem::remove(lockPath_, ignored);
        ::close(lockFd_);
    }
}

void RecoverySession::Write(const std::string& text) {
    if (lockFd_ < 0) {
        std::error_code error;
        std::filesystem::create_directories(StateFolder(), error);
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const std::string reason = std::strerror(errno);
            if (fd >= 0) ::close(fd);
            throw Error("Cannot keep the recovery file \"" + lockPath_ + "\". " + reason);
        }
        lockFd_ = fd;
    }
    WriteFileAtomically(path_, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void RecoverySession::Clear() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::vector<std::string> RecoverySession::LeftByEndedRuns() {
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(StateFolder(), error)) {
        const std::string path = entry.path().string();
        if (entry.path().extension() != kRecoveryExtension || !entry.is_regular_file(error)) continue;
        if (LockHeld(LockPathOf(path))) continue;
        found.emplace_back(entry.last_write_time(error), path);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> paths;
    for (const auto& [time, path] : found) paths.push_back(path);
    return paths;
}

void RecoverySession::Discard(const std::string& recoveryPath) {
    std::error_code ignored;
    std::filesystem::remove(recoveryPath, ignored);
    std::filesystem::remove(LockPathOf(recoveryPath), ignored);
}

}  // namespace corvellin
