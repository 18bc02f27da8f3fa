// Mounts for the failure drills: a small tmpfs that fills up, a folder made
// read-only by a bind mount. Root ignores permissions, so only a mount makes a
// write fail for it. Each mount is undone when its object dies, also when a
// test fails half-way.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/mount.h>

namespace corvellin::test {

class ScopedMount {
public:
    ScopedMount() = default;
    ~ScopedMount() { Release(); }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    // Each returns 0 on success, else the errno of the failing call.
    // A tmpfs over folder, e.g. options "size=64k".
    int MountTmpfs(const std::string& folder, const std::string& options) {
        if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) return errno;
        folder_ = folder;
        return 0;
    }
    // folder bound onto itself, read-only: its files stay readable, nothing can be written.
    int BindReadOnly(const std::string& folder) {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return errno;
        folder_ = folder;
        return RemountReadOnly();
    }
    // The mount made last, now read-only.
    int RemountReadOnly() {
        if (::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) return errno;
        return 0;
    }
    void Release() {
        if (!folder_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
        folder_.clear();
    }

    // Mounting is refused to a process without the right (not root, or a
    // container without CAP_SYS_ADMIN): such a test is skipped, not failed.
    static bool NotPermitted(int error) { return error == EPERM || error == EACCES; }
    static std::string Reason(int error) { return std::strerror(error); }

private:
    std::string folder_;
};

}  // namespace corvellin::test

// Mounts or skips the test (mounting not permitted) or fails it (any other reason).
#define CORVELLIN_MOUNT_OR_SKIP(call)                                                                      \
    do {                                                                                                   \
        const int mountError_ = (call);                                                                    \
        if (::corvellin::test::ScopedMount::NotPermitted(mountError_))                                     \
            GTEST_SKIP() << "mounting is not permitted here: " << ::corvellin::test::ScopedMount::Reason(mountError_); \
        ASSERT_EQ(mountError_, 0) << #call << ": " << ::corvellin::test::ScopedMount::Reason(mountError_); \
    } while (0)
