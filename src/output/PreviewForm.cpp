#include "PreviewForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>
#include <cmath>

#include "platform/qt/CaptionFit.h"
#include "platform/qt/PictureImage.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"

namespace corvellin {

void PreviewImage::paintEvent(QPaintEvent*) {
    // The picture already has the control's size: a plain copy, no smoothing.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPoint(0, 0), image_);
}

TPreviewForm::TPreviewForm(QWidget* parent, int languageIndex, const std::string& languageFile)
    : QDialog(parent), languageFile_(languageFile) {
    setObjectName("PreviewForm");
    setWindowTitle(tr("Preview"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setStyleSheet("QDialog#PreviewForm { background: black; }");

    ImagePreview = new PreviewImage(this);
    ImagePreview->setObjectName("ImagePreview");
    // Mouse presses on the picture reach the window, which closes.
    ImagePreview->setAttribute(Qt::WA_TransparentForMouseEvents, true);

    auto label = [this](const char* name, int left, int top, const QColor& colour) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setGeometry(left, top, 303, 14);
        QFont font("Tahoma");
        font.setBold(true);
        font.setPixelSize(12);
        l->setFont(font);
        l->setStyleSheet(QString("QLabel { color: %1; background: transparent; }").arg(colour.name()));
        l->setAttribute(Qt::WA_TransparentForMouseEvents, true);
        return l;
    };
    Label1 = label("Label1", 8, 8, QColor(0x80, 0x80, 0x80));
    Label2 = label("Label2", 7, 7, Qt::white);
    FormCreate(languageIndex);
}

TPreviewForm::~TPreviewForm() { FormDestroy(); }

void TPreviewForm::FormCreate(int languageIndex) {
    ShownPicture = Picture();
    LoadCaptions(languageIndex);
}

void TPreviewForm::FormDestroy() { ShownPicture = Picture(); }

void TPreviewForm::LoadCaptions(int languageIndex) {
    const IniFile file = languageIndex >= 0 ? LoadLanguageFile(languageFile_) : IniFile();
    auto text = [&](const char* key) { return QString::fromStdString(Translate(file, key, key)); };
    setWindowTitle(text("Preview"));
    Label1->setText(text("DClick left mouse button or press 'Esc' key to close"));
    Label2->setText(Label1->text());
    FitHint();
}

void TPreviewForm::FitHint() {
    // 303 by 14 as laid out, wider where a font or a translation needs it; on
    // a screen too narrow for one line the hint wraps within the screen.
    const int room = ScreenArea().width() - 2 * Label1->x();
    for (QLabel* l : {Label1, Label2}) {
        l->setWordWrap(false);
        int width = std::max(303, l->sizeHint().width());
        int height = std::max(14, TextLineHeight(l->text(), l->font()));
        if (width > room) {
            l->setWordWrap(true);
            width = std::max(1, room);
            height = std::max(height, l->heightForWidth(width));
        }
        l->resize(width, height);
    }
}

QRect TPreviewForm::ScreenArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

void TPreviewForm::FitToScreen() {
    // Fitted to the screen's device pixels and drawn 1:1 there; at ratio 1
    // those are its logical pixels.
    const QRect area = ScreenArea();
    const qreal ratio = devicePixelRatioF();
    const auto device = [ratio](int logical) { return static_cast<int>(std::nearbyint(logical * ratio)); };
    const auto logical = [ratio](int pixels) { return static_cast<int>(std::nearbyint(pixels / ratio)); };
    const ScreenRect r =
        corvellin::FitToScreen(ShownPicture.width(), ShownPicture.height(), device(area.width()), device(area.height()));
    ImagePreview->setGeometry(logical(r.left), logical(r.top), static_cast<int>(std::ceil(r.width / ratio - 1e-9)),
                              static_cast<int>(std::ceil(r.height / ratio - 1e-9)));
    QImage shown = PictureToDisplayImage(StretchNearest(ShownPicture, r.width, r.height), ShownColorSpace);
    shown.setDevicePixelRatio(ratio);
    ImagePreview->setImage(std::move(shown));
    FitHint();
    Label1->raise();
    Label2->raise();
}

void TPreviewForm::FormShow() {
    // Borderless over the whole primary screen, and full screen in the window
    // system's terms too: a Wayland compositor places a plain window where it
    // likes and keeps its panels above it, whatever size the window asks for.
    setGeometry(ScreenArea());
    setWindowState(windowState() | Qt::WindowFullScreen);
    FitToScreen();
}

void TPreviewForm::showEvent(QShowEvent* event) {
    // Once per showing, not again on a restore after minimising.
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TPreviewForm::FormKeyPress(int key) {
    if (key == 27) close();
}

void TPreviewForm::keyPressEvent(QKeyEvent* event) {
    // Every key reaches the window first; only Esc does anything.
    const QString text = event->text();
    const int character = event->key() == Qt::Key_Escape ? 27 : (text.size() == 1 ? text.at(0).unicode() : 0);
    FormKeyPress(character);
    event->accept();
}

void TPreviewForm::ImagePreviewMouseDown() { close(); }

void TPreviewForm::mousePressEvent(QMouseEvent* event) {
    ImagePreviewMouseDown();
    event->accept();
}

}  // namespace corvellin
