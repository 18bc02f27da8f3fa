// The wallpaper option dialog: centred, tiled or stretched, each choice with a
// picture of a monitor showing it.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace corvellin {

class WallpaperFailure;

class TWallpaperOptForm : public QDialog {
    Q_OBJECT
public:
    // languageIndex -1 keeps the built-in texts; otherwise languageFile is the
    // language file it names.
    TWallpaperOptForm(QWidget* parent, int languageIndex, const std::string& languageFile);

    bool Confirmed = false;
    QString Message;  // "Please select an option for wallpaper!" or its translation

    QRadioButton* RadioButtonCenter = nullptr;
    QRadioButton* RadioButtonTile = nullptr;
    QRadioButton* RadioButtonStretch = nullptr;
    QLabel* ImageCenter = nullptr;
    QLabel* ImageTile = nullptr;
    QLabel* ImageStretch = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    // 0 when "Center" is checked, else 1 when "Tile" is, else 2.
    int Style() const;
    void LoadCaptions(int languageIndex);

    // Any of the dialog's catalogue texts in its language, the command's
    // outcome texts among them.
    QString Text(const char* key) const;
    // The error box text of a wallpaper that was not set: headline, reason
    // and, on a line of its own, the untranslated name of what failed.
    QString FailureText(const WallpaperFailure& failure) const;

    // The monitor pictures of the three styles (0, 1, 2), painted at a device
    // pixel ratio (the image holds that ratio; its logical size is the same).
    static QImage Illustration(int style, qreal ratio = 1.0);

public slots:
    void suitempRadioButtonCenterClick();
    void suitempRadioButtonTileClick();
    void suitempRadioButtonStretchClick();
    void suitempBitBtnOKClick();
    void suitempBitBtnCancelClick();

private:
    void FormCreate();
    void ShowIllustration(QLabel* shown);
    // Widens the radio buttons to their captions, moves the pictures right of
    // them and widens the dialog when they need it; OK and Cancel keep their centres.
    void FitCaptions();

    std::string languageFile_;
    QHash<QString, QString> texts_;
    int pictureLeft_ = 0;  // where the illustrations stand
};

}  // namespace corvellin
