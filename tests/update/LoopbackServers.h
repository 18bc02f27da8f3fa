// Real servers on loopback for the update check tests: a small HTTP server
// that records every request it receives, and tinyproxy in front of it. Each
// binds a port chosen by the system at run time, so tests run in parallel.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace corvellin::testing {

// A folder of our own under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvellin-update-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    // The folder with a trailing '/', as ProgramDir gives it.
    std::string dir() const { return path_ + "/"; }

private:
    std::string path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A complete HTTP/1.1 reply.
inline std::string HttpReply(int status, const std::string& reason, const std::string& body,
                             const std::string& extraHeaders = "") {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

struct ReceivedRequest {
    std::string requestLine;  // "GET /update.ini HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
};

// Serves one connection at a time. The handler gets the request target and
// returns the raw reply, or nothing to keep the connection open without ever
// answering (until the server stops).
class LoopbackHttpServer {
public:
    using Handler = std::function<std::optional<std::string>(const std::string& target)>;

    // On 127.0.0.1, or on ::1 when ipv6.
    explicit LoopbackHttpServer(Handler handler, bool ipv6 = false) : handler_(std::move(handler)) {
        listen_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_storage address{};
        socklen_t length = 0;
        if (ipv6) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
            v6->sin6_family = AF_INET6;
            v6->sin6_addr = in6addr_loopback;
            length = sizeof(sockaddr_in6);
        } else {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
            v4->sin_family = AF_INET;
            v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            length = sizeof(sockaddr_in);
        }
        if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listen_, 16) != 0)
            throw std::runtime_error("cannot listen on loopback");
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                           : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
        if (::pipe2(stop_, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        thread_ = std::thread([this] { Serve(); });
    }

    ~LoopbackHttpServer() {
        const char byte = 0;
        [[maybe_unused]] const ssize_t n = ::write(stop_[1], &byte, 1);
        thread_.join();
        for (const int fd : held_) ::close(fd);
        ::close(listen_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }

    int port() const { return port_; }
    std::string url(const std::string& target) const {
        return "http://127.0.0.1:" + std::to_string(port_) + target;
    }
    std::vector<ReceivedRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool WaitReadable(int fd) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        while (true) {
            const int n = ::poll(fds, 2, -1);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || (fds[1].revents & POLLIN)) return false;
            if (fds[0].revents) return true;
        }
    }

    void Serve() {
        while (WaitReadable(listen_)) {
            const int client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            std::string head;
            char buffer[4096];
            bool complete = false;
            while (!complete && head.size() < 65536 && WaitReadable(client)) {
                const ssize_t n = ::read(client, buffer, sizeof buffer);
                if (n <= 0) break;
                head.append(buffer, static_cast<std::size_t>(n));
                complete = head.find("\r\n\r\n") != std::string::npos;
            }
            if (!complete) {
                ::close(client);
                continue;
            }
            ReceivedRequest request = ParseHead(head.substr(0, head.find("\r\n\r\n")));
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            std::string target;
            {
                std::istringstream line(request.requestLine);
                std::string method;
                line >> method >> target;
                // A proxy passes the absolute address: keep only the path.
                if (const auto scheme = target.find("://"); scheme != std::string::npos) {
                    const auto path = target.find('/', scheme + 3);
                    target = path == std::string::npos ? "/" : target.substr(path);
                }
            }
            const std::optional<std::string> reply = handler_(target);
            if (!reply) {
                held_.push_back(client);
                continue;
            }
            std::size_t sent = 0;
            while (sent < reply->size()) {
                const ssize_t n = ::send(client, reply->data() + sent, reply->size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            ::shutdown(client, SHUT_WR);
            ::close(client);
        }
    }

    static ReceivedRequest ParseHead(const std::string& head) {
        ReceivedRequest request;
        std::size_t start = 0;
        bool first = true;
        while (start <= head.size()) {
            std::size_t end = head.find("\r\n", start);
            if (end == std::string::npos) end = head.size();
            const std::string line = head.substr(start, end - start);
            if (first) {
                request.requestLine = line;
                first = false;
            } else if (const auto colon = line.find(':'); colon != std::string::npos) {
                std::size_t value = colon + 1;
                while (value < line.size() && line[value] == ' ') ++value;
                request.headers.emplace_back(line.substr(0, colon), line.substr(value));
            }
            start = end + 2;
        }
        return request;
    }

    Handler handler_;
    int listen_ = -1;
    int port_ = 0;
    int stop_[2] = {-1, -1};
    std::vector<int> held_;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::thread thread_;
};

// A loopback port on which nothing listens (bound once, then closed).
inline int ClosedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

inline bool AcceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// tinyproxy on a loopback port, its configuration and log in a folder of its
// own; stopped (SIGTERM to its own process id) when destroyed.
class Tinyproxy {
public:
    Tinyproxy() {
        for (int attempt = 0; attempt < 5 && pid_ <= 0; ++attempt) Start();
        if (pid_ <= 0) throw std::runtime_error("tinyproxy did not start; log: " + log());
    }
    ~Tinyproxy() { Stop(); }
    Tinyproxy(const Tinyproxy&) = delete;
    Tinyproxy& operator=(const Tinyproxy&) = delete;

    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string log() const { return ReadText(folder_.path() + "/tinyproxy.log"); }

private:
    void Start() {
        port_ = ClosedLoopbackPort();
        const std::string conf = folder_.path() + "/tinyproxy.conf";
        // The folder is handed to the unprivileged user tinyproxy runs as.
        ::chmod(folder_.path().c_str(), 0777);
        WriteText(conf, "User nobody\nGroup nogroup\nPort " + std::to_string(port_) +
                            "\nListen 127.0.0.1\nBind 127.0.0.1\nTimeout 30\nMaxClients 8\n"
                            "LogFile \"" + folder_.path() + "/tinyproxy.log\"\nLogLevel Connect\n"
                            "PidFile \"" + folder_.path() + "/tinyproxy.pid\"\nAllow 127.0.0.1\n");
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("tinyproxy", "tinyproxy", "-d", "-c", conf.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (child < 0) return;
        // Wait until it listens, or until it has ended (the port was taken meanwhile).
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child) return;
            if (AcceptsConnections(port_)) {
                pid_ = child;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    TempFolder folder_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace corvellin::testing
