#include "FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Error.h"
#include "Limits.h"

namespace corvellin {
namespace {

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void ThrowTooLarge(const std::string& path) {
    throw Error(Format("Cannot read file \"%s\". It is larger than %llu MiB, the most this editor reads.",
                       path.c_str(), static_cast<unsigned long long>(kMaxReadFileBytes >> 20)));
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's file creation mask. umask() can only read it by setting it,
// and two threads writing at once could then leave it at 0 for good (the
// second reads the first's 0 and restores that), so it is read from
// /proc/self/status, which leaves it alone; where that is missing, it is set
// and restored under a lock.
mode_t CurrentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask & 0777);
    }
    static std::mutex umaskMutex;
    const std::lock_guard lock(umaskMutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error(Format("Cannot open file \"%s\". %s", path.c_str(), Reason(errno).c_str()));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw Error(Format("Cannot open file \"%s\". %s", path.c_str(), Reason(error).c_str()));
    }
    // Refused before anything is allocated; the loop below also stops a file
    // that grows while it is read.
    if (static_cast<std::uint64_t>(info.st_size) > kMaxReadFileBytes) {
        ::close(fd);
        ThrowTooLarge(path);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw Error(Format("Cannot read file \"%s\". %s", path.c_str(), Reason(error).c_str()));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxReadFileBytes) {
            ::close(fd);
            ThrowTooLarge(path);
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temporary = FolderOf(path) + "/." + BaseNameOf(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) throw Error(Format("Cannot create file \"%s\". %s", path.c_str(), Reason(errno).c_str()));

    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw Error(Format("Cannot write file \"%s\". %s", path.c_str(), Reason(error).c_str()));
    };

    // mkstemp creates the file private; give it the mode the target has, or the
    // mode a newly created file would get.
    struct stat existing {};
    const mode_t mode = (::stat(path.c_str(), &existing) == 0) ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) fail(errno);

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw Error(Format("Cannot write file \"%s\". %s", path.c_str(), Reason(error).c_str()));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw Error(Format("Cannot write file \"%s\". %s", path.c_str(), Reason(error).c_str()));
    }
}

}  // namespace corvellin
