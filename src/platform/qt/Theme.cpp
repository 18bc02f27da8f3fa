#include "Theme.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace corvellin {

namespace {

// Slate-blue accents on warm light greys: calm around the pictures, so that the
// colours the user judges are the pictures' own.
constexpr const char* kStyleSheet = R"(
QMainWindow, QDialog { background: #eef0f3; }
QWidget#PanelLeftToolbar {
    background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2f3b4c, stop:1 #3a4a5f);
}
QWidget#PanelLeftToolbar QPushButton {
    color: #eef2f7; background: #46586f; border: 1px solid #56697f; border-radius: 4px;
    padding: 0px 4px; text-align: left;
}
QWidget#PanelLeftToolbar QPushButton:hover { background: #566b86; border-color: #7d93ad; }
QWidget#PanelLeftToolbar QPushButton:pressed { background: #2b3747; }
QWidget#PanelLeftToolbar QPushButton[current="true"] {
    background: #f2a93b; color: #1f2630; border-color: #ffc56b; font-weight: bold;
}
QScrollArea#ScrollBox, QWidget#PanelScreen { background: #eef0f3; border: none; }
QFrame#PanelPicture, QFrame#PanelPreview {
    background: #d9dde3; border: 1px solid #aab2bd; border-radius: 2px;
}
QFrame#PanelEffect { background: #ffffff; border: 1px solid #aab2bd; border-radius: 3px; }
QFrame#ThumbnailHighlight { background: #f2a93b; border: none; border-radius: 3px; }
QWidget#PanelScreen > QLabel#Label1, QWidget#PanelScreen > QLabel#Label2 { color: #2f3b4c; font-weight: bold; }
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfe, stop:1 #e3e7ec);
    border: 1px solid #a4adb9; border-radius: 4px; padding: 0px 6px; color: #1f2630;
}
QPushButton:hover { border-color: #4a78b0; }
QPushButton:pressed { background: #d3dae3; }
QPushButton:disabled { color: #9aa3ae; background: #eceff2; border-color: #c6ccd4; }
QStatusBar { background: #dfe3e8; color: #2f3b4c; border-top: 1px solid #c3c9d1; }
QStatusBar QLabel { padding: 0px 6px; }
QStatusBar::item { border: none; }
QMenuBar { background: #f7f8fa; border-bottom: 1px solid #d0d5dc; }
QMenuBar::item { padding: 3px 8px; }
QMenuBar::item:selected { background: #dbe5f1; border-radius: 3px; }
QMenu { background: #ffffff; border: 1px solid #b9c1cb; }
QMenu::item { padding: 4px 24px 4px 24px; min-height: 13px; }
QMenu::item:selected { background: #4a78b0; color: #ffffff; }
QMenu::separator { height: 1px; background: #dde1e6; margin: 3px 6px; }
QLineEdit { background: #ffffff; border: 1px solid #aab2bd; border-radius: 2px; padding: 0px 2px; }
QComboBox { background: #ffffff; border: 1px solid #aab2bd; border-radius: 2px; padding: 0px 4px; }
QSlider::groove:horizontal { height: 4px; background: #c3c9d1; border-radius: 2px; }
QSlider::sub-page:horizontal { background: #4a78b0; border-radius: 2px; }
QSlider::handle:horizontal {
    width: 12px; margin: -5px 0; background: #ffffff; border: 1px solid #4a78b0; border-radius: 6px;
}
)";

}  // namespace

void ApplyTheme(QApplication& application) {
    application.setStyle(QStyleFactory::create("Fusion"));

    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0xee, 0xf0, 0xf3));
    palette.setColor(QPalette::WindowText, QColor(0x1f, 0x26, 0x30));
    palette.setColor(QPalette::Base, QColor(0xff, 0xff, 0xff));
    palette.setColor(QPalette::AlternateBase, QColor(0xf4, 0xf6, 0xf8));
    palette.setColor(QPalette::Text, QColor(0x1f, 0x26, 0x30));
    palette.setColor(QPalette::Button, QColor(0xe9, 0xec, 0xf0));
    palette.setColor(QPalette::ButtonText, QColor(0x1f, 0x26, 0x30));
    palette.setColor(QPalette::Highlight, QColor(0x4a, 0x78, 0xb0));
    palette.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    palette.setColor(QPalette::ToolTipBase, QColor(0xff, 0xfb, 0xe6));
    palette.setColor(QPalette::ToolTipText, QColor(0x1f, 0x26, 0x30));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x9a, 0xa3, 0xae));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x9a, 0xa3, 0xae));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9a, 0xa3, 0xae));
    application.setPalette(palette);

    // A small sans-serif face 11 pixels high, as the layout's fixed sizes expect.
    QFont font(QStringList{"DejaVu Sans", "Noto Sans", "Nimbus Sans", "Sans Serif"});
    font.setPixelSize(11);
    application.setFont(font);

    application.setStyleSheet(kStyleSheet);
}

}  // namespace corvellin
