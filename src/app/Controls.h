// The main window's own controls: the picture control, the Edge colour chooser
// and the progress bar with its percentage caption.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QColorSpace>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

// Shows a Picture with nearest-neighbour sampling (no smoothing). At pixel
// ratio 1 the picture is drawn stretched to the control's own size; at another
// ratio it holds that many device pixels per logical pixel and is drawn 1:1
// in device pixels from the control's corner. The control owns its picture.
//
// A pressable control (the thumbnails) is used like a button when focused: Enter, Return or Space is a click, the arrow keys ask for the next
// control of its grid, and the focus is drawn as a ring inside it.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    void setPicture(Picture&& picture);
    // The colour space the picture's values are in; shown converted to sRGB.
    void setColorSpace(const QColorSpace& colorSpace);
    // Device pixels of the picture per logical pixel of the control.
    void setPixelRatio(double ratio);
    double pixelRatio() const { return pixelRatio_; }
    // What a mouse click does: clicked is emitted.
    void click() { emit clicked(this); }

    int Tag = 0;
    // Pressed by keys and by assistive technology as a click; a button for the latter.
    bool Pressable = false;

signals:
    void clicked(corvellin::ImageView* sender);
    void doubleClicked(corvellin::ImageView* sender);
    // An arrow key (Qt::Key_Left, Right, Up, Down, Home or End) while focused.
    void moveRequested(corvellin::ImageView* sender, int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Picture picture_;
    QImage image_;
    QColorSpace colorSpace_;
    double pixelRatio_ = 1.0;
    bool imageStale_ = true;
    bool pressed_ = false;
};

// The Edge colour chooser: "Custom..." first (its swatch shows the custom
// colour), then the sixteen standard and four extended colours. Colours are
// 0x00BBGGRR. colourChanged is emitted only for the user's choices.
class ColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);

    std::uint32_t selectedColour() const;
    // Selects the colour without reporting a change; a colour outside the list
    // becomes the custom colour.
    void selectColour(std::uint32_t colour);
    // What a choice of the user does: item 0 asks for a custom colour through
    // the dialog seam (a cancel keeps the previous choice).
    void chooseItem(int index);

signals:
    void colourChanged();

private:
    void setCustomColour(std::uint32_t colour);
    std::uint32_t custom_ = 0;
    int previousIndex_ = 0;
};

// The read-only box that shows the slider's value. Select-all has no use
// there, so Ctrl+A stays the window's shortcut (Apply) while the box has focus.
class ValueBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ValueBox(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A progress bar with its percentage as caption. Minimum, maximum and position
// are kept exactly as set (a maximum below the minimum included); the bar
// remembers every position it was given since it was last shown.
class ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    void setMinimum(int value);
    void setMaximum(int value);
    void setPosition(int value);
    const std::vector<int>& positionsSinceShown() const { return positions_; }
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    std::vector<int> positions_;
};

// A sunken panel that groups controls (the picture panes, the thumbnails):
// for assistive technology a grouping.
class PanelFrame : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
};

// Gives assistive technology the roles of the controls above: a pressable
// ImageView is a button (its press action is a click), any other a
// graphic; the ProgressBar a progress bar with its value; a PanelFrame a
// grouping. Installed once.
void InstallControlAccessibility();

}  // namespace corvellin
