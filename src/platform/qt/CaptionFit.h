// The widths that controls need for their captions in their current font and
// style, so that a longer translation widens its control instead of being cut.
#pragma once

#include <QString>

class QFont;
class QPushButton;
class QWidget;

namespace corvellin {

// A caption as it is drawn: each "&" that marks an underlined letter removed,
// "&&" shown as one "&".
QString ShownCaption(const QString& caption);

// The width a push button needs for its caption drawn in font, with room for
// its icon when withIcon, in the button's style.
int PushButtonWidth(const QPushButton* button, const QFont& font, bool withIcon);

// The height of a one-line text as laid out in font, with the fallback fonts
// that draw the characters the font lacks (they may stand taller).
int TextLineHeight(const QString& text, const QFont& font);

// The design width, or the width the control's caption needs when that is
// more: buttons, check boxes, radio buttons, labels, lists and group boxes.
int CaptionWidth(const QWidget* control, int designWidth);

}  // namespace corvellin
