// icongen OUTDIR: paints the application icon at the usual sizes into
// OUTDIR/<n>x<n>/apps/corvellin-photo.png (a hicolor theme tree).
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

// A rounded photo card: an evening sky over a mountain and a lake, a sun, and
// a sparkle in the corner for the effects. Painted in a 256-unit square.
void Paint(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 256.0, size / 256.0);
    const QRectF card(16, 16, 224, 224);
    QPainterPath clip;
    clip.addRoundedRect(card, 36, 36);

    p.fillPath(clip.translated(0, 6), QColor(0, 0, 0, 60));  // soft shadow
    p.save();
    p.setClipPath(clip);
    QLinearGradient sky(0, 16, 0, 160);
    sky.setColorAt(0, QColor(38, 70, 140));
    sky.setColorAt(0.6, QColor(236, 128, 92));
    sky.setColorAt(1, QColor(250, 200, 120));
    p.fillRect(card, sky);
    QRadialGradient sun(QPointF(168, 92), 34);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(0.55, QColor(255, 230, 150));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(168, 92), 34, 34);
    QPainterPath mountains;
    mountains.moveTo(16, 170);
    mountains.lineTo(84, 92);
    mountains.lineTo(118, 132);
    mountains.lineTo(150, 104);
    mountains.lineTo(240, 176);
    mountains.lineTo(240, 240);
    mountains.lineTo(16, 240);
    mountains.closeSubpath();
    QLinearGradient rock(0, 92, 0, 180);
    rock.setColorAt(0, QColor(72, 58, 96));
    rock.setColorAt(1, QColor(40, 36, 70));
    p.setBrush(rock);
    p.drawPath(mountains);
    QLinearGradient lake(0, 172, 0, 240);
    lake.setColorAt(0, QColor(70, 120, 190));
    lake.setColorAt(1, QColor(24, 48, 110));
    p.fillRect(QRectF(16, 172, 224, 68), lake);
    p.setPen(QPen(QColor(255, 230, 170, 160), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(140, 186), QPointF(196, 186));
    p.drawLine(QPointF(152, 200), QPointF(186, 200));
    p.restore();

    p.setPen(QPen(QColor(255, 255, 255, 230), 6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.adjusted(3, 3, -3, -3), 33, 33);

    // The sparkle: a four-pointed star.
    QPainterPath star;
    const QPointF c(200, 60);
    for (int i = 0; i < 8; ++i) {
        const double r = (i % 2 == 0) ? 30 : 8;
        const double a = i * 3.14159265358979 / 4 - 3.14159265358979 / 2;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0) star.moveTo(pt); else star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 240));
    p.drawPath(star);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUTDIR\n");
        return 2;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Paint(painter, size);
        painter.end();
        const QString folder = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
        QDir().mkpath(folder);
        if (!image.save(folder + "/corvellin-photo.png")) {
            std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
