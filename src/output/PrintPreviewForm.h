// The print layout dialog "Print": a page preview on the left, the picture's
// position and printed size on the right, Page Settings, Print, OK and Cancel.
// The opener fills the working layout, the image and page sizes and the
// preview picture, shows the dialog modally and reads Confirmed and the layout.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <string>

#include "output/PrintLayout.h"
#include "picture/Picture.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvellin {

class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    // languageFile is entry languageIndex of the opener's language list (-1:
    // English, the file is not read).
    TPrintPreviewForm(int languageIndex, const std::string& languageFile, QWidget* parent = nullptr);
    ~TPrintPreviewForm() override;

    // ---- Dialog state ---------------------------------------------------------
    corvellin::PrintLayout PrintLayout;  // the working copy
    std::int32_t ImageWidthPx = 1;
    std::int32_t ImageHeightPx = 1;
    std::int32_t PageWidthPx = 1;
    std::int32_t PageHeightPx = 1;
    double ScreenPpi = 96.0;  // set by the opener from the screen
    bool LayoutReady = false;
    bool Confirmed = false;
    // The print job, run by the Print button with the dialog's rectangle in
    // printer device pixels (the opener's PrintPicture with suiProgressBar1).
    std::function<void(const PixelRect&)> PrintPicture;

    void SetPreviewPicture(const Picture& picture);
    // The dialog's progress bar, a control of the opener's kind: placed, hidden
    // and owned by the dialog.
    void SetProgressBar(QWidget* bar);
    // The page image as last drawn (box size).
    const QImage& PreviewBitmap() const { return previewBitmap_; }

    // ---- Controls -------------------------------------------------------------
    QWidget* PanelPreview = nullptr;
    QLabel* ImagePreview = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EditTop = nullptr;
    QComboBox* ComboBoxTopUnit = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EditLeft = nullptr;
    QComboBox* ComboBoxLeftUnit = nullptr;
    QCheckBox* CheckBoxCenter = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* EditScale = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* CheckBoxFitPage = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* EditHeight = nullptr;
    QComboBox* ComboBoxHeightUnit = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* EditWidth = nullptr;
    QComboBox* ComboBoxWidthUnit = nullptr;
    QCheckBox* CheckBoxBorderBox = nullptr;
    QPushButton* ButtonPrint = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonPageSet = nullptr;
    QWidget* suiProgressBar1 = nullptr;

    // ---- Operations without an event of their own -------------------------------
    void RedrawPreview();
    bool StoreLayout();
    void LoadCaptions(int languageIndex);

public slots:
    void FormShow();
    void EditTopChange();
    void EditLeftChange();
    void EditScaleChange();
    void EditHeightChange();
    void EditWidthChange();
    void ComboBoxTopUnitChange();
    void ComboBoxLeftUnitChange();
    void ComboBoxHeightUnitChange();
    void ComboBoxWidthUnitChange();
    void CheckBoxCenterClick();
    void CheckBoxFitPageClick();
    void ButtonPrintClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void ButtonPageSetClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void BuildWindow();
    // Sizes the labels to their texts and widens what a caption needs: the
    // edit column moves right of the widest label, the groups widen to their
    // rows and titles, the buttons to their captions, and the dialog with them.
    void FitCaptions();
    void SetQuietly(QLineEdit* edit, const QString& text);
    // The edit's value converted with its unit to whole screen pixels.
    std::optional<std::int32_t> ReadPixels(QLineEdit* edit, QComboBox* unit) const;
    void UnitChange(QComboBox* list, QLineEdit* edit, const QString& message, std::int32_t& previous);
    void Recentre();
    QString Text(const char* key) const;

    std::string languageFile_;
    int languageIndex_ = -1;
    QImage previewPicture_;
    QImage previewBitmap_;
    std::array<std::int32_t, 4> previousUnit_{};  // top, left, height, width
    // The texts of the messages and the units, read when the dialog is created.
    QString topMessage_, leftMessage_, heightMessage_, widthMessage_, scaleMessage_, valueMessage_, noPrinterMessage_;
    QStringList unitTexts_;
};

}  // namespace corvellin
