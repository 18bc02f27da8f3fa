// corvellin-fx batch, run as the real program: the same bytes as apply, the
// failures named while the other files go on, and no input ever overwritten.
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "picture/JpegCodec.h"
#include "picture/PictureFile.h"

namespace corvellin {
namespace {

namespace fs = std::filesystem;

const std::string kFx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx";

struct RunResult {
    int status;
    std::string err;
};

std::string Quoted(const std::vector<std::string>& args) {
    std::string command = kFx;
    for (const std::string& a : args) command += " '" + a + "'";
    return command;
}

// Runs corvellin-fx with stderr into a file (so not a terminal).
RunResult RunFx(const std::vector<std::string>& args, const test::TempDir& dir) {
    const std::string command = Quoted(args) + " >/dev/null 2>'" + dir.file("stderr.txt") + "'";
    const int raw = std::system(command.c_str());
    const auto bytes = test::ReadBytes(dir.file("stderr.txt"));
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(bytes.begin(), bytes.end())};
}

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// SavePictureFile into a folder made first.
void SavePicture(const std::string& path, const Picture& picture, PictureFormat format) {
    fs::create_directories(fs::path(path).parent_path());
    SavePictureFile(path, picture, format);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A folder of pictures as a batch meets them: good ones in both formats, and
// one of each kind of file that must fail on its own.
struct BatchFolder {
    test::TempDir dir;
    std::vector<std::string> good = {"photo.jpg", "scan.bmp", "Upper.JPEG"};
    std::vector<std::string> bad = {"damaged.jpg", "empty.bmp", "notes.txt", "missing.jpg"};
    std::vector<std::string> calls = {"6:3", "art:2:9", "art:7:30"};  // a mask, the random scatter, brightness

    BatchFolder() {
        SavePicture(in("photo.jpg"), test::RandomPicture(64, 48, 3), PictureFormat::Jpeg);
        SavePicture(in("scan.bmp"), test::RandomPicture(51, 37, 4), PictureFormat::Bmp);  // rows padded
        SavePicture(in("Upper.JPEG"), test::RandomPicture(40, 40, 5), PictureFormat::Jpeg);
        const auto jpeg = EncodeJpeg(test::RandomPicture(64, 48, 6), 90);
        test::WriteBytes(in("damaged.jpg"), {jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2)});
        test::WriteBytes(in("empty.bmp"), {});
        test::WriteBytes(in("notes.txt"), {'h', 'i', '\n'});
        test::WriteMaskFile(dir.file("pic"), 6, 4, test::RandomPicture(50, 40, 9));
    }
    std::string in(const std::string& name) const { return dir.file("in/" + name); }
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& n : good) files.push_back(in(n));
        for (const auto& n : bad) files.push_back(in(n));
        return files;
    }
    RunResult Batch(const std::vector<std::string>& options, const std::string& outDir) const {
        auto args = Joined(Joined({"batch", "--pic-dir", dir.file("pic")}, options), {"-o", outDir});
        return RunFx(Joined(Joined(Joined(args, calls), {"--"}), Files()), dir);
    }
};

TEST(FxBatch, WritesWhatApplyWritesAndNamesEachFailedFile) {
    const BatchFolder f;
    fs::create_directories(f.dir.file("apply"));
    for (const std::string& name : f.good) {
        const RunResult apply = RunFx(Joined({"apply", "--pic-dir", f.dir.file("pic"), "--seed", "4711", f.in(name),
                                              f.dir.file("apply/" + name)},
                                             f.calls),
                                      f.dir);
        ASSERT_EQ(apply.status, 0) << apply.err;
    }
    const mode_t expectedMode = 0666 & ~CurrentUmask();

    for (const char* threads : {"1", "2"}) {
        SCOPED_TRACE(std::string("-j ") + threads);
        const std::string out = f.dir.file(std::string("out") + threads + "/nested");  // created with its parent
        const RunResult run = f.Batch({"-j", threads, "--seed", "4711"}, out);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(NamesIn(out), std::set<std::string>(f.good.begin(), f.good.end()));
        for (const std::string& name : f.good) {
            EXPECT_EQ(test::ReadBytes(out + "/" + name), test::ReadBytes(f.dir.file("apply/" + name))) << name;
            struct stat info {};
            ASSERT_EQ(::stat((out + "/" + name).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, expectedMode) << name;
        }
        // Not a terminal: one line per failed file and nothing else.
        EXPECT_EQ(run.err.find('\r'), std::string::npos) << run.err;
        const std::vector<std::string> lines = Lines(run.err);
        EXPECT_EQ(lines.size(), f.bad.size()) << run.err;
        const std::pair<std::string, std::string> expected[] = {
            {"damaged.jpg", ": Premature end of JPEG file"},
            {"empty.bmp", ": "},
            {"notes.txt", ": Picture format must be bmp, heic, heif, jpeg, jpg, png, tif, tiff or webp!"},
            {"missing.jpg", ": Picture does not exists! " + f.in("missing.jpg")},
        };
        for (const auto& [name, text] : expected) {
            const std::string prefix = f.in(name) + text;
            bool found = false;
            for (const std::string& line : lines) found = found || line.rfind(prefix, 0) == 0;
            EXPECT_TRUE(found) << prefix << "\n" << run.err;
        }
    }
    EXPECT_EQ(test::ReadBytes(f.dir.file("out1/nested/scan.bmp")), test::ReadBytes(f.dir.file("out2/nested/scan.bmp")));

    // The seed reaches the scatter: another seed gives another picture.
    ASSERT_EQ(f.Batch({"--seed", "4712"}, f.dir.file("other")).status, 1);
    EXPECT_NE(test::ReadBytes(f.dir.file("other/photo.jpg")), test::ReadBytes(f.dir.file("apply/photo.jpg")));
}

TEST(FxBatch, NeverOverwritesAnInput) {
    test::TempDir dir;
    SavePicture(dir.file("in/a.bmp"), test::RandomPicture(20, 10, 1), PictureFormat::Bmp);
    SavePicture(dir.file("in/b.jpg"), test::RandomPicture(20, 10, 2), PictureFormat::Jpeg);
    const auto a = test::ReadBytes(dir.file("in/a.bmp"));
    const auto b = test::ReadBytes(dir.file("in/b.jpg"));
    fs::create_directory_symlink(dir.file("in"), dir.file("link"));
    fs::create_directories(dir.file("other"));
    fs::create_hard_link(dir.file("in/a.bmp"), dir.file("other/a.bmp"));

    // The output folder spelled as the inputs' folder, through a symbolic link,
    // or holding a hard link to an input.
    const std::vector<std::string> folders = {dir.file("in"), dir.file("in/"), dir.file("in/../in"), dir.file("link"),
                                              "."};
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const std::string command = "cd '" + dir.file("in") + "' && " +
                                    Quoted({"batch", "-j", "2", "-o", folder, "art:9", "--", "a.bmp", dir.file("in/b.jpg")}) +
                                    " 2>'" + dir.file("stderr.txt") + "'";
        const int raw = std::system(command.c_str());
        const auto err = test::ReadBytes(dir.file("stderr.txt"));
        const std::string text(err.begin(), err.end());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << text;
        EXPECT_NE(text.find("a.bmp: its output"), std::string::npos) << text;
        EXPECT_NE(text.find("b.jpg: its output"), std::string::npos) << text;
        EXPECT_NE(text.find("is an input file; it is not overwritten"), std::string::npos) << text;
        EXPECT_EQ(test::ReadBytes(dir.file("in/a.bmp")), a);
        EXPECT_EQ(test::ReadBytes(dir.file("in/b.jpg")), b);
        EXPECT_EQ(NamesIn(dir.file("in")), (std::set<std::string>{"a.bmp", "b.jpg"}));  // no temporary left behind
    }
    const RunResult hardLink = RunFx({"batch", "-o", dir.file("other"), "--", dir.file("in/a.bmp")}, dir);
    EXPECT_EQ(hardLink.status, 1) << hardLink.err;
    EXPECT_NE(hardLink.err.find("is an input file"), std::string::npos) << hardLink.err;
    EXPECT_EQ(test::ReadBytes(dir.file("in/a.bmp")), a);
}

TEST(FxBatch, OfTwoFilesWithOneNameOnlyTheFirstIsWritten) {
    test::TempDir dir;
    const Picture first = test::RandomPicture(12, 9, 1);
    SavePicture(dir.file("x/p.bmp"), first, PictureFormat::Bmp);
    SavePicture(dir.file("y/p.bmp"), test::RandomPicture(12, 9, 2), PictureFormat::Bmp);
    SavePicture(dir.file("y/q.bmp"), test::RandomPicture(12, 9, 3), PictureFormat::Bmp);
    for (const char* threads : {"1", "2"}) {
        const std::string out = dir.file(std::string("out") + threads);
        const RunResult run = RunFx({"batch", "-j", threads, "-o", out, "--", dir.file("x/missing.bmp"), dir.file("x/p.bmp"),
                                     dir.file("y/q.bmp"), dir.file("y/p.bmp")},
                                    dir);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;  // the missing file and the second p.bmp
        EXPECT_NE(run.err.find(dir.file("y/p.bmp") + ": its output \"" + out + "/p.bmp\" is already written from \"" +
                               dir.file("x/p.bmp") + "\""),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(DecodePictureFile(out + "/p.bmp", PictureFormat::Bmp), first);
        EXPECT_EQ(NamesIn(out), (std::set<std::string>{"p.bmp", "q.bmp"}));
    }
}

// Several threads write at once, and every new file still gets the mode the
// process's umask gives it (the umask is read, never changed, while writing).
TEST(FxBatch, NewOutputsGetTheModeOfTheUmask) {
    test::TempDir dir;
    std::vector<std::string> args = {"batch", "-j", "2", "-o", dir.file("out"), "--"};
    for (int i = 0; i < 8; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 2 ? ".jpg" : ".bmp");
        SavePicture(dir.file("in/" + name), test::RandomPicture(16, 16, static_cast<std::uint32_t>(i)),
                    i % 2 ? PictureFormat::Jpeg : PictureFormat::Bmp);
        args.push_back(dir.file("in/" + name));
    }
    const std::string command = "umask 027 && " + Quoted(args) + " 2>'" + dir.file("stderr.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(NamesIn(dir.file("out")).size(), 8u);
    for (const auto& entry : fs::directory_iterator(dir.file("out"))) {
        struct stat info {};
        ASSERT_EQ(::stat(entry.path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u) << entry.path();
    }
}

TEST(FxBatch, BadArgumentsAreUsageErrorsAndWriteNothing) {
    test::TempDir dir;
    SavePicture(dir.file("in.bmp"), test::RandomPicture(8, 8), PictureFormat::Bmp);
    test::WriteBytes(dir.file("plain-file"), {'x'});
    const std::string in = dir.file("in.bmp"), out = dir.file("out");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* errContains;
    } cases[] = {
        {{"batch"}, 2, "needs -o OUTDIR"},
        {{"batch", "art:9", "--", in}, 2, "needs -o OUTDIR"},
        {{"batch", "-o", out, "art:9", in}, 2, "needs -- before the files"},
        {{"batch", "-o", out, "art:9", "--"}, 2, "at least one FILE"},
        {{"batch", "-o", out, "16:0", "--", in}, 2, "unknown category"},
        {{"batch", "-o", out, "art:7:999", "--", in}, 2, "slider range"},
        {{"batch", "-j", "0", "-o", out, "--", in}, 2, "-j takes a whole number from 1 to 256"},
        {{"batch", "-j", "257", "-o", out, "--", in}, 2, "-j takes"},
        {{"batch", "-j", "two", "-o", out, "--", in}, 2, "-j takes"},
        {{"batch", "-o", out, "--", in, "-j"}, 1, "-j: Picture does not exists!"},  // after --, a file
        {{"batch", "-o", out, "-j"}, 2, "-j needs a value"},
        {{"batch", "-o", "", "--", in}, 2, "-o needs a folder"},
        {{"batch", "--seed", "-1", "-o", out, "--", in}, 2, "--seed"},
        {{"batch", "--fast", "-o", out, "--", in}, 2, "unknown option --fast"},
        {{"batch", "-o", dir.file("plain-file"), "--", in}, 1, "Cannot create folder"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        const RunResult run = RunFx(c.args, dir);
        EXPECT_EQ(run.status, c.status) << joined << "\n" << run.err;
        EXPECT_NE(run.err.find(c.errContains), std::string::npos) << joined << "\n" << run.err;
        if (c.status == 2) {
            EXPECT_NE(run.err.find("corvellin-fx batch [-j N]"), std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists(out)) << joined;
        }
        fs::remove_all(out);
    }
}

// Runs the program with stderr (and stdout) on a pseudo terminal and returns
// everything it wrote there.
std::string RunOnTerminal(const std::vector<std::string>& args, int& status) {
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(kFx.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(kFx.c_str(), argv.data());
        ::_exit(127);
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR) continue;
        else break;  // EIO once the child has closed its side
    }
    ::close(master);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return text;
}

TEST(FxBatch, OnATerminalShowsOneProgressLineAndClearsIt) {
    test::TempDir dir;
    SavePicture(dir.file("one.bmp"), test::RandomPicture(8, 8, 1), PictureFormat::Bmp);
    SavePicture(dir.file("two.jpg"), test::RandomPicture(8, 8, 2), PictureFormat::Jpeg);
    int status = -1;
    const std::string text = RunOnTerminal(
        {"batch", "-j", "1", "-o", dir.file("out"), "art:9", "--", dir.file("one.bmp"), dir.file("two.jpg"), dir.file("no.bmp")},
        status);
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find("\r[1/3] one.bmp"), std::string::npos) << text;
    EXPECT_NE(text.find("\r[2/3] two.jpg"), std::string::npos) << text;
    // The failure is on a line of its own, the progress line is cleared before the summary.
    EXPECT_NE(text.find("\r\x1b[K" + dir.file("no.bmp") + ": Picture does not exists!"), std::string::npos) << text;
    const std::string ending = "\r\x1b[K3 files: 2 written, 1 failed\r\n";
    ASSERT_GE(text.size(), ending.size()) << text;
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << text;
}

}  // namespace
}  // namespace corvellin
