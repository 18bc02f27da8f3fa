// Section 2: a category button's ten thumbnails in the editor window, on Qt's
// offscreen platform. Every measurement is its own process, so "first" really
// is the first time this category's masks are read; "again" switches to
// another category and back, as a user browsing the categories does.
#include <QApplication>
#include <QEvent>
#include <QPushButton>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "Measure.h"
#include "Process.h"
#include "Sections.h"
#include "app/MainForm.h"
#include "effects/Catalogue.h"
#include "SilentSeam.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Theme.h"

namespace corvellin::report {
namespace {

constexpr double kFirstLimitMs = 300, kAgainLimitMs = 100;
constexpr int kAgainSwitches = 3;
constexpr int kStartCategory = 1;  // the category the window shows when it opens

using bench::SilentSeam;

class PaintProbe : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The window's program folder: the built pic/ and Languages/ through links,
// so whatever the window writes stays in the report's own folder.
std::string MakeProgramFolder(const Paths& paths) {
    namespace fs = std::filesystem;
    const std::string dir = paths.workDir + "program/";
    fs::create_directories(dir);
    for (const char* name : {"pic", "Languages", "help.html"}) {
        const fs::path target = paths.binDir + "/" + name;
        const fs::path link = dir + name;
        std::error_code error;
        if (fs::is_symlink(link, error) || fs::exists(link, error)) continue;
        if (fs::exists(target)) fs::create_symlink(target, link);
    }
    return dir;
}

}  // namespace

int ThumbnailChild(const std::string& programDir, int category) {
    static int argc = 1;
    static char name[] = "corvellin-bench-report";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the process ends with _Exit once the numbers are out.
    auto* app = new QApplication(argc, argv);
    ApplyTheme(*app);
    SilentSeam seam;
    SetDialogSeam(&seam);
    // The window renders Preset while it starts, so Preset's first time is
    // only seen as part of the start-up: new window to its first paint.
    PaintProbe probe;
    TMainForm* form = nullptr;
    const double startUp = TimeMs([&] {
        form = new TMainForm(programDir);
        form->ImageScreen->installEventFilter(&probe);
        form->show();
        for (int i = 0; i < 1000 && probe.paints == 0; ++i) QCoreApplication::processEvents();
    });
    QPushButton* button = form->CategoryButton(category);
    QPushButton* other = form->CategoryButton(category == 2 ? 4 : 2);  // Color and Art read no masks
    if (button == nullptr || other == nullptr) {
        std::fprintf(stderr, "category %d has no button\n", category);
        std::_Exit(1);
    }
    const double first = TimeMs([&] { button->click(); });
    const bool firstShown = form->CurrentCategory == category;
    std::vector<double> again;
    for (int i = 0; i < kAgainSwitches; ++i) {
        other->click();
        again.push_back(TimeMs([&] { button->click(); }));
    }
    if (!firstShown || form->CurrentCategory != category || seam.boxes > 0) {
        std::fprintf(stderr, "category %d did not render (%d message boxes)\n", category, seam.boxes);
        std::_Exit(1);
    }
    std::printf("%.3f %.3f\n", category == kStartCategory ? startUp : first, Median(again));
    std::fflush(stdout);
    std::_Exit(0);
}

void ThumbnailRows(const Paths& paths, int processes, Table& table) {
    const std::string programDir = MakeProgramFolder(paths);
    ProcessSetup setup;
    setup.environment = {{"QT_QPA_PLATFORM", "offscreen"},
                         {"HOME", paths.workDir + "home"},
                         {"XDG_CONFIG_HOME", paths.workDir + "home/config"},
                         {"XDG_DATA_HOME", paths.workDir + "home/data"},
                         {"XDG_CACHE_HOME", paths.workDir + "home/cache"},
                         {"TMPDIR", paths.workDir + "tmp"}};
    setup.stdoutPath = paths.workDir + "thumbnail.out";
    setup.stderrPath = paths.workDir + "thumbnail.err";
    std::filesystem::create_directories(paths.workDir + "home");
    std::filesystem::create_directories(paths.workDir + "tmp");

    std::vector<std::vector<double>> first(kCategoryCount + 1), again(kCategoryCount + 1);
    std::vector<std::string> failures(kCategoryCount + 1);
    // Round after round over all categories, so a change of load spreads over them all.
    for (int round = 0; round < processes; ++round) {
        for (int category = 1; category <= kCategoryCount; ++category) {
            const ProcessRun run = RunProcess(
                {paths.self, "--thumbnail-child", programDir, std::to_string(category)}, setup);
            std::istringstream out(ReadText(setup.stdoutPath));
            double f = 0, a = 0;
            if (!run.ok || !(out >> f >> a)) {
                failures[static_cast<std::size_t>(category)] = run.ok ? "no numbers from the child" : run.failure;
                continue;
            }
            first[static_cast<std::size_t>(category)].push_back(f);
            again[static_cast<std::size_t>(category)].push_back(a);
        }
    }
    for (int category = 1; category <= kCategoryCount; ++category) {
        const auto c = static_cast<std::size_t>(category);
        const std::string name = std::string("thumbnails ") + FindCategory(category)->name;
        if (first[c].empty()) {
            table.Add({"2", name, "failed", "-", "-", "-", "NO", failures[c]});
            continue;
        }
        const double f = Median(first[c]), a = Median(again[c]);
        const std::string runs = std::to_string(first[c].size()) + " processes";
        const std::string firstNote = category == kStartCategory ? runs + ", start-up: new window to first paint, Preset rendered inside" : runs;
        table.Add({"2", name + ", first", Fixed(f, 1) + " ms", "-", "-", "< " + Fixed(kFirstLimitMs, 0) + " ms",
                   Meets(f < kFirstLimitMs), firstNote});
        table.Add({"2", name + ", again", Fixed(a, 1) + " ms", "-", "-", "< " + Fixed(kAgainLimitMs, 0) + " ms",
                   Meets(a < kAgainLimitMs), runs + ", median of " + std::to_string(kAgainSwitches) + " switches back"});
    }
}

}  // namespace corvellin::report
