#include "Icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <utility>

namespace corvellin {

namespace {

// QIcon asks an engine for its pixmap in device pixels (the logical size
// times the device pixel ratio); these engines answer with exactly that size
// and draw through such a pixmap too.
class DevicePixelEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
};

// Our own picture, painted afresh at the size asked for.
class PaintedIconEngine : public DevicePixelEngine {
public:
    explicit PaintedIconEngine(IconPainter painter) : painter_(std::move(painter)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty()) return QPixmap();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.scale(size.width() / 16.0, size.height() / 16.0);
            painter_(p);
        }
        if (mode == QIcon::Disabled) {
            // Grey, at half strength.
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const int grey = qGray(line[x]) / 2;
                    const int alpha = qAlpha(line[x]) / 2;
                    line[x] = qRgba(grey, grey, grey, alpha);
                }
            }
        }
        return QPixmap::fromImage(std::move(image));
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(painter_); }
    QString key() const override { return QStringLiteral("corvellin-painted"); }

private:
    IconPainter painter_;
};

// A theme icon, which the theme may hold at a few fixed sizes only: its
// picture of the nearest size not smaller than the one asked for (else its
// largest), brought to exactly that size, so that it is never blown up from a
// smaller picture where the theme has a larger one.
class ThemeIconEngine : public DevicePixelEngine {
public:
    ThemeIconEngine(QString name, QIcon icon) : name_(std::move(name)), icon_(std::move(icon)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (size.isEmpty()) return QPixmap();
        QSize best;
        for (const QSize& s : icon_.availableSizes(mode, state)) {
            const bool covers = s.width() >= size.width() && s.height() >= size.height();
            const bool bestCovers = best.isValid() && best.width() >= size.width() && best.height() >= size.height();
            if (!best.isValid() || (covers && (!bestCovers || s.width() < best.width())) ||
                (!covers && !bestCovers && s.width() > best.width()))
                best = s;
        }
        QPixmap picture = icon_.pixmap(best.isValid() ? best : size, 1.0, mode, state);
        if (picture.isNull() || picture.size() == size) return picture;
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QString iconName() override { return name_; }
    QIconEngine* clone() const override { return new ThemeIconEngine(name_, icon_); }
    QString key() const override { return QStringLiteral("corvellin-theme"); }

private:
    QString name_;
    QIcon icon_;
};

}  // namespace

QIcon PaintedIcon(IconPainter painter) { return QIcon(new PaintedIconEngine(std::move(painter))); }

QIcon ThemeOrPaintedIcon(const QString& themeName, IconPainter painter) {
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
        return QIcon(new ThemeIconEngine(themeName, QIcon::fromTheme(themeName)));
    return PaintedIcon(std::move(painter));
}

}  // namespace corvellin
