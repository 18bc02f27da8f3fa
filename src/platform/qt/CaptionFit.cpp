#include "CaptionFit.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextLayout>
#include <cmath>
#include <algorithm>

namespace corvellin {

QString ShownCaption(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
            shown += QLatin1Char('&');
            ++i;
        }
    }
    return shown;
}

int PushButtonWidth(const QPushButton* button, const QFont& font, bool withIcon) {
    // What QPushButton::sizeHint asks its style for, in the given face.
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = button->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
    option.text = button->text();
    option.fontMetrics = QFontMetrics(font);
    const QFontMetrics metrics(font);
    QSize contents(metrics.horizontalAdvance(ShownCaption(button->text())), metrics.height());
    if (withIcon) {
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        contents.rwidth() += button->iconSize().width() + 4;
        contents.setHeight(std::max(contents.height(), button->iconSize().height()));
    }
    return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, contents, button).width();
}

int TextLineHeight(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? static_cast<int>(std::ceil(line.height())) : QFontMetrics(font).height();
}

int CaptionWidth(const QWidget* control, int designWidth) {
    const int needed = qobject_cast<const QGroupBox*>(control) ? control->minimumSizeHint().width()
                                                               : control->sizeHint().width();
    return std::max(designWidth, needed);
}

}  // namespace corvellin
