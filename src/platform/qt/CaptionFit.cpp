#include "CaptionFit.h"

#include <QFontMetrics>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QStyleOptionComboBox>
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
    const QFontMetrics metrics(control->font());
    // Buttons and lists grow by what their text lacks at the design width, so
    // that a caption that fits keeps the design's size.
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.rect.setWidth(designWidth);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const QStyle::SubElement element = qobject_cast<const QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
                                           : qobject_cast<const QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                                       : QStyle::SE_PushButtonContents;
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        const int room = button->style()->subElementRect(element, &option, button).width() - icon;
        return designWidth + std::max(0, metrics.horizontalAdvance(ShownCaption(button->text())) - room);
    }
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.rect.setWidth(designWidth);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const int room =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
        int widest = 0;
        for (int i = 0; i < list->count(); ++i) {
            const int icon = list->itemIcon(i).isNull() ? 0 : list->iconSize().width() + 4;
            widest = std::max(widest, metrics.horizontalAdvance(list->itemText(i)) + icon);
        }
        return designWidth + std::max(0, widest - room);
    }
    const int needed = qobject_cast<const QGroupBox*>(control) ? control->minimumSizeHint().width()
                                                               : control->sizeHint().width();
    return std::max(designWidth, needed);
}

}  // namespace corvellin
