// The real corvellin on a private Xvfb server, closed while its settings folder
// cannot be written: a read-only bind mount, or a path under a regular file.
// On close the editor shows its error box, waits for it to be answered, and
// then still exits with 0. (The box's text, "Unable to write to <path>", is
// read through the dialog seam in the window drill: Qt 6.4's message box copies
// its text to the clipboard only on Windows, so X offers no way to read it here.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Mounts.h"
#include "TestFiles.h"
#include "WindowClose.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

// A child process, killed (by its pid) if still running when the object dies.
class Process {
public:
    Process(std::vector<std::string> argv, const std::vector<std::string>& env, int keepFd, const std::string& log) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        for (int other = 3; other < 256; ++other)
            if (other != keepFd) ::close(other);
        for (const std::string& e : env) {
            if (e.find('=') == std::string::npos) ::unsetenv(e.c_str());
            else ::setenv(e.substr(0, e.find('=')).c_str(), e.substr(e.find('=') + 1).c_str(), 1);
        }
        std::vector<char*> args;
        for (std::string& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ~Process() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // The exit status once the process has ended within the wait, else empty.
    std::optional<int> wait(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!status_ && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            std::this_thread::sleep_for(50ms);
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
        ::pclose(p);
    }
    return out;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(200ms);
    }
    return condition();
}

class ShutdownDrill : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::string(CORVELLIN_BIN_DIR) + "/corvellin", dir.file("corvellin"));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(200, 150, 60, 150, 200), 90));
        for (int n = 1; n <= 10; ++n) test::WriteMaskFile(dir.file("pic"), 1, n, test::RandomPicture(16, 16, n));
    }

    void StartServer() {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        xvfb.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                              "1280x1024x24", "-nolisten", "tcp"},
                     std::vector<std::string>{}, fds[1], dir.file("xvfb.log"));
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display = ":" + number;
    }

    std::string X(const std::string& command) { return Capture("DISPLAY=" + display + " " + command + " 2>/dev/null"); }
    // The first visible window whose whole title is title, or empty.
    std::string WindowNamed(const std::string& title) {
        const std::string found = X("xdotool search --onlyvisible --name '^" + title + "$'");
        return found.substr(0, found.find('\n'));
    }
    std::string Log() { return Capture("cat '" + dir.file("corvellin.log") + "'"); }

    test::TempDir dir;
    std::optional<Process> xvfb;
    std::string display;
};

TEST_F(ShutdownDrill, UnwritableSettingsFolderIsReportedAndTheEditorStillExits) {
    test::WriteBytes(dir.file("plain"), {1});
    struct Case {
        const char* name;
        std::string configHome;
        bool readOnly;
    };
    const Case cases[] = {
        // The case without a mount first: it runs also where mounting is not permitted.
        {"folder under a regular file", dir.file("plain/config"), false},
        {"read-only bind mount", dir.file("ro-config"), true},
    };
    StartServer();
    if (HasFatalFailure()) return;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string cfg = c.configHome + "/Corvellin Photo/cfg.ini";
        const std::string before = "[Language]\nindex=-1\n";
        test::ScopedMount mount;
        if (c.readOnly) {
            test::WriteBytes(cfg, std::vector<std::uint8_t>(before.begin(), before.end()));
            CORVELLIN_MOUNT_OR_SKIP(mount.BindReadOnly(c.configHome));
        }
        Process editor({dir.file("corvellin")},
                       {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM",
                        "XDG_CONFIG_HOME=" + c.configHome},
                       -1, dir.file("corvellin.log"));
        std::string window;
        ASSERT_TRUE(WaitFor([&] { return !(window = WindowNamed("Corvellin Photo Editor")).empty(); })) << Log();
        EXPECT_TRUE(WindowNamed("Error").empty()) << "start-up reads what it can and shows no box";
        ASSERT_TRUE(e2e::SendWindowClose(display, std::stoul(window)));

        // The box waits for an answer; the process does not end meanwhile.
        std::string box;
        ASSERT_TRUE(WaitFor([&] { return !(box = WindowNamed("Error")).empty(); })) << "no error box at close\n" << Log();
        EXPECT_FALSE(editor.wait(500ms).has_value()) << "the editor ended with its box open";
        X("xdotool windowfocus --sync " + box + " key Return");

        const std::optional<int> status = editor.wait(30000ms);
        ASSERT_TRUE(status.has_value()) << "corvellin did not exit once its box was answered\n" << Log();
        EXPECT_EQ(*status, 0) << Log();
        if (c.readOnly) {
            EXPECT_EQ(test::ReadBytes(cfg), std::vector<std::uint8_t>(before.begin(), before.end()));
        }
    }
}

}  // namespace
}  // namespace corvellin
