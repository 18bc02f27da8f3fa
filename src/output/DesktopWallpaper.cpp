#include "DesktopWallpaper.h"

#include <glib.h>
#include <strings.h>
#include <unistd.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/UserFolders.h"
#include "platform/desktop/DesktopSettings.h"
#include "platform/desktop/WallpaperPortal.h"
#include "platform/desktop/XfceDesktop.h"
#include "settings/CaptionCatalog.h"

namespace corvellin {

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

const char* SettingsReason(SettingsProblem problem) {
    switch (problem) {
        case SettingsProblem::NoSchema:
        case SettingsProblem::MissingKey: return kNoWallpaperSettingsText;
        case SettingsProblem::BadValue: return kSettingRefusesValueText;
        case SettingsProblem::Locked: return kSettingLockedText;
        case SettingsProblem::MemoryOnly: return kMemoryOnlyStoreText;
        case SettingsProblem::NoSessionBus: return kNoSessionBusText;
        case SettingsProblem::NotKept:
        case SettingsProblem::None: break;
    }
    return kChangeNotKeptText;
}

const char* XfceReason(XfceProblem problem) {
    switch (problem) {
        case XfceProblem::NoTool: return kNoXfconfQueryText;
        case XfceProblem::NoMonitors: return kNoXfceMonitorText;
        case XfceProblem::Refused: return kXfconfRefusedText;
        case XfceProblem::NotKept:
        case XfceProblem::None: break;
    }
    return kChangeNotKeptText;
}

void Require(const char* headline, const SettingsResult& result) {
    if (result.problem != SettingsProblem::None)
        throw WallpaperFailure(headline, SettingsReason(result.problem), result.detail);
}

void Require(const char* headline, const XfceResult& result) {
    if (result.problem != XfceProblem::None) throw WallpaperFailure(headline, XfceReason(result.problem), result.detail);
}

// The GSettings schema that holds the desktop's wallpaper, or null (Xfce,
// unknown desktops).
const char* SchemaOf(WallpaperDesktop desktop) {
    switch (desktop) {
        case WallpaperDesktop::Gnome:
        case WallpaperDesktop::Unnamed: return kBackgroundSchema;
        case WallpaperDesktop::Cinnamon: return kCinnamonBackgroundSchema;
        case WallpaperDesktop::Mate: return kMateBackgroundSchema;
        case WallpaperDesktop::Xfce:
        case WallpaperDesktop::Unknown: break;
    }
    return nullptr;
}

// The keys a portal back end sets with the picture, in whichever of the
// GNOME-family schemas (a key the schema lacks reads as empty); the style key
// is among them, the back end sets a placement of its own.
const std::vector<std::string>& PortalWrittenKeys() {
    static const std::vector<std::string> keys = {"picture-uri", "picture-uri-dark", "picture-filename",
                                                  "picture-options"};
    return keys;
}
// How long the back end may take to store its own values after its answer.
constexpr int kBackEndSettleSeconds = 3;

// The schema whose style goes after the portal's picture, or null (Xfce, no
// schema at all): without a named desktop the GNOME schema is only a guess,
// used when installed; its absence is no failure of the portal's change.
const char* StyleSchemaOf(WallpaperDesktop desktop) {
    const char* schema = SchemaOf(desktop);
    if (!schema || (desktop == WallpaperDesktop::Unnamed && !HasSettingsSchema(schema))) return nullptr;
    return schema;
}

// After the portal has set the picture: the style, where the desktop keeps one.
// The portal answers before its back end's own writes have reached the store;
// a style written first would be overwritten by the back end's placement, so
// the style waits (bounded) until the store shows the back end's change, and
// a style overwritten all the same is written once more before it counts as
// not kept.
void SetStyleOnly(WallpaperDesktop desktop, int style, const std::vector<std::string>& beforePortal) {
    if (desktop == WallpaperDesktop::Xfce) {
        Require(kWallpaperStyleNotSetText, WriteXfceBackdrop("", XfceImageStyle(style)));
        return;
    }
    const char* schema = StyleSchemaOf(desktop);
    if (!schema) return;
    // No change in time: the back end stored values equal to those already
    // there (nothing of its own left to land), or it keeps none here at all.
    WaitForSettingsChange(schema, PortalWrittenKeys(), beforePortal, kBackEndSettleSeconds);
    const std::vector<SettingChange> change = {{"picture-options", WallpaperPictureOption(style)}};
    SettingsResult result = WriteDesktopSettings(schema, change);
    if (result.problem == SettingsProblem::NotKept) result = WriteDesktopSettings(schema, change);
    Require(kWallpaperStyleNotSetText, result);
}

void SetInDesktopSettings(WallpaperDesktop desktop, const std::string& desktopName, const std::string& path,
                          const std::string& uri, int style) {
    const std::string option = WallpaperPictureOption(style);
    switch (desktop) {
        case WallpaperDesktop::Gnome:
        case WallpaperDesktop::Unnamed:
            Require(kWallpaperNotSetText,
                    WriteDesktopSettings(kBackgroundSchema, {{"picture-uri", uri},
                                                             // Older schemas have no dark-style wallpaper;
                                                             // the light one then serves both.
                                                             {"picture-uri-dark", uri, false},
                                                             {"picture-options", option}}));
            return;
        case WallpaperDesktop::Cinnamon:
            Require(kWallpaperNotSetText,
                    WriteDesktopSettings(kCinnamonBackgroundSchema, {{"picture-uri", uri}, {"picture-options", option}}));
            return;
        case WallpaperDesktop::Mate:
            // MATE keeps a file name, not an address.
            Require(kWallpaperNotSetText,
                    WriteDesktopSettings(kMateBackgroundSchema, {{"picture-filename", path}, {"picture-options", option}}));
            return;
        case WallpaperDesktop::Xfce:
            Require(kWallpaperNotSetText, WriteXfceBackdrop(path, XfceImageStyle(style)));
            return;
        case WallpaperDesktop::Unknown: break;
    }
    // A desktop that reads none of these settings would never show the
    // change: writing one of them anyway would only look like success.
    throw WallpaperFailure(kWallpaperNotSetText, kUnknownDesktopText, "XDG_CURRENT_DESKTOP=" + desktopName);
}

}  // namespace

WallpaperFailure::WallpaperFailure(const char* headline_, const char* reason_, std::string detail_)
    : Error(std::string(headline_) + " " + reason_ + (detail_.empty() ? "" : "\n" + detail_)),
      headline(headline_),
      reason(reason_),
      detail(std::move(detail_)) {}

const char* WallpaperPictureOption(int style) {
    if (style == kWallpaperCenter) return "centered";
    if (style == kWallpaperTile) return "wallpaper";
    return "stretched";
}

int XfceImageStyle(int style) {
    if (style == kWallpaperCenter) return 1;
    if (style == kWallpaperTile) return 2;
    return 3;
}

WallpaperDesktop DesktopFromName(const std::string& xdgCurrentDesktop) {
    if (xdgCurrentDesktop.empty()) return WallpaperDesktop::Unnamed;
    struct Known {
        const char* name;
        WallpaperDesktop desktop;
    };
    // GNOME's relatives that read GNOME's background settings themselves.
    static constexpr Known kKnown[] = {
        {"GNOME", WallpaperDesktop::Gnome},         {"GNOME-Classic", WallpaperDesktop::Gnome},
        {"GNOME-Flashback", WallpaperDesktop::Gnome}, {"Unity", WallpaperDesktop::Gnome},
        {"Budgie", WallpaperDesktop::Gnome},         {"Pantheon", WallpaperDesktop::Gnome},
        {"X-Cinnamon", WallpaperDesktop::Cinnamon},   {"Cinnamon", WallpaperDesktop::Cinnamon},
        {"MATE", WallpaperDesktop::Mate},            {"XFCE", WallpaperDesktop::Xfce},
    };
    std::istringstream names(xdgCurrentDesktop);
    for (std::string name; std::getline(names, name, ':');)
        for (const Known& known : kKnown)
            if (strcasecmp(name.c_str(), known.name) == 0) return known.desktop;
    return WallpaperDesktop::Unknown;
}

std::string WallpaperFolder(const std::string& programDir) {
    // A temporary file and a rename in the folder: both need write access to it.
    if (ProgramFolderWritable(programDir)) return WithSlash(programDir);
    const std::string folder = UserDataFolder() + "/";
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

WallpaperOutcome SetDesktopWallpaper(const std::string& path, int style) {
    CheckWallpaperPathLength(path);
    gchar* address = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!address) throw WallpaperFailure(kWallpaperNotSetText, kNoFileAddressText, path);
    const std::string uri = address;
    g_free(address);

    const std::string desktopName = EnvOr("XDG_CURRENT_DESKTOP", "");
    const WallpaperDesktop desktop = DesktopFromName(desktopName);

    // What the store holds before the portal's back end changes it.
    const char* styleSchema = StyleSchemaOf(desktop);
    const std::vector<std::string> beforePortal =
        styleSchema ? ReadDesktopSettings(styleSchema, PortalWrittenKeys()) : std::vector<std::string>();
    const PortalResult portal = SetWallpaperThroughPortal(uri);
    switch (portal.answer) {
        case PortalAnswer::Success: SetStyleOnly(desktop, style, beforePortal); return WallpaperOutcome::Set;
        case PortalAnswer::Cancelled: return WallpaperOutcome::Cancelled;
        case PortalAnswer::Failed:
            throw WallpaperFailure(kWallpaperNotSetText, kPortalFailedText,
                                   "org.freedesktop.portal.Wallpaper" + (portal.detail.empty() ? "" : ": " + portal.detail));
        case PortalAnswer::NotOffered: break;
    }
    SetInDesktopSettings(desktop, desktopName, path, uri, style);
    return WallpaperOutcome::Set;
}

}  // namespace corvellin
