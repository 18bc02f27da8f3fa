// The main window's output, Help and Tools commands: Set Wallpaper, the
// full-screen preview, Help Contents, About and the companion program.
#include <QAction>
#include <QPushButton>
#include <QUrl>
#include <exception>

#include "About.h"
#include "CommandBoundary.h"
#include "MainForm.h"
#include "ToolsTarget.h"
#include "output/DesktopWallpaper.h"
#include "output/PreviewForm.h"
#include "output/WallpaperOptForm.h"
#include "picture/PictureFile.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/PictureImage.h"
#include "platform/qt/Shell.h"
#include "settings/CaptionCatalog.h"

namespace corvellin {

namespace {

inline constexpr const char* kHelpFileName = "help.html";

}  // namespace

void TMainForm::ConnectOutputCommands() {
    connect(suiButtonWallPaper, &QPushButton::clicked, this, &TMainForm::suiButtonWallPaperClick);
    connect(MenuSetWallpaper, &QAction::triggered, this, &TMainForm::suiButtonWallPaperClick);
    connect(MenuPreview, &QAction::triggered, this, &TMainForm::MenuPreviewClick);
    connect(ImagePreview, &ImageView::doubleClicked, this, &TMainForm::MenuPreviewClick);
    connect(MenuHelpContent, &QAction::triggered, this, &TMainForm::MenuHelpContentClick);
    connect(MenuAbout, &QAction::triggered, this, &TMainForm::MenuAboutClick);
    connect(MenuVelloranEditor, &QAction::triggered, this, &TMainForm::MenuToolsClick);
}

void TMainForm::FindToolsTarget() { ToolsTarget = corvellin::FindToolsTarget(DesktopDirsFromEnvironment()); }

std::string TMainForm::WallpaperFilePath() const { return WallpaperFolder(ProgramDir) + kWallpaperFileName; }

void TMainForm::suiButtonWallPaperClick() {
    RunCommand(this, Busy(), [&] {
        if (FullSizePicture.empty()) {
            ShowInfoBox(this, Caption(kNoWallpaperPictureText));
            return;
        }
        TWallpaperOptForm dialog(this, LanguageIndex, LanguageFilePath(LanguageIndex));
        RunModal(dialog);
        if (!dialog.Confirmed) return;
        // A path the desktop cannot take is refused before anything is written.
        const std::string path = WallpaperFilePath();
        CheckWallpaperPathLength(path);
        const Picture output = ReplayHistory(suiProgressBar1, false);
        SavePictureFile(path, output, PictureFormat::Bmp);
        WallpaperOutcome outcome = WallpaperOutcome::Set;
        try {
            outcome = SetDesktopWallpaper(path, dialog.Style());
        } catch (const WallpaperFailure& failure) {
            ShowErrorBox(this, dialog.FailureText(failure));
            return;
        }
        // Success is silent; a cancelled request says that nothing changed.
        if (outcome == WallpaperOutcome::Cancelled) ShowInfoBox(this, dialog.Text(kWallpaperCancelledText));
    });
}

void TMainForm::MenuPreviewClick() {
    RunCommand(this, Busy(), [&] {
        if (FullSizePicture.empty()) {
            ShowInfoBox(this, Caption(kNoPreviewPictureText));
            return;
        }
        // A replay error ends the command here, before any window opens.
        Picture shown = ReplayHistory(suiProgressBar1, true);
        TPreviewForm form(this, LanguageIndex, LanguageFilePath(LanguageIndex));
        form.ShownPicture = std::move(shown);
        form.ShownColorSpace = DisplayColorSpace(FullSizeMetadata.icc);
        RunModal(form);
    });
}

void TMainForm::MenuHelpContentClick() {
    RunCommand(this, Busy(), [&] {
        // The shell's answer is not examined: a missing viewer or file shows nothing.
        ShellOpen(this, QUrl::fromLocalFile(QString::fromStdString(ProgramDir + kHelpFileName)));
    });
}

void TMainForm::MenuAboutClick() {
    RunCommand(this, Busy(), [&] {
        TAboutForm box(this);
        RunModal(box);
    });
}

void TMainForm::MenuToolsClick() {
    RunCommand(this, Busy(), [&] { ShellOpenTarget(this, QString::fromStdString(ToolsTarget)); });
}

}  // namespace corvellin
