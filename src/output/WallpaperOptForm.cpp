#include "WallpaperOptForm.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "DesktopWallpaper.h"
#include "platform/qt/CaptionFit.h"
#include "platform/qt/Dialogs.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"

namespace corvellin {

namespace {

// The design layout: 416 by 311; radio buttons at 48, 120 wide; the
// illustrations at 200, 49; the rule 24 from the left, 15 short of the right
// edge; OK and Cancel 75 wide, centred at a third and at two thirds plus.
constexpr int kDialogWidth = 416;
constexpr int kDialogHeight = 311;
constexpr int kRadioLeft = 48;
constexpr int kRadioWidth = 120;
constexpr int kPictureLeft = 200;
constexpr int kPictureTop = 49;
constexpr int kPictureWidth = 178;
constexpr int kBevelLeft = 24;
constexpr int kBevelWidth = 377;
constexpr int kButtonWidth = 75;
constexpr int kOkLeft = 102;
constexpr int kCancelLeft = 246;

// The left edge of a button of width w whose centre stands where the design's
// centre stood, in a dialog of width dialogWidth.
int CentredLeft(int designLeft, int w, int dialogWidth) {
    return ((2 * designLeft + kButtonWidth) * dialogWidth - kDialogWidth * w) / (2 * kDialogWidth);
}

// A small landscape: the sample wallpaper drawn inside each monitor.
void PaintSample(QPainter& p, const QRectF& r) {
    p.save();
    p.setClipRect(r);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x3f, 0x8f, 0xe0));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd2, 0x3f));
    const qreal s = std::min(r.width(), r.height());
    p.drawEllipse(QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.3), s * 0.14, s * 0.14);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left(), r.top() + r.height() * 0.7);
    hill.quadTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.45, r.left() + r.width() * 0.6,
                r.top() + r.height() * 0.68);
    hill.quadTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.8, r.right(), r.top() + r.height() * 0.62);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(0x3c, 0x9a, 0x4a));
    p.drawPath(hill);
    p.restore();
}

}  // namespace

QImage TWallpaperOptForm::Illustration(int style, qreal ratio) {
    const int height = style == 1 ? 161 : 160;
    // Painted in device pixels: ratio of them to each logical pixel.
    QImage image(static_cast<int>(std::nearbyint(kPictureWidth * ratio)), static_cast<int>(std::nearbyint(height * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Stand and foot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6b, 0x70, 0x78));
    p.drawRect(QRectF(77, 128, 24, 16));
    p.drawRoundedRect(QRectF(49, 142, 80, 10), 4, 4);
    // Bezel and screen.
    p.setBrush(QColor(0x2b, 0x2f, 0x36));
    p.drawRoundedRect(QRectF(6, 6, 166, 124), 7, 7);
    const QRectF screen(14, 14, 150, 104);
    p.fillRect(screen, QColor(0x1d, 0x4e, 0x7a));  // the desktop colour around a centred picture
    if (style == 0) {
        PaintSample(p, QRectF(screen.center().x() - 30, screen.center().y() - 20, 60, 40));
    } else if (style == 1) {
        const qreal tw = screen.width() / 4, th = screen.height() / 4;
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                PaintSample(p, QRectF(screen.left() + col * tw, screen.top() + row * th, tw, th));
    } else {
        PaintSample(p, screen);
    }
    // A highlight along the top of the glass and the power light.
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRect(QRectF(screen.left(), screen.top(), screen.width(), 10));
    p.setBrush(QColor(0x5f, 0xe0, 0x7a));
    p.drawEllipse(QPointF(160, 124), 1.6, 1.6);
    return image;
}

TWallpaperOptForm::TWallpaperOptForm(QWidget* parent, int languageIndex, const std::string& languageFile)
    : QDialog(parent), languageFile_(languageFile) {
    setObjectName("WallpaperOptForm");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kDialogWidth, kDialogHeight);
    pictureLeft_ = kPictureLeft;
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    // The application's style sheet paints dialogs; this one stays white.
    // On white the theme's radio rings would vanish: draw them explicitly.
    setStyleSheet(
        "QDialog#WallpaperOptForm { background: white; }"
        "QRadioButton::indicator { width: 12px; height: 12px; border: 1px solid #6f7b8a; border-radius: 7px;"
        " background: white; }"
        "QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,"
        " stop:0 #2d5d9f, stop:0.5 #2d5d9f, stop:0.6 white, stop:1 white); }");

    auto radio = [this](const char* name, const char* caption, int top) {
        auto* r = new QRadioButton(tr(caption), this);
        r->setObjectName(name);
        r->setGeometry(kRadioLeft, top, kRadioWidth, 21);
        return r;
    };
    RadioButtonCenter = radio("RadioButtonCenter", "Center", 80);
    RadioButtonTile = radio("RadioButtonTile", "Tile", 116);
    RadioButtonStretch = radio("RadioButtonStretch", "Stretch", 152);
    RadioButtonCenter->setChecked(true);
    connect(RadioButtonCenter, &QRadioButton::clicked, this, &TWallpaperOptForm::suitempRadioButtonCenterClick);
    connect(RadioButtonTile, &QRadioButton::clicked, this, &TWallpaperOptForm::suitempRadioButtonTileClick);
    connect(RadioButtonStretch, &QRadioButton::clicked, this, &TWallpaperOptForm::suitempRadioButtonStretchClick);

    auto image = [this](const char* name, int style) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        const QImage picture = Illustration(style, devicePixelRatioF());
        l->setPixmap(QPixmap::fromImage(picture));
        const QSize size = picture.deviceIndependentSize().toSize();
        l->setGeometry(kPictureLeft, kPictureTop, size.width(), size.height());
        l->hide();
        return l;
    };
    ImageCenter = image("ImageCenter", 0);
    ImageTile = image("ImageTile", 1);
    ImageStretch = image("ImageStretch", 2);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(kBevelLeft, 215, kBevelWidth, 18);

    BitBtnOK = new QPushButton(tr("&OK"), this);
    BitBtnOK->setObjectName("BitBtnOK");
    BitBtnOK->setGeometry(kOkLeft, 256, kButtonWidth, 25);
    BitBtnOK->setDefault(true);
    BitBtnCancel = new QPushButton(tr("&Cancel"), this);
    BitBtnCancel->setObjectName("BitBtnCancel");
    BitBtnCancel->setGeometry(kCancelLeft, 256, kButtonWidth, 25);
    connect(BitBtnOK, &QPushButton::clicked, this, &TWallpaperOptForm::suitempBitBtnOKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TWallpaperOptForm::suitempBitBtnCancelClick);

    FormCreate();
    LoadCaptions(languageIndex);
    if (parent) {
        // Centred on the window that opened it.
        const QRect owner = parent->window()->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
}

void TWallpaperOptForm::FormCreate() {
    Confirmed = false;
    suitempRadioButtonCenterClick();
}

int TWallpaperOptForm::Style() const {
    if (RadioButtonCenter->isChecked()) return 0;
    if (RadioButtonTile->isChecked()) return 1;
    return 2;
}

void TWallpaperOptForm::ShowIllustration(QLabel* shown) {
    for (QLabel* l : {ImageCenter, ImageTile, ImageStretch}) {
        if (l == shown) {
            l->move(pictureLeft_, kPictureTop);
            l->show();
        } else {
            l->hide();
        }
    }
}

void TWallpaperOptForm::suitempRadioButtonCenterClick() { ShowIllustration(ImageCenter); }
void TWallpaperOptForm::suitempRadioButtonTileClick() { ShowIllustration(ImageTile); }
void TWallpaperOptForm::suitempRadioButtonStretchClick() { ShowIllustration(ImageStretch); }

void TWallpaperOptForm::suitempBitBtnOKClick() {
    if (RadioButtonCenter->isChecked() || RadioButtonTile->isChecked() || RadioButtonStretch->isChecked()) {
        Confirmed = true;
        accept();
        return;
    }
    ShowInfoBox(this, Message);
}

void TWallpaperOptForm::suitempBitBtnCancelClick() { reject(); }

void TWallpaperOptForm::LoadCaptions(int languageIndex) {
    const IniFile file = languageIndex >= 0 ? LoadLanguageFile(languageFile_) : IniFile();
    texts_.clear();
    for (const CaptionKey& caption : CaptionKeys(CaptionWindow::WallpaperOpt))
        texts_.insert(QString::fromUtf8(caption.key), QString::fromStdString(Translate(file, caption.key, caption.builtIn)));
    setWindowTitle(Text("Desktop Wallpaper Option"));
    RadioButtonCenter->setText(Text("Center"));
    RadioButtonTile->setText(Text("Tile"));
    RadioButtonStretch->setText(Text("Stretch"));
    BitBtnOK->setText(Text("&OK"));
    BitBtnCancel->setText(Text("&Cancel"));
    Message = Text("Please select an option for wallpaper!");
    FitCaptions();
}

void TWallpaperOptForm::FitCaptions() {
    int radioWidth = kRadioWidth;
    for (QRadioButton* r : {RadioButtonCenter, RadioButtonTile, RadioButtonStretch})
        radioWidth = std::max(radioWidth, CaptionWidth(r, kRadioWidth));
    for (QRadioButton* r : {RadioButtonCenter, RadioButtonTile, RadioButtonStretch})
        r->resize(radioWidth, r->height());
    pictureLeft_ = std::max(kPictureLeft, kRadioLeft + radioWidth + (kPictureLeft - kRadioLeft - kRadioWidth));
    const int width = std::max(kDialogWidth, pictureLeft_ + kPictureWidth + (kDialogWidth - kPictureLeft - kPictureWidth));
    setFixedSize(width, kDialogHeight);
    for (QLabel* l : {ImageCenter, ImageTile, ImageStretch}) l->move(pictureLeft_, kPictureTop);
    Bevel1->resize(width - (kDialogWidth - kBevelWidth), Bevel1->height());
    const struct {
        QPushButton* button;
        int designLeft;
    } buttons[] = {{BitBtnOK, kOkLeft}, {BitBtnCancel, kCancelLeft}};
    for (const auto& b : buttons) {
        const int w = CaptionWidth(b.button, kButtonWidth);
        b.button->setGeometry(CentredLeft(b.designLeft, w, width), b.button->y(), w, b.button->height());
    }
}

QString TWallpaperOptForm::Text(const char* key) const {
    const QString name = QString::fromUtf8(key);
    return texts_.value(name, name);
}

QString TWallpaperOptForm::FailureText(const WallpaperFailure& failure) const {
    QString text = Text(failure.headline) + " " + Text(failure.reason);
    if (!failure.detail.empty()) text += "\n" + QString::fromStdString(failure.detail);
    return text;
}

}  // namespace corvellin
