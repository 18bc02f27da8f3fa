#include "WallpaperPortal.h"

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

namespace corvellin {

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kWallpaperInterface = "org.freedesktop.portal.Wallpaper";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
// Starting the portal on first use starts its back ends too; give it time.
constexpr int kStartMilliseconds = 30000;

struct Unref {
    void operator()(gpointer object) const {
        if (object) g_object_unref(object);
    }
};
struct VariantUnref {
    void operator()(GVariant* value) const {
        if (value) g_variant_unref(value);
    }
};
struct ErrorFree {
    void operator()(GError* error) const {
        if (error) g_error_free(error);
    }
};
struct ContextRelease {
    void operator()(GMainContext* context) const {
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }
};

std::string Message(const GError* error) { return error && error->message ? error->message : "unknown error"; }

// What the wait loop learns: the Response code, or that the portal left.
struct Wait {
    bool done = false;
    guint32 code = 2;
    std::string detail;
};

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                gpointer data) {
    auto* wait = static_cast<Wait*>(data);
    if (wait->done || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
    GVariant* results = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &wait->code, &results);
    if (results) g_variant_unref(results);
    wait->done = true;
}

void OnOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                    gpointer data) {
    auto* wait = static_cast<Wait*>(data);
    const gchar* name = nullptr;
    const gchar* before = nullptr;
    const gchar* after = nullptr;
    g_variant_get(parameters, "(&s&s&s)", &name, &before, &after);
    if (wait->done || !after || *after) return;
    wait->done = true;
    wait->code = 2;
    wait->detail = "the portal left the session bus before it answered";
}

gboolean OnTimeout(gpointer data) {
    auto* wait = static_cast<Wait*>(data);
    if (!wait->done) {
        wait->done = true;
        wait->code = 2;
        wait->detail = "the portal gave no answer";
    }
    return G_SOURCE_REMOVE;
}

// The request object the portal creates for a call with this token.
std::string RequestPath(const std::string& uniqueName, const std::string& token) {
    std::string sender = uniqueName.substr(uniqueName.rfind(':') == 0 ? 1 : 0);
    for (char& c : sender)
        if (c == '.') c = '_';
    return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

}  // namespace

bool SessionBusReachable(std::string* why) {
    GError* raw = nullptr;
    std::unique_ptr<GDBusConnection, Unref> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw));
    std::unique_ptr<GError, ErrorFree> error(raw);
    if (bus && !g_dbus_connection_is_closed(bus.get())) return true;
    if (why) *why = bus ? "the session bus connection is closed" : Message(error.get());
    return false;
}

PortalResult SetWallpaperThroughPortal(const std::string& uri, int answerSeconds) {
    PortalResult result;
    // Signals go to the thread's default context when subscribed: a context of
    // our own keeps the wait from running anyone else's sources.
    std::unique_ptr<GMainContext, ContextRelease> context(g_main_context_new());
    g_main_context_push_thread_default(context.get());

    GError* raw = nullptr;
    std::unique_ptr<GDBusConnection, Unref> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw));
    std::unique_ptr<GError, ErrorFree> error(raw);
    if (!bus) return result;

    // Offered means: the portal answers for the wallpaper interface (starting
    // it when it is only activatable); a portal without a back end for it has
    // no such interface.
    raw = nullptr;
    std::unique_ptr<GVariant, VariantUnref> version(g_dbus_connection_call_sync(
        bus.get(), kPortalName, kPortalPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", kWallpaperInterface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
        kStartMilliseconds, nullptr, &raw));
    error.reset(raw);
    if (!version) return result;

    static std::atomic<unsigned> counter{0};
    const std::string token = "corvellin" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    const std::string unique = g_dbus_connection_get_unique_name(bus.get());
    std::string path = RequestPath(unique, token);

    Wait wait;
    auto subscribe = [&](const std::string& requestPath) {
        return g_dbus_connection_signal_subscribe(bus.get(), kPortalName, kRequestInterface, "Response",
                                                  requestPath.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                  OnResponse, &wait, nullptr);
    };
    guint response = subscribe(path);
    const guint owner = g_dbus_connection_signal_subscribe(
        bus.get(), "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", "/org/freedesktop/DBus",
        kPortalName, G_DBUS_SIGNAL_FLAGS_NONE, OnOwnerChanged, &wait, nullptr);

    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "show-preview", g_variant_new_boolean(FALSE));
    g_variant_builder_add(&options, "{sv}", "set-on", g_variant_new_string("background"));
    raw = nullptr;
    std::unique_ptr<GVariant, VariantUnref> reply(g_dbus_connection_call_sync(
        bus.get(), kPortalName, kPortalPath, kWallpaperInterface, "SetWallpaperURI",
        g_variant_new("(ssa{sv})", "", uri.c_str(), &options), G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
        kStartMilliseconds, nullptr, &raw));
    error.reset(raw);

    if (!reply) {
        result.answer = PortalAnswer::Failed;
        result.detail = Message(error.get());
    } else {
        const gchar* handle = nullptr;
        g_variant_get(reply.get(), "(&o)", &handle);
        // Older portals ignore the token and name the request themselves.
        if (handle && path != handle) {
            g_dbus_connection_signal_unsubscribe(bus.get(), response);
            path = handle;
            response = subscribe(path);
        }
        GSource* timeout = g_timeout_source_new_seconds(static_cast<guint>(answerSeconds > 0 ? answerSeconds : 1));
        g_source_set_callback(timeout, OnTimeout, &wait, nullptr);
        g_source_attach(timeout, context.get());
        while (!wait.done) g_main_context_iteration(context.get(), TRUE);
        g_source_destroy(timeout);
        g_source_unref(timeout);
        result.answer = wait.code == 0   ? PortalAnswer::Success
                        : wait.code == 1 ? PortalAnswer::Cancelled
                                         : PortalAnswer::Failed;
        result.detail = wait.detail;
    }
    g_dbus_connection_signal_unsubscribe(bus.get(), response);
    g_dbus_connection_signal_unsubscribe(bus.get(), owner);
    // Let the unsubscriptions finish inside our context before it goes.
    while (g_main_context_iteration(context.get(), FALSE)) {
    }
    return result;
}

}  // namespace corvellin
