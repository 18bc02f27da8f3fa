// The per-user folders of the XDG base directory rules and the program's own
// folders in them, and whether the program folder can take the files it
// writes beside itself. Every caller asks here: the settings file, the update
// file, the wallpaper file, the crash recovery files and the desktop lookups.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvellin {

// The name of the program's own folder inside each per-user folder.
inline constexpr const char* kUserFolderName = "Corvellin Photo";

struct UserFolders {
    std::string home;                     // $HOME when absolute, else the account's home, else /tmp
    std::string config;                   // $XDG_CONFIG_HOME, default <home>/.config
    std::string data;                     // $XDG_DATA_HOME, default <home>/.local/share
    std::string state;                    // $XDG_STATE_HOME, default <home>/.local/state
    std::string cache;                    // $XDG_CACHE_HOME, default <home>/.cache
    std::vector<std::string> configDirs;  // $XDG_CONFIG_DIRS, default /etc/xdg
    std::vector<std::string> dataDirs;    // $XDG_DATA_DIRS, default /usr/local/share:/usr/share
};

// The rules, applied to an environment (a variable's value, nullopt when it is
// unset) and to the home folder of the account (empty when there is none). A
// value that is not an absolute path is ignored, as if unset; trailing
// slashes are dropped, so no folder ends with '/' (but "/" itself).
using EnvironmentReader = std::function<std::optional<std::string>(const char* name)>;
UserFolders UserFoldersFrom(const EnvironmentReader& environment, const std::string& accountHome);

// The rules applied to this process's environment and account.
UserFolders UserFoldersOfThisProcess();

// The program's own folder in each: "<config>/Corvellin Photo" and so on.
std::string UserConfigFolder();
std::string UserDataFolder();
std::string UserStateFolder();

// Whether files can be created and renamed in the program's folder: it is a
// folder the process may write to and enter. Callers that keep a file beside
// the program use it there when this holds, else in their per-user folder.
bool ProgramFolderWritable(const std::string& programDir);

}  // namespace corvellin
