// The main window's own controls: the picture control, the Edge colour chooser
// and the progress bar with its percentage caption.
#pragma once

#include <QComboBox>
#include <QColorSpace>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

// Shows a Picture drawn stretched to the control's own size with
// nearest-neighbour sampling (no smoothing). The control owns its picture.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    void setPicture(Picture&& picture);
    // The colour space the picture's values are in; shown converted to sRGB.
    void setColorSpace(const QColorSpace& colorSpace);

    int Tag = 0;

signals:
    void clicked(corvellin::ImageView* sender);
    void doubleClicked(corvellin::ImageView* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Picture picture_;
    QImage image_;
    QColorSpace colorSpace_;
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

}  // namespace corvellin
