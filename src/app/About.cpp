#include "About.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QUrl>

#include "platform/qt/Shell.h"
#include "update/UpdateCheck.h"

namespace corvellin {

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

QImage TAboutForm::AboutPicture() {
    QImage image(456, 426, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // An evening sky over layered hills, fading into a calm panel for the texts.
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(0x24, 0x3b, 0x6b));
    sky.setColorAt(0.6, QColor(0xd9, 0x7a, 0x4e));
    sky.setColorAt(1, QColor(0xf4, 0xc0, 0x7a));
    p.fillRect(QRect(0, 0, 456, 170), sky);
    QRadialGradient sun(QPointF(330, 140), 60);
    sun.setColorAt(0, QColor(255, 244, 200));
    sun.setColorAt(1, QColor(255, 244, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(330, 140), 60, 60);
    const QColor hills[] = {QColor(0x6e, 0x4a, 0x6b), QColor(0x45, 0x37, 0x5c), QColor(0x2a, 0x27, 0x40)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath hill;
        const qreal base = 120 + i * 18;
        hill.moveTo(0, 175);
        hill.lineTo(0, base);
        hill.cubicTo(120 + i * 40, base - 40, 260 - i * 30, base + 30, 456, base - 10 + i * 8);
        hill.lineTo(456, 175);
        hill.closeSubpath();
        p.setBrush(hills[i]);
        p.drawPath(hill);
    }
    QLinearGradient panel(0, 170, 0, 426);
    panel.setColorAt(0, QColor(0xfb, 0xf8, 0xf3));
    panel.setColorAt(1, QColor(0xe9, 0xe4, 0xdc));
    p.fillRect(QRect(0, 170, 456, 256), panel);
    p.setPen(QPen(QColor(0xd0, 0xc7, 0xb9), 1));
    p.drawLine(24, 290, 432, 290);
    // The product name on the sky.
    QFont title("Sans Serif");
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRect(26, 42, 420, 40), Qt::AlignLeft | Qt::AlignVCenter, "Corvellin Photo Editor");
    p.setPen(Qt::white);
    p.drawText(QRect(24, 40, 420, 40), Qt::AlignLeft | Qt::AlignVCenter, "Corvellin Photo Editor");
    QFont subtitle("Sans Serif");
    subtitle.setPixelSize(14);
    p.setFont(subtitle);
    p.setPen(QColor(255, 255, 255, 220));
    p.drawText(QRect(26, 80, 420, 22), Qt::AlignLeft | Qt::AlignVCenter, "Fifteen kinds of effects, ten looks each");
    p.end();
    return image;
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutForm");
    setWindowTitle("About...");
    // A fixed-size box whose title bar has no buttons: the OK button closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(456, 426);

    ImageAbout = new QLabel(this);
    ImageAbout->setObjectName("ImageAbout");
    ImageAbout->setGeometry(0, 0, 456, 426);
    ImageAbout->setPixmap(QPixmap::fromImage(AboutPicture()));

    auto label = [this](const char* name, int left, int top) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->move(left, top);
        return l;
    };
    auto link = [this](const char* name, int left, int top) {
        auto* l = new LinkLabel(this);
        l->setObjectName(name);
        l->move(left, top);
        l->setCursor(Qt::PointingHandCursor);
        l->setStyleSheet("QLabel { color: blue; text-decoration: underline; background: transparent; }");
        return l;
    };
    LabelVersion = label("LabelVersion", 200, 183);
    LabelWebsite = label("LabelWebsite", 168, 302);
    LabelURL = link("LabelURL", 325, 302);
    LabelEmailinfo = label("LabelEmailinfo", 168, 328);
    LabelMail = link("LabelMail", 325, 328);
    LabelCopyright = label("LabelCopyright", 168, 402);
    LabelCopyright->setStyleSheet("QLabel { color: grey; background: transparent; }");
    for (QLabel* l : {LabelVersion, LabelWebsite, LabelEmailinfo})
        l->setStyleSheet("QLabel { color: #202020; background: transparent; }");
    connect(LabelURL, &LinkLabel::clicked, this, &TAboutForm::LabelURLClick);
    connect(LabelMail, &LinkLabel::clicked, this, &TAboutForm::LabelMailClick);

    suiButton1 = new QPushButton("&OK", this);
    suiButton1->setObjectName("suiButton1");
    suiButton1->setGeometry(357, 360, 80, 27);
    suiButton1->setDefault(true);
    connect(suiButton1, &QPushButton::clicked, this, &TAboutForm::suiButton1Click);

    FormCreate();
    if (parent) {
        const QRect owner = parent->window()->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
}

void TAboutForm::FormCreate() {
    QFont small = font();
    small.setPixelSize(11);
    for (QLabel* l : {LabelVersion, LabelWebsite, static_cast<QLabel*>(LabelURL), LabelEmailinfo,
                      static_cast<QLabel*>(LabelMail), LabelCopyright})
        l->setFont(small);
    LabelVersion->setText(QString::fromLatin1(kAboutVersionText) + QString::fromLatin1(kRunningVersion));
    LabelWebsite->setText(kAboutWebsiteText);
    LabelURL->setText(kAboutUrlText);
    LabelEmailinfo->setText(kAboutEmailInfoText);
    LabelMail->setText(kAboutMailText);
    LabelCopyright->setText(kAboutCopyrightText);
    for (QLabel* l : {LabelVersion, LabelWebsite, static_cast<QLabel*>(LabelURL), LabelEmailinfo,
                      static_cast<QLabel*>(LabelMail), LabelCopyright})
        l->adjustSize();
}

void TAboutForm::LabelURLClick() { ShellOpen(this, QUrl(LabelURL->text())); }

void TAboutForm::LabelMailClick() { ShellOpen(this, QUrl("mailto:" + LabelMail->text())); }

void TAboutForm::suiButton1Click() { accept(); }

}  // namespace corvellin
