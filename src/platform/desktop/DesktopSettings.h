// Writing a desktop's own GSettings keys (the GNOME-family desktops keep their
// wallpaper there), with every check before the change and the change read
// back afterwards through a settings client of its own.
#pragma once

#include <string>
#include <vector>

namespace corvellin {

struct SettingChange {
    std::string key;
    std::string value;  // a string key's new value
    bool required = true;  // false: skipped when the schema lacks the key
};

enum class SettingsProblem {
    None,
    NoSchema,      // the schema is not installed
    MissingKey,    // a required key is not in it
    BadValue,      // the key does not take the value
    Locked,        // the key is not writable
    MemoryOnly,    // the backend keeps changes in memory only
    NoSessionBus,  // dconf's service is reached over the session bus, which is not there
    NotKept,       // the value read back afterwards is not the one written
};

struct SettingsResult {
    SettingsProblem problem = SettingsProblem::None;
    std::string detail;  // the schema, key, value or bus error concerned
};

// True when the schema is installed.
bool HasSettingsSchema(const std::string& schemaId);

// Sets all changes of the schema in one change set, after checking the
// backend (not memory-only; for dconf a reachable session bus), each key, its
// value and its lock; after the sync, reads every value back through a fresh
// backend of the same kind.
SettingsResult WriteDesktopSettings(const std::string& schemaId, const std::vector<SettingChange>& changes);

// String keys' values as a new client reads them from the store, with nothing
// cached from this process's own writes; a key the schema lacks reads as "".
std::vector<std::string> ReadDesktopSettings(const std::string& schemaId, const std::vector<std::string>& keys);

// Waits, at most seconds, until a new client reads any of keys differently from
// before (values in the same order); true when it did.
bool WaitForSettingsChange(const std::string& schemaId, const std::vector<std::string>& keys,
                           const std::vector<std::string>& before, int seconds);

}  // namespace corvellin
