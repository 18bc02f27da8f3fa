// The editor window: start-up to the first painted window, and one category
// switch (ten thumbnails rendered from the display-size working picture) for
// every mask category. Runs on Qt's offscreen platform; medians of 5 runs.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <random>
#include <set>

#include "app/MainForm.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "SilentSeam.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Theme.h"

namespace {

using namespace corvellin;

constexpr int kMaskCategories[] = {1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Created once and never destroyed: a QApplication torn down by the exit
// handlers, after Qt's own statics, crashes the program on its way out.
QApplication& App() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "corvellin-bench";
        static char* argv[] = {name, nullptr};
        auto* created = new QApplication(argc, argv);
        ApplyTheme(*created);
        return created;
    }();
    return *app;
}

using bench::SilentSeam;

Picture Noise(int width, int height, std::uint32_t seed) {
    Picture p(width, height);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < p.byteCount(); ++i) p.data()[i] = static_cast<std::uint8_t>(random());
    return p;
}

std::set<int> generatedCategories;

// The program folder: the mask art of bin/pic where it is complete, generated
// masks of the usual size (and a generated default picture) where it is not.
const std::string& ProgramFolder() {
    static const std::string folder = [] {
        const std::string art = std::string(CORVELLIN_BIN_DIR) + "/pic/";
        char pattern[] = "/tmp/corvellin-bench-XXXXXX";
        const std::string dir = std::string(::mkdtemp(pattern)) + "/";
        std::filesystem::create_directories(dir + "pic");
        if (FileExists(art + "default.jpg"))
            std::filesystem::create_symlink(art + "default.jpg", dir + "pic/default.jpg");
        else
            WriteFileAtomically(dir + "pic/default.jpg", EncodeJpeg(Noise(1600, 1067, 1), 90));
        for (int c : kMaskCategories) {
            bool complete = true;
            for (int n = 1; n <= 10 && complete; ++n)
                complete = FileExists(MaskFilePath(art, c, n)) && (c != 12 || FileExists(FrameMaskFilePath(art, c, n)));
            const std::string target = dir + "pic/" + std::to_string(c);
            if (complete) {
                std::filesystem::create_directory_symlink(art + std::to_string(c), target);
                continue;
            }
            generatedCategories.insert(c);
            std::filesystem::create_directories(target);
            for (int n = 1; n <= 10; ++n) {
                const auto mask = PackMaskBytes(EncodeJpeg(Noise(400, 267, static_cast<std::uint32_t>(c * 16 + n)), 90));
                WriteFileAtomically(MaskFilePath(dir + "pic", c, n), mask);
                if (c == 12) WriteFileAtomically(FrameMaskFilePath(dir + "pic", c, n), mask);
            }
        }
        return dir;
    }();
    return folder;
}

// Counts paint events of the source picture, the last control start-up fills.
class PaintProbe : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void BM_StartUpToFirstPaint(benchmark::State& state) {
    App();
    SilentSeam seam;
    SetDialogSeam(&seam);
    const std::string folder = ProgramFolder();
    for (auto _ : state) {
        auto form = std::make_unique<TMainForm>(folder);
        PaintProbe probe;
        form->ImageScreen->installEventFilter(&probe);
        form->show();
        for (int i = 0; i < 1000 && probe.paints == 0; ++i) QCoreApplication::processEvents();
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    SetDialogSeam(nullptr);
    if (seam.boxes > 0) state.SkipWithError("a message box was shown during start-up");
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_CategorySwitch(benchmark::State& state) {
    App();
    SilentSeam seam;
    SetDialogSeam(&seam);
    TMainForm form(ProgramFolder());
    QPushButton* button = form.CategoryButton(static_cast<int>(state.range(0)));
    for (auto _ : state) button->click();
    SetDialogSeam(nullptr);
    if (seam.boxes > 0 || form.CurrentCategory != state.range(0)) state.SkipWithError("the category did not render");
    state.SetLabel(std::string(FindCategory(static_cast<int>(state.range(0)))->name) +
                   (generatedCategories.count(static_cast<int>(state.range(0))) ? " (generated masks)" : " (bin/pic)"));
}
BENCHMARK(BM_CategorySwitch)
    ->DenseRange(5, 15)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
