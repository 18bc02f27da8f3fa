// Small command icons: the desktop icon theme's picture by its freedesktop
// name where the theme has one, otherwise a picture painted by our own code.
// A painted icon is drawn afresh at the device's pixel size, so it is crisp at
// every device pixel ratio.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>

class QPainter;

namespace corvellin {

// Paints a picture into the square (0, 0) - (16, 16); the painter is already
// scaled to the size asked for.
using IconPainter = std::function<void(QPainter&)>;

// An icon drawn by painter at whatever size and device pixel ratio it is
// asked for (greyed for the disabled mode).
QIcon PaintedIcon(IconPainter painter);

// The theme's icon called themeName (empty: no theme icon), else PaintedIcon(painter).
QIcon ThemeOrPaintedIcon(const QString& themeName, IconPainter painter);

}  // namespace corvellin
