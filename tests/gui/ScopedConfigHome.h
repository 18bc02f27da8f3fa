// Points XDG_CONFIG_HOME, and with it the editor's settings file, at a folder
// of the test while the object lives; the value it had before comes back after.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace corvellin::test {

class ScopedConfigHome {
public:
    explicit ScopedConfigHome(const std::string& folder) {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~ScopedConfigHome() {
        if (saved_) ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace corvellin::test
