#include "SettingsFile.h"

#include <filesystem>
#include <system_error>

#include "picture/FileIO.h"
#include "platform/UserFolders.h"

namespace corvellin {

std::string SettingsFolder() { return UserConfigFolder(); }

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
