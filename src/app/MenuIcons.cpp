#include "MenuIcons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cmath>
#include <string_view>

#include "platform/qt/Icons.h"

namespace corvellin {

namespace {

const QColor kInk(0x2b, 0x33, 0x40);
const QColor kPaper(0xfb, 0xfb, 0xf8);
const QColor kAccent(0x2f, 0x7d, 0xd1);

QPen Line(const QColor& colour, qreal width = 1.2) { return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A closed outline through the corners, in order.
QPainterPath Outline(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

void Page(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(kPaper);
    const QPainterPath page = Outline({{3.5, 1.5}, {10, 1.5}, {12.5, 4}, {12.5, 14.5}, {3.5, 14.5}});
    p.drawPath(page);
}

void Folder(QPainter& p) {
    p.setPen(Line(QColor(0x8a, 0x64, 0x1c)));
    p.setBrush(QColor(0xf4, 0xc4, 0x5a));
    const QPainterPath back = Outline({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}});
    p.drawPath(back);
    p.setBrush(QColor(0xfb, 0xdb, 0x8a));
    const QPainterPath front = Outline({{1.5, 13.5}, {3.5, 7.5}, {15, 7.5}, {13, 13.5}});
    p.drawPath(front);
}

void Disk(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(2, 2, 12, 12), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 2, 7, 4.5));
    p.setBrush(QColor(0xdd, 0xe3, 0xea));
    p.drawRect(QRectF(4, 9, 8, 5));
}

void Screen(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(QColor(0x5c, 0xa8, 0xe0));
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0x8b, 0x3d));
    const QPainterPath hill = Outline({{2.5, 10.5}, {6.5, 6}, {9, 8.5}, {10.5, 7}, {13.5, 10.5}});
    p.drawPath(hill);
    p.setPen(Line(kInk));
    p.drawLine(QPointF(8, 11.5), QPointF(8, 13.5));
    p.drawLine(QPointF(5, 14), QPointF(11, 14));
}

void PageSetup(QPainter& p) {
    Page(p);
    p.setPen(Line(kAccent, 1));
    for (int i = 0; i < 4; ++i) p.drawLine(QPointF(5, 5.5 + 2.2 * i), QPointF(i % 2 ? 9 : 11, 5.5 + 2.2 * i));
}

void Magnifier(QPainter& p, const QPointF& centre) {
    p.setPen(Line(kInk, 1.6));
    p.setBrush(QColor(0xd8, 0xec, 0xff));
    p.drawEllipse(centre, 3, 3);
    p.drawLine(centre + QPointF(2.2, 2.2), centre + QPointF(4.8, 4.8));
}

void PrintPreview(QPainter& p) {
    Page(p);
    Magnifier(p, QPointF(8.5, 8.5));
}

void Printer(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(0x9a, 0xa4, 0xb1));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1.2, 1.2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10, 7, 4.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4c, 0xc2, 0x5a));
    p.drawEllipse(QPointF(12.3, 8), 0.8, 0.8);
}

void Exit(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(QColor(0xc8, 0x8f, 0x5a));
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setPen(Line(QColor(0xc0, 0x39, 0x2b), 1.8));
    p.drawLine(QPointF(7, 8), QPointF(14, 8));
    p.drawLine(QPointF(11.5, 5.5), QPointF(14, 8));
    p.drawLine(QPointF(11.5, 10.5), QPointF(14, 8));
}

void TurnArrow(QPainter& p, bool mirrored) {
    if (mirrored) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(Line(kAccent, 1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath curve;
    curve.moveTo(4, 6);
    curve.lineTo(10, 6);
    curve.cubicTo(15, 6, 15, 13, 10, 13);
    curve.lineTo(6, 13);
    p.drawPath(curve);
    p.drawLine(QPointF(4, 6), QPointF(7, 3));
    p.drawLine(QPointF(4, 6), QPointF(7, 9));
}

void Check(QPainter& p) {
    p.setPen(Line(QColor(0x2e, 0x9a, 0x44), 2.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.drawPath(tick);
}

void Corners(QPainter& p) {
    p.setPen(Line(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    for (const auto& [x, y, dx, dy] : {std::array<qreal, 4>{2, 2, 1, 1}, {14, 2, -1, 1}, {2, 14, 1, -1}, {14, 14, -1, -1}}) {
        p.drawLine(QPointF(x, y), QPointF(x + 4 * dx, y));
        p.drawLine(QPointF(x, y), QPointF(x, y + 4 * dy));
    }
}

void Brush(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(QColor(0xc8, 0x8f, 0x5a));
    const QPainterPath handle = Outline({{14.5, 1.5}, {15, 2}, {8.5, 9.5}, {7, 8}});
    p.drawPath(handle);
    p.setBrush(QColor(0xd9, 0x3a, 0x6a));
    QPainterPath tip;
    tip.moveTo(7, 8);
    tip.lineTo(8.5, 9.5);
    tip.cubicTo(8, 13, 5, 14.5, 1.5, 14.5);
    tip.cubicTo(2.5, 13, 2.5, 9, 7, 8);
    p.drawPath(tip);
}

void Globe(QPainter& p) {
    p.setPen(Line(kInk));
    p.setBrush(QColor(0x7c, 0xc4, 0xf0));
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 2.8, 6.5);
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
}

void Disc(QPainter& p, const QColor& colour) {
    p.setPen(Line(colour.darker(140)));
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
}

void Help(QPainter& p) {
    Disc(p, kAccent);
    p.setPen(Line(Qt::white, 1.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(5.8, 6.2);
    hook.cubicTo(5.8, 3.2, 10.5, 3.2, 10.2, 6.2);
    hook.cubicTo(10, 8, 8, 8, 8, 9.8);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 12), 1, 1);
}

void Update(QPainter& p) {
    Disc(p, QColor(0x3c, 0xa5, 0x5c));
    p.setPen(Line(Qt::white, 1.8));
    p.drawLine(QPointF(8, 4), QPointF(8, 11));
    p.drawLine(QPointF(5, 8.5), QPointF(8, 11.5));
    p.drawLine(QPointF(11, 8.5), QPointF(8, 11.5));
}

void About(QPainter& p) {
    Disc(p, kAccent);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
    p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.6, 0.6);
}

// An effect: a photo card in the item's own hue with a sparkle.
void EffectCard(QPainter& p, int hue) {
    const QColor base = QColor::fromHsv(hue, 150, 225);
    p.setPen(Line(base.darker(170)));
    QLinearGradient fill(0, 2, 0, 14);
    fill.setColorAt(0, base.lighter(130));
    fill.setColorAt(1, base.darker(115));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
    QPainterPath star;
    const QPointF c(10.5, 6.5);
    for (int i = 0; i < 8; ++i) {
        const qreal r = i % 2 == 0 ? 3.5 : 1;
        const qreal a = i * 3.14159265358979 / 4 - 3.14159265358979 / 2;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0) star.moveTo(pt); else star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(star);
}

struct CommandIcon {
    const char* item;       // the menu item's object name
    const char* themeName;  // freedesktop icon name, "" where there is none
    void (*paint)(QPainter&);
};

const CommandIcon kCommandIcons[] = {
    {"MenuOpen", "document-open", Folder},
    {"MenuSave", "document-save", Disk},
    {"MenuSetWallpaper", "preferences-desktop-wallpaper", Screen},
    {"MenuPaperSetting", "document-page-setup", PageSetup},
    {"MenuPrintPreview", "document-print-preview", PrintPreview},
    {"MenuPrint", "document-print", Printer},
    {"MenuExit", "application-exit", Exit},
    {"MenuUnDo", "edit-undo", [](QPainter& p) { TurnArrow(p, false); }},
    {"MenuRedo", "edit-redo", [](QPainter& p) { TurnArrow(p, true); }},
    {"MenuApply", "", Check},
    {"MenuPreview", "view-fullscreen", Corners},
    {"MenuVelloranEditor", "applications-graphics", Brush},
    {"MenuMoreLanguages", "preferences-desktop-locale", Globe},
    {"MenuHelpContent", "help-contents", Help},
    {"MenuUpdates", "system-software-update", Update},
    {"MenuAbout", "help-about", About},
};

}  // namespace

const char* MenuIconThemeName(const char* itemName) {
    for (const CommandIcon& c : kCommandIcons)
        if (std::string_view(c.item) == itemName) return c.themeName;
    return "";
}

void SetMenuIcons(QMenuBar* bar) {
    for (const CommandIcon& c : kCommandIcons)
        if (QAction* action = bar->findChild<QAction*>(c.item))
            action->setIcon(ThemeOrPaintedIcon(QString::fromUtf8(c.themeName), c.paint));
    if (const QMenu* effects = bar->findChild<QMenu*>("Effect1")) {
        QList<QAction*> items;
        for (QAction* a : effects->actions())
            if (!a->isSeparator()) items.append(a);
        // Hues spread round the colour wheel in the menu's order.
        for (int i = 0; i < items.size(); ++i) {
            const int hue = static_cast<int>(i * 360 / items.size());
            items[i]->setIcon(PaintedIcon([hue](QPainter& p) { EffectCard(p, hue); }));
        }
    }
}

}  // namespace corvellin
