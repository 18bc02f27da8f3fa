// The About box: version, web site, support address and a closing line over
// a picture drawn by the program.
#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace corvellin {

// Followed by the running version, which the update check compares too.
inline constexpr const char* kAboutVersionText = "Version: ";
inline constexpr const char* kAboutWebsiteText = "Visit our web site:";
inline constexpr const char* kAboutUrlText = "https://corvellin.org";
inline constexpr const char* kAboutEmailInfoText = "Support e-mail:";
inline constexpr const char* kAboutMailText = "support@corvellin.org";
inline constexpr const char* kAboutCopyrightText = "Made with care by the Corvellin team.";

// A label that reports a left click (the web address and the mail address).
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent);

    QLabel* ImageAbout = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelWebsite = nullptr;
    LinkLabel* LabelURL = nullptr;
    QLabel* LabelEmailinfo = nullptr;
    LinkLabel* LabelMail = nullptr;
    QLabel* LabelCopyright = nullptr;
    QPushButton* suiButton1 = nullptr;

    // The background picture, 456 by 426.
    static QImage AboutPicture();

public slots:
    void LabelURLClick();
    void LabelMailClick();
    void suiButton1Click();

private:
    void FormCreate();
};

}  // namespace corvellin
