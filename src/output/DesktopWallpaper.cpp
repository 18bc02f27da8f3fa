#include "DesktopWallpaper.h"

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#include <unistd.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "picture/Error.h"

namespace corvellin {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const {
        if (object) g_object_unref(object);
    }
};
struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const {
        if (schema) g_settings_schema_unref(schema);
    }
};
struct SchemaKeyUnref {
    void operator()(GSettingsSchemaKey* key) const {
        if (key) g_settings_schema_key_unref(key);
    }
};
struct GFree {
    void operator()(gchar* text) const { g_free(text); }
};

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string CannotSetText(const std::string& reason) {
    return "The desktop wallpaper could not be set: " + reason;
}

}  // namespace

const char* WallpaperPictureOption(int style) {
    if (style == kWallpaperCenter) return "centered";
    if (style == kWallpaperTile) return "wallpaper";
    return "stretched";
}

std::string WallpaperFolder(const std::string& programDir) {
    // A temporary file and a rename in the folder: both need write access to it.
    if (!programDir.empty() && ::access(programDir.c_str(), W_OK | X_OK) == 0) return WithSlash(programDir);
    const std::string home = EnvOr("HOME", "/");
    const std::string dataHome = EnvOr("XDG_DATA_HOME", WithSlash(home) + ".local/share");
    const std::string folder = WithSlash(dataHome) + "Corvellin Photo/";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
        throw Error("The folder for the wallpaper file \"" + folder + "\" could not be created. " +
                    (error ? error.message() : std::string("A file of that name is in the way.")));
    return folder;
}

int WallpaperPathLength(const std::string& path) {
    return static_cast<int>(QString::fromStdString(path).size());
}

void CheckWallpaperPathLength(const std::string& path) {
    const int length = WallpaperPathLength(path);
    if (length > kMaxWallpaperPathLength)
        throw Error(Format("The wallpaper file path is too long: %d characters, at most %d are supported.\n",
                           length, kMaxWallpaperPathLength) +
                    path + "\nPlease move the program to a folder with a shorter path.");
}

void SetDesktopWallpaper(const std::string& path, int style) {
    CheckWallpaperPathLength(path);

    GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // not owned
    std::unique_ptr<GSettingsSchema, SchemaUnref> schema(
        source ? g_settings_schema_source_lookup(source, kBackgroundSchema, TRUE) : nullptr);
    if (!schema)
        throw Error(CannotSetText(std::string("this desktop has no \"") + kBackgroundSchema +
                                  "\" settings (the package gsettings-desktop-schemas provides them)."));

    struct Change {
        const char* key;
        std::string value;
        bool required;
    };
    std::unique_ptr<gchar, GFree> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    if (!uri) throw Error(CannotSetText("the file name \"" + path + "\" cannot be written as an address."));
    std::vector<Change> changes = {
        {"picture-uri", uri.get(), true},
        // Older schemas have no dark-style wallpaper; the light one then serves both.
        {"picture-uri-dark", uri.get(), false},
        {"picture-options", WallpaperPictureOption(style), true},
    };

    std::unique_ptr<GSettings, GObjectUnref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    GSettingsBackend* backend = nullptr;
    g_object_get(settings.get(), "backend", &backend, nullptr);
    std::unique_ptr<GSettingsBackend, GObjectUnref> backendRef(backend);
    // Without a real store GIO keeps settings in memory only: the desktop would
    // never see the change, so that is reported rather than passed as success.
    if (!backend || std::string(G_OBJECT_TYPE_NAME(backend)) == "GMemorySettingsBackend")
        throw Error(CannotSetText("no settings store is available to keep the change (is dconf installed?)."));

    // Every check before the first change, so that a failure changes nothing.
    std::vector<const Change*> applied;
    for (const Change& change : changes) {
        if (!g_settings_schema_has_key(schema.get(), change.key)) {
            if (change.required)
                throw Error(CannotSetText(std::string("the setting \"") + change.key + "\" is missing from \"" +
                                          kBackgroundSchema + "\"."));
            continue;
        }
        std::unique_ptr<GSettingsSchemaKey, SchemaKeyUnref> key(g_settings_schema_get_key(schema.get(), change.key));
        GVariant* value = g_variant_ref_sink(g_variant_new_string(change.value.c_str()));
        const bool typeOk = g_variant_is_of_type(value, g_settings_schema_key_get_value_type(key.get()));
        const bool inRange = typeOk && g_settings_schema_key_range_check(key.get(), value);
        g_variant_unref(value);
        if (!inRange)
            throw Error(CannotSetText(std::string("the setting \"") + change.key + "\" does not take \"" +
                                      change.value + "\"."));
        if (!g_settings_is_writable(settings.get(), change.key))
            throw Error(CannotSetText(std::string("the setting \"") + change.key + "\" is locked."));
        applied.push_back(&change);
    }

    // One change set: the desktop sees the new picture and style together.
    g_settings_delay(settings.get());
    for (const Change* change : applied) {
        if (!g_settings_set_string(settings.get(), change->key, change->value.c_str())) {
            g_settings_revert(settings.get());
            throw Error(CannotSetText(std::string("the setting \"") + change->key + "\" was refused."));
        }
    }
    g_settings_apply(settings.get());
    g_settings_sync();
}

}  // namespace corvellin
