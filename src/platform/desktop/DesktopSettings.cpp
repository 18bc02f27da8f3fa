#include "DesktopSettings.h"

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <memory>
#include <string>

#include "WallpaperPortal.h"

namespace corvellin {

namespace {

struct Unref {
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
struct VariantUnref {
    void operator()(GVariant* value) const {
        if (value) g_variant_unref(value);
    }
};

using Schema = std::unique_ptr<GSettingsSchema, SchemaUnref>;

Schema LookUp(const std::string& schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // not owned
    return Schema(source ? g_settings_schema_source_lookup(source, schemaId.c_str(), TRUE) : nullptr);
}

// A new backend of the kind GIO chose for this process: its own connection to
// the store, with nothing cached from our own writes.
std::unique_ptr<GSettingsBackend, Unref> FreshBackend(GSettingsBackend* current) {
    GIOExtensionPoint* point = g_io_extension_point_lookup(G_SETTINGS_BACKEND_EXTENSION_POINT_NAME);
    for (GList* item = point ? g_io_extension_point_get_extensions(point) : nullptr; item; item = item->next) {
        const GType type = g_io_extension_get_type(static_cast<GIOExtension*>(item->data));
        if (type == G_OBJECT_TYPE(current))
            return std::unique_ptr<GSettingsBackend, Unref>(static_cast<GSettingsBackend*>(g_object_new(type, nullptr)));
    }
    return nullptr;
}

SettingsResult Problem(SettingsProblem problem, std::string detail) { return {problem, std::move(detail)}; }

}  // namespace

bool HasSettingsSchema(const std::string& schemaId) { return LookUp(schemaId) != nullptr; }

std::vector<std::string> ReadDesktopSettings(const std::string& schemaId, const std::vector<std::string>& keys) {
    std::vector<std::string> values(keys.size());
    const Schema schema = LookUp(schemaId);
    if (!schema) return values;
    std::unique_ptr<GSettings, Unref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    GSettingsBackend* backend = nullptr;
    g_object_get(settings.get(), "backend", &backend, nullptr);
    std::unique_ptr<GSettingsBackend, Unref> backendRef(backend);
    std::unique_ptr<GSettingsBackend, Unref> fresh = backend ? FreshBackend(backend) : nullptr;
    if (!fresh) return values;
    std::unique_ptr<GSettings, Unref> reader(g_settings_new_full(schema.get(), fresh.get(), nullptr));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!g_settings_schema_has_key(schema.get(), keys[i].c_str())) continue;
        std::unique_ptr<GVariant, VariantUnref> value(g_settings_get_value(reader.get(), keys[i].c_str()));
        if (value && g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING))
            values[i] = g_variant_get_string(value.get(), nullptr);
    }
    return values;
}

bool WaitForSettingsChange(const std::string& schemaId, const std::vector<std::string>& keys,
                           const std::vector<std::string>& before, int seconds) {
    constexpr gint64 kStepMicroseconds = 20000;
    const gint64 end = g_get_monotonic_time() + static_cast<gint64>(seconds) * G_USEC_PER_SEC;
    for (;;) {
        if (ReadDesktopSettings(schemaId, keys) != before) return true;
        if (g_get_monotonic_time() >= end) return false;
        g_usleep(kStepMicroseconds);
    }
}

SettingsResult WriteDesktopSettings(const std::string& schemaId, const std::vector<SettingChange>& changes) {
    const Schema schema = LookUp(schemaId);
    if (!schema) return Problem(SettingsProblem::NoSchema, schemaId);

    std::unique_ptr<GSettings, Unref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    GSettingsBackend* backend = nullptr;
    g_object_get(settings.get(), "backend", &backend, nullptr);
    std::unique_ptr<GSettingsBackend, Unref> backendRef(backend);
    const std::string backendType = backend ? G_OBJECT_TYPE_NAME(backend) : "";
    // Without a real store GIO keeps settings in memory only: the desktop would
    // never see the change.
    if (!backend || backendType == "GMemorySettingsBackend" || backendType == "GNullSettingsBackend")
        return Problem(SettingsProblem::MemoryOnly, backendType);
    // dconf hands every write to its service over the session bus; without the
    // bus the write is dropped with only a warning on the terminal.
    std::string why;
    if (backendType == "DConfSettingsBackend" && !SessionBusReachable(&why))
        return Problem(SettingsProblem::NoSessionBus, why);

    // Every check before the first change, so that a failure changes nothing.
    std::vector<const SettingChange*> applied;
    for (const SettingChange& change : changes) {
        if (!g_settings_schema_has_key(schema.get(), change.key.c_str())) {
            if (change.required) return Problem(SettingsProblem::MissingKey, schemaId + " " + change.key);
            continue;
        }
        std::unique_ptr<GSettingsSchemaKey, SchemaKeyUnref> key(g_settings_schema_get_key(schema.get(), change.key.c_str()));
        std::unique_ptr<GVariant, VariantUnref> value(g_variant_ref_sink(g_variant_new_string(change.value.c_str())));
        const bool typeOk = g_variant_is_of_type(value.get(), g_settings_schema_key_get_value_type(key.get()));
        if (!typeOk || !g_settings_schema_key_range_check(key.get(), value.get()))
            return Problem(SettingsProblem::BadValue, schemaId + " " + change.key + " = \"" + change.value + "\"");
        if (!g_settings_is_writable(settings.get(), change.key.c_str()))
            return Problem(SettingsProblem::Locked, schemaId + " " + change.key);
        applied.push_back(&change);
    }

    // One change set: the desktop sees the new picture and style together.
    g_settings_delay(settings.get());
    for (const SettingChange* change : applied) {
        if (!g_settings_set_string(settings.get(), change->key.c_str(), change->value.c_str())) {
            g_settings_revert(settings.get());
            return Problem(SettingsProblem::NotKept, schemaId + " " + change->key);
        }
    }
    g_settings_apply(settings.get());
    g_settings_sync();

    // Only what a second client reads from the store counts as set.
    std::unique_ptr<GSettingsBackend, Unref> fresh = FreshBackend(backend);
    if (!fresh) return Problem(SettingsProblem::NotKept, backendType);
    std::unique_ptr<GSettings, Unref> reader(g_settings_new_full(schema.get(), fresh.get(), nullptr));
    for (const SettingChange* change : applied) {
        gchar* found = g_settings_get_string(reader.get(), change->key.c_str());
        const std::string stored = found ? found : "";
        g_free(found);
        if (stored != change->value)
            return Problem(SettingsProblem::NotKept,
                           schemaId + " " + change->key + " = \"" + stored + "\", not \"" + change->value + "\"");
    }
    return {};
}

}  // namespace corvellin
