// The update check without any window: the system proxy rule, the HTTP fetch
// of the update information file, the file "update.ini" it passes through,
// and the version compare. The window TUpdateForm turns the outcome into its
// message boxes.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "picture/Limits.h"
#include "settings/Ini.h"

namespace corvellin {

// The version of this program, compared with the one the server names.
inline constexpr const char* kRunningVersion = "2011.2.50";
// Where the update information file is fetched from.
inline constexpr const char* kDefaultUpdateSource = "http://update.corvellin-photo.com/photo/update.ini";
// The file the reply passes through, in ProgramDir (or the data folder).
inline constexpr const char* kUpdateFileName = "update.ini";

// The request's headers besides Host.
inline constexpr const char* kUpdateAccept = "text/html, */*";
inline constexpr const char* kUpdateUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

// ---- Proxy -------------------------------------------------------------------

// A proxy address as the environment writes it ("http://user:pw@host:3128/")
// in the form host:port (or host alone when it names no port): the scheme,
// any credentials and everything from the first '/' after the host dropped,
// blanks around it removed.
std::string NormaliseProxyAddress(std::string_view address);

// The system-wide proxy string, or empty: http_proxy, else HTTP_PROXY
// (normalised), else GNOME's manual proxy for HTTP (GSettings
// org.gnome.system.proxy, mode "manual", http host and port) as host:port,
// when that schema is installed. The bypass lists are not used.
std::string QuerySystemProxy();

struct ProxyAddress {
    std::string host;
    int port = 0;  // 0: no proxy, connect directly (unless unusable)
    // The text names a port but no host that can be reached with it (an empty
    // host, a port beyond 65535, a broken "[...]" address): the check fails
    // instead of connecting directly.
    bool unusable = false;
};

// The proxy for one scheme out of a system proxy string: "scheme=" selects an
// entry of a list such as "ftp=a:21;http=b:8080" (the first occurrence, up to
// the next ';'), otherwise the string is used whole; host is the text before
// the first ':' (or between '[' and ']' for an IPv6 address), port the decimal
// number after it (0 when it is not one).
ProxyAddress ProxyForScheme(std::string_view scheme, std::string_view systemProxy);
// The same for the string QuerySystemProxy gives.
ProxyAddress ProxyForScheme(std::string_view scheme);

// ---- Fetch -------------------------------------------------------------------

// kUpdateBodyLimit (picture/Limits.h) bounds the reply.
struct FetchOptions {
    ProxyAddress proxy;             // port 0: direct connection
    long connectTimeoutMs = 15000;  // connecting (to the server or the proxy)
    long totalTimeoutMs = 30000;    // the whole request
    std::size_t bodyLimit = kUpdateBodyLimit;
    // Set from another thread to abandon the request (checked while it runs).
    const std::atomic<bool>* abandon = nullptr;
};

struct FetchResult {
    enum class Status {
        Ok,         // a success status (2xx) and a body within the limit
        Failed,     // no connection, no reply, a time-out, a status other than 2xx
        TooLarge,   // the body is longer than the limit
        Abandoned,  // the abandon flag was set
    };
    Status status = Status::Failed;
    long httpStatus = 0;  // 0 when no reply came
    std::string body;     // only for Ok
    std::string reason;   // what went wrong, in words
};

// One GET of url: headers Accept and User-Agent as above, redirections not
// followed, the proxy only when options.proxy.port is not 0 (the environment's
// proxy variables are never consulted), http and https only. Blocks until the
// reply is complete, fails or times out. Safe to call from a worker thread.
FetchResult FetchUpdateFile(const std::string& url, const FetchOptions& options);

// ---- The update information file -------------------------------------------

struct UpdateInfo {
    bool hasUpdateSection = false;  // the file holds a section "Update"
    std::string version;            // "version", empty when missing
    std::string url;                // "URL", empty when missing
};

// Section "Update", keys "version" and "URL", by the INI module's rules.
UpdateInfo ReadUpdateInfo(const IniFile& file);

// "$XDG_DATA_HOME/Corvellin Photo/" (default "~/.local/share/Corvellin Photo/").
std::string UpdateDataFolder();

// Writes body unchanged to "update.ini" in programDir when that folder is
// writable (ProgramFolderWritable), else in UpdateDataFolder(). Returns the path
// written. Throws Error with the system's reason when neither can be written.
std::string StoreUpdateFile(const std::string& programDir, const std::string& body);

// Reads the file and deletes it, whether the reading succeeded or not.
UpdateInfo ReadAndRemoveUpdateFile(const std::string& path);

// ---- Decision ----------------------------------------------------------------

// version is newer than running when it is greater as a string, compared byte
// by byte by unsigned character code; of two strings where one is the start of
// the other, the longer one is greater.
bool IsNewerVersion(std::string_view version, std::string_view running = kRunningVersion);

// An address that may be handed to the browser: "http://" or "https://" (any
// case) followed by a host, with no blanks or control characters.
bool IsWebAddress(std::string_view url);

enum class UpdateOutcome {
    ConnectFailed,   // "Fail to connect Internet."
    NoUpdateInfo,    // "Fail to get update informate"
    Latest,          // "This is the lastest version!"
    NewerWithoutUrl, // a newer version with a blank URL: nothing is shown
    Newer,           // a newer version with a web address: the question
    Abandoned,       // the request was abandoned (Cancel): nothing is shown
};

struct UpdateCheckResult {
    UpdateOutcome outcome = UpdateOutcome::ConnectFailed;
    std::string version;  // as the server names it
    std::string url;      // trimmed
    FetchResult::Status fetchStatus = FetchResult::Status::Failed;
    std::string reason;   // the fetch's reason on failure
};

// The outcome for a file that was read (the fetch succeeded).
UpdateCheckResult DecideUpdate(const UpdateInfo& info, std::string_view running = kRunningVersion);

// The whole check: fetch, store as "update.ini", read, delete, compare. An
// unusable proxy gives NoUpdateInfo without any request.
// Throws Error when the file cannot be written anywhere.
UpdateCheckResult RunUpdateCheck(const std::string& source, const std::string& programDir,
                                 const FetchOptions& options);

}  // namespace corvellin
