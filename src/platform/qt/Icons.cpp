#include "Icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <utility>

namespace corvellin {

namespace {

class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(IconPainter painter) : painter_(std::move(painter)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        // Through a pixmap of the target's own device pixels.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    // QIcon asks for the size in device pixels (the logical size times the
    // device pixel ratio): the picture is painted at exactly that size.
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

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new PaintedIconEngine(painter_); }
    QString key() const override { return QStringLiteral("corvellin-painted"); }

private:
    IconPainter painter_;
};

}  // namespace

QIcon PaintedIcon(IconPainter painter) { return QIcon(new PaintedIconEngine(std::move(painter))); }

QIcon ThemeOrPaintedIcon(const QString& themeName, IconPainter painter) {
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    return PaintedIcon(std::move(painter));
}

}  // namespace corvellin
