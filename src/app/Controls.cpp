#include "Controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "Fit.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/PictureImage.h"

namespace corvellin {

// ---- ImageView -------------------------------------------------------------

ImageView::ImageView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void ImageView::setPicture(const Picture& picture) {
    picture_ = picture;
    imageStale_ = true;
    update();
}

void ImageView::setPicture(Picture&& picture) {
    picture_ = std::move(picture);
    imageStale_ = true;
    update();
}

void ImageView::setColorSpace(const QColorSpace& colorSpace) {
    if (colorSpace == colorSpace_) return;
    colorSpace_ = colorSpace;
    imageStale_ = true;
    update();
}

void ImageView::setPixelRatio(double ratio) {
    if (!(ratio > 0) || ratio == pixelRatio_) return;
    pixelRatio_ = ratio;
    imageStale_ = true;
    update();
}

void ImageView::paintEvent(QPaintEvent*) {
    if (imageStale_) {
        image_ = PictureToDisplayImage(picture_, colorSpace_);
        image_.setDevicePixelRatio(pixelRatio_);
        imageStale_ = false;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!image_.isNull()) {
        if (pixelRatio_ == 1.0) painter.drawImage(rect(), image_);
        else painter.drawImage(QPointF(0, 0), image_);
    }
    if (hasFocus()) {
        // The keyboard focus: a ring in the highlight colour with a white line
        // inside it, visible on dark and on light pictures alike.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
    }
}

void ImageView::keyPressEvent(QKeyEvent* event) {
    if (!Pressable) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!event->isAutoRepeat()) click();
            event->accept();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            emit moveRequested(this, event->key());
            event->accept();
            return;
        default: QWidget::keyPressEvent(event);
    }
}

void ImageView::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void ImageView::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QWidget::mousePressEvent(event);
}

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(this);
    QWidget::mouseReleaseEvent(event);
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(this);
    QWidget::mouseDoubleClickEvent(event);
}

// ---- ColorBox --------------------------------------------------------------

namespace {

struct NamedColour {
    const char* name;
    std::uint32_t colour;  // 0x00BBGGRR
};

constexpr NamedColour kColours[] = {
    {"Black", 0x000000},   {"Maroon", 0x000080},      {"Green", 0x008000},    {"Olive", 0x008080},
    {"Navy", 0x800000},    {"Purple", 0x800080},      {"Teal", 0x808000},     {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},         {"Lime", 0x00FF00},     {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},     {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
};

QColor ToQColor(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

// A 14 x 12 swatch, painted in the device pixels of the screen.
QIcon Swatch(std::uint32_t colour, qreal ratio) {
    QPixmap pixmap(DevicePixels(14, ratio), DevicePixels(12, ratio));
    pixmap.fill(ToQColor(colour));
    {
        QPainter painter(&pixmap);
        const int line = std::max(1, DevicePixels(1, ratio));
        painter.fillRect(0, 0, pixmap.width(), line, QColor(0x60, 0x68, 0x72));
        painter.fillRect(0, pixmap.height() - line, pixmap.width(), line, QColor(0x60, 0x68, 0x72));
        painter.fillRect(0, 0, line, pixmap.height(), QColor(0x60, 0x68, 0x72));
        painter.fillRect(pixmap.width() - line, 0, line, pixmap.height(), QColor(0x60, 0x68, 0x72));
    }
    pixmap.setDevicePixelRatio(ratio);
    return QIcon(pixmap);
}

}  // namespace

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(14, 12));
    addItem(Swatch(custom_, devicePixelRatioF()), tr("Custom..."), QVariant::fromValue<uint>(custom_));
    for (const NamedColour& c : kColours)
        addItem(Swatch(c.colour, devicePixelRatioF()), tr(c.name), QVariant::fromValue<uint>(c.colour));
    setMaxVisibleItems(count());
    connect(this, &QComboBox::activated, this, &ColorBox::chooseItem);
}

std::uint32_t ColorBox::selectedColour() const {
    return currentIndex() < 0 ? 0u : static_cast<std::uint32_t>(currentData().toUInt());
}

void ColorBox::setCustomColour(std::uint32_t colour) {
    custom_ = colour;
    setItemIcon(0, Swatch(colour, devicePixelRatioF()));
    setItemData(0, QVariant::fromValue<uint>(colour));
}

void ColorBox::selectColour(std::uint32_t colour) {
    const QSignalBlocker blocker(this);
    int index = -1;
    for (int i = 1; i < count(); ++i)
        if (itemData(i).toUInt() == colour) index = i;
    if (index < 0) {
        setCustomColour(colour);
        index = 0;
    }
    setCurrentIndex(index);
    previousIndex_ = index;
}

void ColorBox::chooseItem(int index) {
    if (index < 0 || index >= count()) return;
    if (index == 0) {
        const std::optional<std::uint32_t> chosen = Dialogs().chooseColour(window(), selectedColour());
        if (!chosen) {
            const QSignalBlocker blocker(this);
            setCurrentIndex(previousIndex_);
            return;
        }
        setCustomColour(*chosen);
    }
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
    previousIndex_ = index;
    emit colourChanged();
}

// ---- ProgressBar -----------------------------------------------------------

ValueBox::ValueBox(QWidget* parent) : QLineEdit(parent) {}

bool ValueBox::event(QEvent* event) {
    // Not claiming the key lets the shortcut with the same keys run.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void ValueBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {}

void ProgressBar::setMinimum(int value) {
    minimum_ = value;
    update();
}

void ProgressBar::setMaximum(int value) {
    maximum_ = value;
    update();
}

void ProgressBar::setPosition(int value) {
    position_ = value;
    positions_.push_back(value);
    update();
}

void ProgressBar::setVisible(bool visible) {
    if (visible && isHidden()) positions_.assign(1, position_);
    QWidget::setVisible(visible);
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QColor(0xaa, 0xb2, 0xbd));
    painter.setBrush(QColor(0xff, 0xff, 0xff));
    painter.drawRoundedRect(frame, 3, 3);
    // An empty range (maximum not above minimum) counts as complete.
    const double span = maximum_ - minimum_;
    const double fraction = span <= 0 ? 1.0 : std::clamp((position_ - minimum_) / span, 0.0, 1.0);
    if (fraction > 0) {
        QRectF chunk = frame.adjusted(2, 2, -2, -2);
        chunk.setWidth(chunk.width() * fraction);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x4a, 0x78, 0xb0));
        painter.drawRoundedRect(chunk, 2, 2);
    }
    painter.setPen(QColor(0x1f, 0x26, 0x30));
    painter.drawText(rect(), Qt::AlignCenter, QString::number(static_cast<int>(fraction * 100)) + "%");
}

// ---- Accessibility -----------------------------------------------------------

namespace {

class ImageViewAccessible : public QAccessibleWidget {
public:
    explicit ImageViewAccessible(ImageView* view)
        : QAccessibleWidget(view, view->Pressable ? QAccessible::Button : QAccessible::Graphic) {}

    QAccessible::Role role() const override { return view()->Pressable ? QAccessible::Button : QAccessible::Graphic; }
    QStringList actionNames() const override {
        return role() == QAccessible::Button ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && role() == QAccessible::Button) view()->click();
    }

private:
    ImageView* view() const { return static_cast<ImageView*>(object()); }
};

class ProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressBarAccessible(ProgressBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return bar()->position(); }
    void setCurrentValue(const QVariant&) override {}  // shows progress; the user does not set it
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    ProgressBar* bar() const { return static_cast<ProgressBar*>(object()); }
};

QAccessibleInterface* ControlAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ImageView::staticMetaObject.className()))
        return new ImageViewAccessible(static_cast<ImageView*>(object));
    if (className == QLatin1String(ProgressBar::staticMetaObject.className()))
        return new ProgressBarAccessible(static_cast<ProgressBar*>(object));
    if (className == QLatin1String(PanelFrame::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace corvellin
