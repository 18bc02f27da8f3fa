#include "Batch.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "CallParser.h"
#include "RenderFile.h"
#include "picture/FileIO.h"
#include "picture/PictureFile.h"

namespace corvellin::fx {
namespace {

namespace fs = std::filesystem;

ParsedBatch Problem(std::string text) { return {std::nullopt, std::move(text)}; }

unsigned DefaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, kMaxBatchThreads);
}

// What becomes of one input: where its result goes, or why it is refused
// before any work is done.
struct PlannedFile {
    std::string input;
    std::string output;
    PictureFormat format = PictureFormat::Unknown;
    std::optional<std::string> refusal;
};

// The identity of an existing file (what std::filesystem::equivalent compares),
// so that a path reached through another spelling, a symbolic link or a hard
// link is still recognised as the same file.
using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

// Decides every file's output before the first one is written: an output that
// is one of the inputs, or that an earlier input already writes, is refused, so
// that no input is ever overwritten and no result silently replaces another,
// whichever thread gets to a file first.
std::vector<PlannedFile> PlanOutputs(const BatchOptions& options) {
    std::set<FileIdentity> inputs;
    for (const std::string& file : options.files)
        if (const auto identity = IdentityOf(file)) inputs.insert(*identity);

    std::vector<PlannedFile> plan;
    plan.reserve(options.files.size());
    std::map<std::string, std::string> writerOf;  // output path -> the input it is written from
    for (const std::string& file : options.files) {
        PlannedFile planned;
        planned.input = file;
        const fs::path name = fs::path(file).filename();
        planned.output = (fs::path(options.outDir) / name).lexically_normal().string();
        planned.format = PictureFormatOfPath(planned.output);
        if (const PictureFormatInfo* info = FindPictureFormat(planned.format); info && info->saveFilterName == nullptr) {
            const PictureFormatInfo* jpeg = FindPictureFormat(PictureFormat::Jpeg);
            planned.output = fs::path(planned.output).replace_extension("." + jpeg->extensions.front()).string();
            planned.format = PictureFormat::Jpeg;
        }
        // A path without a file name ("photos/", "..") names no picture: the
        // loader turns it away before anything could be written.
        const bool hasName = !name.empty() && name != "." && name != "..";
        if (hasName && FileExists(planned.output)) {
            const auto identity = IdentityOf(planned.output);
            if (identity && inputs.count(*identity))
                planned.refusal = "its output \"" + planned.output +
                                  "\" is an input file; it is not overwritten (choose another -o folder)";
        }
        if (!planned.refusal && hasName && FileExists(file)) {
            const auto [earlier, isFirst] = writerOf.emplace(planned.output, file);
            if (!isFirst)
                planned.refusal = "its output \"" + planned.output + "\" is already written from \"" +
                                  earlier->second + "\"; it is not overwritten";
        }
        plan.push_back(std::move(planned));
    }
    return plan;
}

// One line per failed file, so that every failure can be found with grep.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// Everything the batch writes to stderr, from any thread. On a terminal one
// progress line is kept up to date in place and cleared at the end; elsewhere
// (a log, a pipe) only the failures appear.
class BatchReport {
public:
    explicit BatchReport(std::size_t total) : total_(total), terminal_(::isatty(STDERR_FILENO) == 1) {}

    void Started(std::size_t position, const std::string& input) {
        if (!terminal_) return;
        const std::lock_guard lock(mutex_);
        progress_.assign(1, '[');
        progress_.append(std::to_string(position + 1)).append(1, '/').append(std::to_string(total_)).append("] ");
        progress_.append(fs::path(input).filename().string());
        ShowProgress();
    }

    void Written() { written_.fetch_add(1, std::memory_order_relaxed); }

    void Failed(const std::string& input, const std::string& text) {
        failed_.fetch_add(1, std::memory_order_relaxed);
        const std::lock_guard lock(mutex_);
        ClearProgress();
        std::fprintf(stderr, "%s: %s\n", input.c_str(), OneLine(text).c_str());
        ShowProgress();
    }

    // Clears the progress line and, on a terminal, sums up. Returns the exit status.
    int Finish() {
        const std::lock_guard lock(mutex_);
        ClearProgress();
        progress_.clear();
        if (terminal_)
            std::fprintf(stderr, "%zu files: %zu written, %zu failed\n", total_, written_.load(), failed_.load());
        return failed_.load() == 0 ? 0 : 1;
    }

private:
    void ShowProgress() {
        if (!terminal_ || progress_.empty()) return;
        // Kept within one terminal row: a wrapped line could not be redrawn with \r.
        std::fprintf(stderr, "\r%s\x1b[K", FitToColumns(progress_, TerminalColumns() - 1).c_str());
        std::fflush(stderr);
    }

    void ClearProgress() {
        if (!terminal_ || progress_.empty()) return;
        std::fputs("\r\x1b[K", stderr);
    }

    static std::size_t TerminalColumns() {
        struct winsize size {};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col;
        return 80;
    }

    // The text cut to at most columns characters, never inside a UTF-8 sequence.
    static std::string FitToColumns(const std::string& text, std::size_t columns) {
        std::size_t characters = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
            if (characters++ == columns) return text.substr(0, i);
        }
        return text;
    }

    const std::size_t total_;
    const bool terminal_;
    std::mutex mutex_;
    std::string progress_;
    std::atomic<std::size_t> written_{0}, failed_{0};
};

// One worker: takes the next file until none is left, and holds at most one
// picture at a time. Its own effect context, so that nothing an effect keeps
// between calls is shared with another worker.
void Work(const BatchOptions& options, const std::vector<PlannedFile>& plan, std::atomic<std::size_t>& next,
          BatchReport& report) {
    EffectContext context;
    context.picDir = options.picDir;
    context.scatterSeed = options.scatterSeed;
    for (;;) {
        const std::size_t index = next.fetch_add(1, std::memory_order_relaxed);
        if (index >= plan.size()) return;
        const PlannedFile& file = plan[index];
        report.Started(index, file.input);
        std::optional<std::string> failure = file.refusal;
        if (!failure) failure = RenderFile(context, file.input, file.output, file.format, options.calls, false,
                                               PictureLoadOptions{options.keepOrientation});
        if (failure)
            report.Failed(file.input, *failure);
        else
            report.Written();
    }
}

bool TakesValue(const std::string& option) {
    return option == "-j" || option == "-o" || option == "--pic-dir" || option == "--seed";
}

// True when a "--" ends the options (one that is an option's value does not).
bool HasSeparator(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") return true;
        if (TakesValue(args[i])) ++i;
    }
    return false;
}

}  // namespace

ParsedBatch ParseBatchArguments(const std::vector<std::string>& args, const std::string& defaultPicDir) {
    const bool separatorFollows = HasSeparator(args);
    BatchOptions options;
    options.threads = DefaultThreads();
    options.picDir = defaultPicDir;
    bool hasOutDir = false, hasSeparator = false;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            hasSeparator = true;
            ++i;
            break;
        }
        if (a == "--keep-orientation") {
            options.keepOrientation = true;
        } else if (TakesValue(a)) {
            if (i + 1 >= args.size()) return Problem(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "-j") {
                const auto threads = ParseInteger(value, 1, kMaxBatchThreads, false);
                if (!threads) return Problem("-j takes a whole number from 1 to " + std::to_string(kMaxBatchThreads));
                options.threads = static_cast<unsigned>(*threads);
            } else if (a == "-o") {
                if (value.empty()) return Problem("-o needs a folder");
                options.outDir = value;
                hasOutDir = true;
            } else if (a == "--pic-dir") {
                options.picDir = value;
            } else {
                const auto seed = ParseInteger(value, 0, 0xFFFFFFFFLL, true);
                if (!seed) return Problem("--seed takes a whole number from 0 to 4294967295");
                options.scatterSeed = static_cast<std::uint32_t>(*seed);
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return Problem("unknown option " + a);
        } else {
            const ParsedCall parsed = ParseEffectCall(a);
            // Without "--", a file among the calls is the likelier mistake.
            if (!parsed.call && !separatorFollows) return Problem("batch needs -- before the files ('" + a + "' is not a CALL)");
            if (!parsed.call) return Problem(parsed.error);
            options.calls.push_back(*parsed.call);
        }
    }
    if (!hasOutDir) return Problem("batch needs -o OUTDIR");
    if (!hasSeparator) return Problem("batch needs -- before the files");
    options.files.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (options.files.empty()) return Problem("batch needs at least one FILE after --");
    return {std::move(options), {}};
}

int RunBatch(const BatchOptions& options) {
    std::error_code error;
    fs::create_directories(options.outDir, error);
    std::error_code ignored;
    if (!fs::is_directory(options.outDir, ignored)) {
        const bool isSomethingElse = fs::exists(options.outDir, ignored);
        const std::string reason = isSomethingElse || !error ? std::make_error_code(std::errc::not_a_directory).message()
                                                              : error.message();
        std::fprintf(stderr, "Cannot create folder \"%s\". %s\n", options.outDir.c_str(), reason.c_str());
        return 1;
    }

    const std::vector<PlannedFile> plan = PlanOutputs(options);
    BatchReport report(plan.size());
    std::atomic<std::size_t> next{0};
    const std::size_t workers = std::min<std::size_t>(options.threads, plan.size());
    std::vector<std::thread> threads;
    // The calling thread is one of the workers. If the system refuses more
    // threads, the ones already running share the files.
    for (std::size_t t = 1; t < workers; ++t) {
        try {
            threads.emplace_back(Work, std::cref(options), std::cref(plan), std::ref(next), std::ref(report));
        } catch (const std::system_error&) {
            break;
        }
    }
    Work(options, plan, next, report);
    for (std::thread& thread : threads) thread.join();
    return report.Finish();
}

}  // namespace corvellin::fx
