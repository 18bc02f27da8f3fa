#include "UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace corvellin {
namespace {

std::optional<std::string> AbsoluteFolder(const std::optional<std::string>& value) {
    if (!value || value->empty() || value->front() != '/') return std::nullopt;
    std::string folder = *value;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string HomeOr(const EnvironmentReader& environment, const char* name, const std::string& fallback) {
    return AbsoluteFolder(environment(name)).value_or(fallback);
}

std::vector<std::string> FolderList(const EnvironmentReader& environment, const char* name,
                                    std::vector<std::string> fallback) {
    std::vector<std::string> folders;
    if (const auto value = environment(name)) {
        std::istringstream parts(*value);
        for (std::string part; std::getline(parts, part, ':');)
            if (const auto folder = AbsoluteFolder(part)) folders.push_back(*folder);
    }
    return folders.empty() ? fallback : folders;
}

std::string AccountHome() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

UserFolders UserFoldersFrom(const EnvironmentReader& environment, const std::string& accountHome) {
    UserFolders folders;
    folders.home = AbsoluteFolder(environment("HOME")).value_or(AbsoluteFolder(accountHome).value_or("/tmp"));
    const std::string base = folders.home == "/" ? "" : folders.home;
    folders.config = HomeOr(environment, "XDG_CONFIG_HOME", base + "/.config");
    folders.data = HomeOr(environment, "XDG_DATA_HOME", base + "/.local/share");
    folders.state = HomeOr(environment, "XDG_STATE_HOME", base + "/.local/state");
    folders.cache = HomeOr(environment, "XDG_CACHE_HOME", base + "/.cache");
    folders.configDirs = FolderList(environment, "XDG_CONFIG_DIRS", {"/etc/xdg"});
    folders.dataDirs = FolderList(environment, "XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
    return folders;
}

UserFolders UserFoldersOfThisProcess() {
    const EnvironmentReader environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    };
    return UserFoldersFrom(environment, AccountHome());
}

std::string UserConfigFolder() { return UserFoldersOfThisProcess().config + "/" + kUserFolderName; }
std::string UserDataFolder() { return UserFoldersOfThisProcess().data + "/" + kUserFolderName; }
std::string UserStateFolder() { return UserFoldersOfThisProcess().state + "/" + kUserFolderName; }

bool ProgramFolderWritable(const std::string& programDir) {
    return !programDir.empty() && ::access(programDir.c_str(), W_OK | X_OK) == 0;
}

}  // namespace corvellin
