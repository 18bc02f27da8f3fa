// What the Tools menu's one item opens: the companion photo program when the
// desktop has it installed as the default handler of its file type, else its
// web page.
#pragma once

#include <string>
#include <vector>

namespace corvellin {

inline constexpr const char* kCompanionMimeType = "application/x-velloran";
inline constexpr const char* kCompanionWebPage = "https://www.corvellin.org/velloran-editor/";

// The folders where the desktop keeps its file-type associations and
// application entries, and the program search path.
struct DesktopDirs {
    std::string configHome;               // $XDG_CONFIG_HOME, default ~/.config
    std::vector<std::string> configDirs;  // $XDG_CONFIG_DIRS, default /etc/xdg
    std::string dataHome;                 // $XDG_DATA_HOME, default ~/.local/share
    std::vector<std::string> dataDirs;    // $XDG_DATA_DIRS, default /usr/local/share:/usr/share
    std::vector<std::string> desktops;    // $XDG_CURRENT_DESKTOP, lower case
    std::vector<std::string> path;        // $PATH
};

DesktopDirs DesktopDirsFromEnvironment();

// The Exec line (unescaped) of the desktop entry that is the default handler
// of the type: the first installed entry named for it in the mimeapps.list
// files (user's first, desktop-specific lists before the general ones), else
// the first installed one listed in a mimeinfo.cache. Empty when there is none.
std::string DefaultHandlerExec(const DesktopDirs& dirs, const std::string& mimeType);

// The program of an Exec line: its first word, unquoted by the desktop entry
// rules (double quotes; inside them a backslash escapes " ` $ and \). Empty
// for an empty line or an unterminated quote.
std::string ExecProgram(const std::string& exec);

// The program's full path: itself when absolute, else the first executable
// file of that name on the search path. Empty when none is found.
std::string ResolveProgram(const std::string& program, const std::vector<std::string>& path);

// The full path of the companion program when it is installed as the default
// handler of its file type and is an existing executable file; else its web page.
std::string FindToolsTarget(const DesktopDirs& dirs);

}  // namespace corvellin
