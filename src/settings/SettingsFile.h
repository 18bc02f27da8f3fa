// Where the editor keeps its settings, and writing an INI file all-or-nothing.
#pragma once

#include <string>

#include "Ini.h"

namespace corvellin {

// "$XDG_CONFIG_HOME/Corvellin Photo" (default "~/.config/Corvellin Photo").
std::string SettingsFolder();
// SettingsFolder() + "/cfg.ini".
std::string SettingsFilePath();

// Creates the folder with any missing parents; false when that is impossible.
bool EnsureFolder(const std::string& folder);

// Writes the file to a temporary file beside it and renames it over the old
// one, so a failed write keeps the previous file. Throws Error on failure.
void WriteIniFile(const std::string& path, const IniFile& ini);

}  // namespace corvellin
