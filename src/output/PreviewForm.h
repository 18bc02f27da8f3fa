// The full-screen preview: the finished picture fitted to the primary screen
// on black, drawn once with the nearest-pixel stretch; Esc or any mouse button
// closes it.
#pragma once

#include <QDialog>
#include <QColorSpace>
#include <QImage>
#include <string>

#include "output/PreviewFit.h"
#include "picture/Picture.h"

class QLabel;

namespace corvellin {

// The image control of the preview: shows its picture 1:1 (the picture is
// already scaled to the control's size).
class PreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit PreviewImage(QWidget* parent) : QWidget(parent) {}
    void setImage(QImage image) { image_ = std::move(image); update(); }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    TPreviewForm(QWidget* parent, int languageIndex, const std::string& languageFile);
    ~TPreviewForm() override;

    Picture ShownPicture;
    QColorSpace ShownColorSpace;  // the colour space ShownPicture's values are in
    PreviewImage* ImagePreview = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

    void LoadCaptions(int languageIndex);
    // Sizes and places ImagePreview for ShownPicture on the screen's size and
    // draws the scaled picture into it (once per showing).
    void FitToScreen();
    // The screen area the window covers: the whole primary screen.
    QRect ScreenArea() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FormCreate(int languageIndex);
    void FitHint();
    void FormShow();
    void FormKeyPress(int key);
    void ImagePreviewMouseDown();
    void FormDestroy();

    std::string languageFile_;
};

}  // namespace corvellin
