// The update window: an animated checking message while the update
// information file is fetched, then the result in a message box.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <string>

#include "UpdateCheck.h"
#include "settings/CaptionCatalog.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace corvellin {

// The two frames of the checking animation, 125 x 117, drawn by our code.
QPixmap UpdateAnimationFrame(int frame);

class TUpdateForm : public QDialog {
    Q_OBJECT
public:
    // programDir ends with '/'; updateSource is the address of the update
    // information file.
    TUpdateForm(QWidget* parent, const std::string& programDir,
                const std::string& updateSource = kDefaultUpdateSource);
    ~TUpdateForm() override;

    // Sets every text of the window from languageFile, entry languageIndex of
    // the opener's language list (-1: the built-in English texts).
    void LoadCaptions(int languageIndex, const std::string& languageFile);

    // Time-outs and the body limit of the request (the defaults suit the
    // program; tests shorten them).
    FetchOptions Limits;

    // ---- Controls -------------------------------------------------------------
    QWidget* Panel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* LabelUpdate = nullptr;
    QLabel* LabelInfo = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QTimer* TimerUpdate = nullptr;
    QTimer* TimerStart = nullptr;

    // ---- State ----------------------------------------------------------------
    int DotCount = 0;
    QString CheckingText;
    std::string UpdateSource;
    std::string ProgramDir;
    bool Checking() const { return checking_; }

    // The texts of the window as loaded by LoadCaptions.
    struct Texts {
        QString checking = "Checking for new version";
        QString cancel = "&Cancel";
        QString caption = "Update";
        QString latest = "This is the lastest version!";
        QString thanks = "Thank you for your support!";
        QString latestIs = "The lastest version is";
        QString download = "do you want to download it?";
        QString findNew = "Find a new version";
        QString failConnect = "Fail to connect Internet.";
        QString tryLater = "Please try later!";
        QString failInfo = "Fail to get update informate";
        QString infoFrom = kUpdateInfoFromText;
        QString cannotOpen = kCannotOpenAddressText;
    };
    const Texts& texts() const { return texts_; }

public slots:
    void FormCreate();
    void TimerStartTimer();
    void TimerUpdateTimer();
    void suitempButtonCancelClick();
    // Fetches and compares, shows the outcome and closes the window (except
    // when "update.ini" cannot be written: the error shows and the window
    // stays open until Cancel).
    void CheckForUpdate();

protected:
    void reject() override;

private:
    UpdateCheckResult RunCheckKeepingWindowAlive(const FetchOptions& options);
    // LabelInfo: where the information comes from, in the current language.
    void ShowInfoLine();
    // Cancel widens to its caption, keeping its right edge.
    void FitCaptions();

    Texts texts_;
    bool checking_ = false;
    bool cancelled_ = false;
    std::atomic<bool> abandon_{false};
};

}  // namespace corvellin
