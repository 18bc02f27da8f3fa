// What the editor remembers between runs: the print layout and the chosen
// language, in cfg.ini. LoadSettings and SaveSettings of the main window use these.
#pragma once

#include <string>

#include "output/PrintLayout.h"

namespace corvellin {

struct StoredSettings {
    PrintLayout layout;
    int languageIndex = -1;
    bool operator==(const StoredSettings&) const = default;
};

// Reads the eleven keys, each falling back to its default when absent or
// unreadable; an absent file gives all defaults. Reals are read with a point
// or with localeSeparator.
StoredSettings ReadStoredSettings(const std::string& path, char localeSeparator);

// Writes the eleven keys in their fixed order, replacing the whole file only
// once it is complete. Throws Error("Unable to write to <path>") on failure; the
// previous file is then unchanged.
void WriteStoredSettings(const std::string& path, const StoredSettings& settings);

}  // namespace corvellin
