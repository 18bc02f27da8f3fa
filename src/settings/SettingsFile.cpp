#include "SettingsFile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "picture/FileIO.h"

namespace corvellin {

std::string SettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/tmp") + "/.config";
    }
    return base + "/Corvellin Photo";
}

std::string SettingsFilePath() { return SettingsFolder() + "/cfg.ini"; }

bool EnsureFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

void WriteIniFile(const std::string& path, const IniFile& ini) {
    const std::string text = ini.Serialize();
    WriteFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace corvellin
