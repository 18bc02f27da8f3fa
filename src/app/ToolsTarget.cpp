#include "ToolsTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/UserFolders.h"

namespace corvellin {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutableFile(const std::string& path) { return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0; }

// The value of key in group of a desktop-style key file (keys and groups
// compared exactly, the first one wins); empty when missing.
std::optional<std::string> KeyFileValue(const std::string& file, const std::string& group, const std::string& key) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        if (!inGroup) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (Trim(line.substr(0, equals)) == key) return Trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

// Unescapes a desktop entry string value: \s \n \t \r and \\.
std::string UnescapeValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            switch (next) {
                case 's': out += ' '; break;
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case '\\': out += '\\'; break;
                default: out += '\\'; out += next; break;
            }
        } else {
            out += value[i];
        }
    }
    return out;
}

std::vector<std::string> ApplicationDirs(const DesktopDirs& dirs) {
    std::vector<std::string> result;
    if (!dirs.dataHome.empty()) result.push_back(dirs.dataHome + "/applications");
    for (const std::string& d : dirs.dataDirs) result.push_back(d + "/applications");
    return result;
}

// The file of a desktop entry id in one applications folder: "a-b.desktop"
// may also lie in the subfolder "a" as "b.desktop".
std::string EntryFileIn(const std::string& folder, const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return {};
    const std::string direct = folder + "/" + id;
    if (IsRegularFile(direct)) return direct;
    for (std::size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        const std::string nested = EntryFileIn(folder + "/" + id.substr(0, dash), id.substr(dash + 1));
        if (!nested.empty()) return nested;
    }
    return {};
}

// The Exec line of an installed, not hidden desktop entry.
std::optional<std::string> InstalledEntryExec(const DesktopDirs& dirs, const std::string& id) {
    for (const std::string& folder : ApplicationDirs(dirs)) {
        const std::string file = EntryFileIn(folder, id);
        if (file.empty()) continue;
        // The first file of an id hides the later ones, whatever it says.
        const auto hidden = KeyFileValue(file, "Desktop Entry", "Hidden");
        if (hidden && *hidden == "true") return std::nullopt;
        const auto exec = KeyFileValue(file, "Desktop Entry", "Exec");
        if (!exec || exec->empty()) return std::nullopt;
        return UnescapeValue(*exec);
    }
    return std::nullopt;
}

}  // namespace

DesktopDirs DesktopDirsFromEnvironment() {
    DesktopDirs dirs;
    const UserFolders folders = UserFoldersOfThisProcess();
    dirs.configHome = folders.config;
    dirs.configDirs = folders.configDirs;
    dirs.dataHome = folders.data;
    dirs.dataDirs = folders.dataDirs;
    for (std::string desktop : SplitList(Env("XDG_CURRENT_DESKTOP"), ':')) {
        std::transform(desktop.begin(), desktop.end(), desktop.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        dirs.desktops.push_back(desktop);
    }
    dirs.path = SplitList(Env("PATH"), ':');
    return dirs;
}

std::string DefaultHandlerExec(const DesktopDirs& dirs, const std::string& mimeType) {
    std::vector<std::string> lists;
    auto addLists = [&](const std::string& folder) {
        for (const std::string& desktop : dirs.desktops) lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        lists.push_back(folder + "/mimeapps.list");
    };
    addLists(dirs.configHome);
    for (const std::string& d : dirs.configDirs) addLists(d);
    for (const std::string& d : ApplicationDirs(dirs)) addLists(d);
    for (const std::string& list : lists) {
        const auto ids = KeyFileValue(list, "Default Applications", mimeType);
        if (!ids) continue;
        for (const std::string& id : SplitList(*ids, ';'))
            if (const auto exec = InstalledEntryExec(dirs, Trim(id))) return *exec;
    }
    for (const std::string& folder : ApplicationDirs(dirs)) {
        const auto ids = KeyFileValue(folder + "/mimeinfo.cache", "MIME Cache", mimeType);
        if (!ids) continue;
        for (const std::string& id : SplitList(*ids, ';'))
            if (const auto exec = InstalledEntryExec(dirs, Trim(id))) return *exec;
    }
    return {};
}

std::string ExecProgram(const std::string& exec) {
    std::size_t i = exec.find_first_not_of(" \t");
    if (i == std::string::npos) return {};
    std::string word;
    if (exec[i] == '"') {
        for (++i; i < exec.size(); ++i) {
            const char c = exec[i];
            if (c == '"') return word;
            if (c == '\\' && i + 1 < exec.size() && std::string_view("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                word += exec[++i];
                continue;
            }
            word += c;
        }
        return {};  // no closing quote
    }
    for (; i < exec.size() && exec[i] != ' ' && exec[i] != '\t'; ++i) word += exec[i];
    return word;
}

std::string ResolveProgram(const std::string& program, const std::vector<std::string>& path) {
    if (program.empty()) return {};
    if (program.front() == '/') return IsExecutableFile(program) ? program : std::string();
    if (program.find('/') != std::string::npos) return {};  // relative paths name nothing reliable
    for (const std::string& folder : path) {
        if (folder.empty() || folder.front() != '/') continue;
        const std::string candidate = folder + (folder.back() == '/' ? "" : "/") + program;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return {};
}

std::string FindToolsTarget(const DesktopDirs& dirs) {
    const std::string program = ResolveProgram(ExecProgram(Trim(DefaultHandlerExec(dirs, kCompanionMimeType))), dirs.path);
    return program.empty() ? std::string(kCompanionWebPage) : program;
}

}  // namespace corvellin
