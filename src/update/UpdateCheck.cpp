#include "UpdateCheck.h"

#include <curl/curl.h>
#include <gio/gio.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include "picture/Error.h"
#include "picture/FileIO.h"
#include "platform/UserFolders.h"
#include "settings/SettingsFile.h"

namespace corvellin {

// ---- Proxy -------------------------------------------------------------------

std::string NormaliseProxyAddress(std::string_view address) {
    std::string_view s = TrimBlanks(address);
    if (const auto scheme = s.find("://"); scheme != std::string_view::npos) s.remove_prefix(scheme + 3);
    // Credentials are never sent (no proxy authentication); the host follows the last '@'
    // before the path.
    const auto pathStart = s.find('/');
    const std::string_view authority = s.substr(0, pathStart);
    std::string_view hostPort = authority;
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) hostPort = authority.substr(at + 1);
    return std::string(TrimBlanks(hostPort));
}

namespace {

std::string EnvironmentProxy() {
    for (const char* name : {"http_proxy", "HTTP_PROXY"}) {
        const char* value = std::getenv(name);
        if (value == nullptr) continue;
        std::string normalised = NormaliseProxyAddress(value);
        if (!normalised.empty()) return normalised;
    }
    return {};
}

std::string GnomeProxy() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) return {};
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, "org.gnome.system.proxy", TRUE);
    GSettingsSchema* httpSchema = g_settings_schema_source_lookup(source, "org.gnome.system.proxy.http", TRUE);
    std::string result;
    if (schema != nullptr && httpSchema != nullptr) {
        GSettings* settings = g_settings_new("org.gnome.system.proxy");
        gchar* mode = g_settings_get_string(settings, "mode");
        if (mode != nullptr && std::string_view(mode) == "manual") {
            GSettings* http = g_settings_new("org.gnome.system.proxy.http");
            gchar* host = g_settings_get_string(http, "host");
            const gint port = g_settings_get_int(http, "port");
            const std::string_view hostText = host != nullptr ? TrimBlanks(host) : std::string_view();
            if (!hostText.empty() && port > 0) result = std::string(hostText) + ":" + std::to_string(port);
            g_free(host);
            g_object_unref(http);
        }
        g_free(mode);
        g_object_unref(settings);
    }
    if (httpSchema != nullptr) g_settings_schema_unref(httpSchema);
    if (schema != nullptr) g_settings_schema_unref(schema);
    return result;
}

std::optional<int> DecimalPort(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string QuerySystemProxy() {
    std::string proxy = EnvironmentProxy();
    if (proxy.empty()) proxy = GnomeProxy();
    return proxy;
}

ProxyAddress ProxyForScheme(std::string_view scheme, std::string_view systemProxy) {
    ProxyAddress result;
    std::string_view s = systemProxy;
    if (s.empty()) return result;
    const std::string selector = std::string(scheme) + "=";
    if (const auto at = s.find(selector); at != std::string_view::npos) {
        s.remove_prefix(at + selector.size());
        if (const auto end = s.find(';'); end != std::string_view::npos) s = s.substr(0, end);
    }
    std::string_view portText;
    if (!s.empty() && s.front() == '[') {
        // A bracketed IPv6 address: "[::1]:3128".
        const auto close = s.find(']');
        if (close == std::string_view::npos || (close + 1 < s.size() && s[close + 1] != ':')) {
            result.unusable = true;
            return result;
        }
        result.host = std::string(s.substr(1, close - 1));
        if (close + 1 == s.size()) return result;
        portText = s.substr(close + 2);
    } else {
        const auto colon = s.find(':');
        if (colon == std::string_view::npos) return result;
        result.host = std::string(s.substr(0, colon));
        portText = s.substr(colon + 1);
    }
    const std::optional<int> port = DecimalPort(portText);
    if (!port || *port == 0) return result;
    // A port is named: the user wants a proxy. One that cannot be reached (no
    // host, a port beyond 65535) fails the check rather than bypassing it.
    if (*port > 65535 || result.host.empty()) {
        result.unusable = true;
        return result;
    }
    result.port = *port;
    return result;
}

ProxyAddress ProxyForScheme(std::string_view scheme) { return ProxyForScheme(scheme, QuerySystemProxy()); }

// ---- Fetch -------------------------------------------------------------------

namespace {

void EnsureCurlReady() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    std::size_t limit = 0;
    bool tooLarge = false;
    const std::atomic<bool>* abandon = nullptr;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (transfer->body.size() + n > transfer->limit) {
        transfer->tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, n);
    return n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* transfer = static_cast<const Transfer*>(user);
    return (transfer->abandon != nullptr && transfer->abandon->load()) ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

FetchResult FetchUpdateFile(const std::string& url, const FetchOptions& options) {
    EnsureCurlReady();
    FetchResult result;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.reason = "The HTTP client could not be started.";
        return result;
    }
    Transfer transfer;
    transfer.limit = options.bodyLimit;
    transfer.abandon = options.abandon;

    // Accept replaces libcurl's own "*/*"; an empty Proxy-Connection keeps the
    // request to the proxy to exactly these headers.
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, (std::string("Accept: ") + kUpdateAccept).c_str());
    headers = curl_slist_append(headers, "Proxy-Connection:");
    std::unique_ptr<curl_slist, HeaderListDeleter> headerList(headers);

    std::string proxy;
    if (options.proxy.port != 0) {
        const bool ipv6 = options.proxy.host.find(':') != std::string::npos;
        const std::string host = ipv6 ? "[" + options.proxy.host + "]" : options.proxy.host;
        proxy = "http://" + host + ":" + std::to_string(options.proxy.port);
    }

    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(c, CURLOPT_USERAGENT, kUpdateUserAgent);
    // Only our proxy rule decides: libcurl would otherwise read http_proxy and
    // no_proxy on its own.
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(c, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    curl_easy_setopt(c, CURLOPT_NOPROXY, "");
    // Cookies are allowed (kept in memory for this one request).
    curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, options.totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.bodyLimit));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);

    const CURLcode code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.httpStatus);

    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.status = FetchResult::Status::Abandoned;
        result.reason = "The request was abandoned.";
        return result;
    }
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.status = FetchResult::Status::TooLarge;
        result.reason = "The reply is longer than " + std::to_string(options.bodyLimit) + " bytes.";
        return result;
    }
    if (code != CURLE_OK) {
        result.reason = errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(code));
        return result;
    }
    if (result.httpStatus < 200 || result.httpStatus > 299) {
        result.reason = "The server answered with status " + std::to_string(result.httpStatus) + ".";
        return result;
    }
    result.status = FetchResult::Status::Ok;
    result.body = std::move(transfer.body);
    return result;
}

// ---- The update information file -------------------------------------------

UpdateInfo ReadUpdateInfo(const IniFile& file) {
    UpdateInfo info;
    for (const IniFile::Section& section : file.sections())
        if (EqualsIgnoringCase(section.name, "Update")) info.hasUpdateSection = true;
    info.version = file.ReadString("Update", "version", "");
    info.url = file.ReadString("Update", "URL", "");
    return info;
}

std::string UpdateDataFolder() { return UserDataFolder() + "/"; }

std::string StoreUpdateFile(const std::string& programDir, const std::string& body) {
    const std::vector<std::uint8_t> bytes(body.begin(), body.end());
    std::string folder = programDir;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    // An installed copy's folder is not writable: then the user's data folder.
    if (ProgramFolderWritable(folder)) {
        const std::string first = folder + kUpdateFileName;
        WriteFileAtomically(first, bytes);
        return first;
    }
    const std::string dataFolder = UpdateDataFolder();
    const std::string second = dataFolder + kUpdateFileName;
    if (!EnsureFolder(dataFolder))
        throw Error(Format("Cannot write file \"%s\". The folder \"%s\" cannot be created.", second.c_str(),
                           dataFolder.c_str()));
    WriteFileAtomically(second, bytes);
    return second;
}

UpdateInfo ReadAndRemoveUpdateFile(const std::string& path) {
    struct Remover {
        const std::string& path;
        ~Remover() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } remover{path};
    return ReadUpdateInfo(IniFile::Load(path));
}

// ---- Decision ----------------------------------------------------------------

bool IsNewerVersion(std::string_view version, std::string_view running) {
    const std::size_t common = std::min(version.size(), running.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(version[i]);
        const auto b = static_cast<unsigned char>(running[i]);
        if (a != b) return a > b;
    }
    return version.size() > running.size();
}

bool IsWebAddress(std::string_view url) {
    std::string_view rest;
    auto startsWith = [&](std::string_view prefix) {
        if (url.size() < prefix.size() || !EqualsIgnoringCase(url.substr(0, prefix.size()), prefix)) return false;
        rest = url.substr(prefix.size());
        return true;
    };
    if (!startsWith("http://") && !startsWith("https://")) return false;
    for (const char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
    // A host must follow; "http:///x" or "http://" names none.
    return !rest.empty() && rest.front() != '/' && rest.front() != '?' && rest.front() != '#';
}

UpdateCheckResult DecideUpdate(const UpdateInfo& info, std::string_view running) {
    UpdateCheckResult result;
    result.fetchStatus = FetchResult::Status::Ok;
    result.version = info.version;
    result.url = std::string(TrimBlanks(info.url));
    if (!info.hasUpdateSection) {
        // An error page or a captive portal served with a success status.
        result.outcome = UpdateOutcome::NoUpdateInfo;
    } else if (!IsNewerVersion(info.version, running)) {
        result.outcome = UpdateOutcome::Latest;
    } else if (result.url.empty()) {
        result.outcome = UpdateOutcome::NewerWithoutUrl;
    } else if (!IsWebAddress(result.url)) {
        // A file path, a script or a program is never handed to the desktop.
        result.outcome = UpdateOutcome::NoUpdateInfo;
    } else {
        result.outcome = UpdateOutcome::Newer;
    }
    return result;
}

UpdateCheckResult RunUpdateCheck(const std::string& source, const std::string& programDir,
                                 const FetchOptions& options) {
    if (options.proxy.unusable) {
        UpdateCheckResult result;
        result.outcome = UpdateOutcome::NoUpdateInfo;
        result.reason = "The proxy setting names no usable host and port.";
        return result;
    }
    const FetchResult fetched = FetchUpdateFile(source, options);
    if (fetched.status != FetchResult::Status::Ok) {
        UpdateCheckResult result;
        result.outcome = fetched.status == FetchResult::Status::Abandoned ? UpdateOutcome::Abandoned
                                                                         : UpdateOutcome::ConnectFailed;
        result.fetchStatus = fetched.status;
        result.reason = fetched.reason;
        return result;
    }
    const std::string path = StoreUpdateFile(programDir, fetched.body);
    if (!FileExists(path)) {
        UpdateCheckResult result;
        result.outcome = UpdateOutcome::NoUpdateInfo;
        result.fetchStatus = fetched.status;
        return result;
    }
    return DecideUpdate(ReadAndRemoveUpdateFile(path));
}

}  // namespace corvellin
