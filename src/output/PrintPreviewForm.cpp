#include "PrintPreviewForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <exception>
#include <map>

#include "output/NumberText.h"
#include "output/PrintDevice.h"
#include "platform/qt/CaptionFit.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/PictureImage.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"

namespace corvellin {

namespace {

constexpr int kPanelSize = 257;
// The design layout, inside each group: labels at 16, 60 wide; the edits at 87,
// 95 wide; the unit lists at 188, 82 wide; check boxes 140 wide. Scale's edit
// at 60, 55 wide, "%" 3 after it and "Scale to Fit Page" at 136. Groups at
// 295, 282 wide; the buttons 13 to their right, 98 wide, 7 from the edge.
constexpr int kLabelLeft = 16;
constexpr int kLabelWidth = 60;
constexpr int kLabelHeight = 14;
constexpr int kEditLeft = 87;
constexpr int kLabelEditGap = kEditLeft - kLabelLeft - kLabelWidth;
constexpr int kEditWidth = 95;
constexpr int kListGap = 6;
constexpr int kListWidth = 82;
constexpr int kCheckWidth = 140;
constexpr int kScaleLeft = 60;
constexpr int kScaleWidth = 55;
constexpr int kPercentGap = 3;
constexpr int kPercentWidth = 14;
constexpr int kFitPageGap = 4;
constexpr int kGroupLeft = 295;
constexpr int kGroupWidth = 282;
constexpr int kGroupPadding = 6;
constexpr int kButtonGap = 13;
constexpr int kButtonWidth = 98;
constexpr int kButtonRightMargin = 7;
constexpr int kDialogHeight = 321;
enum UnitSlot { kTopSlot = 0, kLeftSlot = 1, kHeightSlot = 2, kWidthSlot = 3 };

}  // namespace

TPrintPreviewForm::TPrintPreviewForm(int languageIndex, const std::string& languageFile, QWidget* parent)
    : QDialog(parent), languageFile_(languageFile), languageIndex_(languageIndex) {
    setObjectName("PrintPreviewForm");
    BuildWindow();
    FormCreate();
}

// FormDestroy: the preview picture and the page image go with the dialog.
TPrintPreviewForm::~TPrintPreviewForm() = default;

void TPrintPreviewForm::BuildWindow() {
    setFixedSize(kGroupLeft + kGroupWidth + kButtonGap + kButtonWidth + kButtonRightMargin, kDialogHeight);
    move(183, 307);
    setModal(true);

    PanelPreview = new QWidget(this);
    PanelPreview->setObjectName("PanelPreview");
    PanelPreview->setGeometry(16, 40, kPanelSize, kPanelSize);
    ImagePreview = new QLabel(PanelPreview);
    ImagePreview->setObjectName("ImagePreview");
    ImagePreview->setGeometry(0, 0, kPanelSize, kPanelSize);

    auto label = [](QWidget* parent, const char* name, int left, int top) {
        auto* l = new QLabel(parent);
        l->setObjectName(name);
        l->setGeometry(left, top + 4, kLabelWidth, kLabelHeight);
        return l;
    };
    auto edit = [](QWidget* parent, const char* name, int left, int top, int width) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(name);
        e->setGeometry(left, top, width, 21);
        return e;
    };
    auto units = [](QWidget* parent, const char* name, int top) {
        auto* c = new QComboBox(parent);
        c->setObjectName(name);
        c->setEditable(false);
        c->setGeometry(kEditLeft + kEditWidth + kListGap, top, kListWidth, 21);
        return c;
    };
    auto check = [](QWidget* parent, const char* name, int left, int top) {
        auto* c = new QCheckBox(parent);
        c->setObjectName(name);
        c->setGeometry(left, top, kCheckWidth, 17);
        return c;
    };
    auto button = [this](const char* name, int top) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setGeometry(kGroupLeft + kGroupWidth + kButtonGap, top, kButtonWidth, 25);
        b->setAutoDefault(false);
        return b;
    };

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(kGroupLeft, 40, kGroupWidth, 105);
    Label1 = label(GroupBox1, "Label1", kLabelLeft, 24);
    EditTop = edit(GroupBox1, "EditTop", kEditLeft, 24, kEditWidth);
    ComboBoxTopUnit = units(GroupBox1, "ComboBoxTopUnit", 24);
    Label2 = label(GroupBox1, "Label2", kLabelLeft, 53);
    EditLeft = edit(GroupBox1, "EditLeft", kEditLeft, 53, kEditWidth);
    ComboBoxLeftUnit = units(GroupBox1, "ComboBoxLeftUnit", 53);
    CheckBoxCenter = check(GroupBox1, "CheckBoxCenter", kEditLeft, 80);

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(kGroupLeft, 160, kGroupWidth, 121);
    Label3 = label(GroupBox2, "Label3", kLabelLeft, 24);
    EditScale = edit(GroupBox2, "EditScale", kScaleLeft, 24, kScaleWidth);
    Label6 = label(GroupBox2, "Label6", kScaleLeft + kScaleWidth + kPercentGap, 24);
    Label6->resize(kPercentWidth, kLabelHeight);
    Label6->setText("%");
    CheckBoxFitPage = check(GroupBox2, "CheckBoxFitPage", kScaleLeft + kScaleWidth + kPercentGap + kPercentWidth + kFitPageGap, 24);
    Label4 = label(GroupBox2, "Label4", kLabelLeft, 52);
    EditHeight = edit(GroupBox2, "EditHeight", kEditLeft, 52, kEditWidth);
    ComboBoxHeightUnit = units(GroupBox2, "ComboBoxHeightUnit", 52);
    Label5 = label(GroupBox2, "Label5", kLabelLeft, 80);
    EditWidth = edit(GroupBox2, "EditWidth", kEditLeft, 80, kEditWidth);
    ComboBoxWidthUnit = units(GroupBox2, "ComboBoxWidthUnit", 80);
    CheckBoxBorderBox = check(GroupBox2, "CheckBoxBorderBox", kEditLeft, 107);
    CheckBoxBorderBox->setText("Display Border Box");
    CheckBoxBorderBox->setVisible(false);

    ButtonPrint = button("ButtonPrint", 41);
    ButtonCancel = button("ButtonCancel", 72);
    ButtonOK = button("ButtonOK", 105);
    ButtonPageSet = button("ButtonPageSet", 138);

    connect(EditTop, &QLineEdit::textChanged, this, &TPrintPreviewForm::EditTopChange);
    connect(EditLeft, &QLineEdit::textChanged, this, &TPrintPreviewForm::EditLeftChange);
    connect(EditScale, &QLineEdit::textChanged, this, &TPrintPreviewForm::EditScaleChange);
    connect(EditHeight, &QLineEdit::textChanged, this, &TPrintPreviewForm::EditHeightChange);
    connect(EditWidth, &QLineEdit::textChanged, this, &TPrintPreviewForm::EditWidthChange);
    // activated: only the user's choices run the unit handlers.
    connect(ComboBoxTopUnit, &QComboBox::activated, this, &TPrintPreviewForm::ComboBoxTopUnitChange);
    connect(ComboBoxLeftUnit, &QComboBox::activated, this, &TPrintPreviewForm::ComboBoxLeftUnitChange);
    connect(ComboBoxHeightUnit, &QComboBox::activated, this, &TPrintPreviewForm::ComboBoxHeightUnitChange);
    connect(ComboBoxWidthUnit, &QComboBox::activated, this, &TPrintPreviewForm::ComboBoxWidthUnitChange);
    // toggled: a check box set by the program runs its handler when its state changes.
    connect(CheckBoxCenter, &QCheckBox::toggled, this, &TPrintPreviewForm::CheckBoxCenterClick);
    connect(CheckBoxFitPage, &QCheckBox::toggled, this, &TPrintPreviewForm::CheckBoxFitPageClick);
    connect(ButtonPrint, &QPushButton::clicked, this, &TPrintPreviewForm::ButtonPrintClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TPrintPreviewForm::ButtonCancelClick);
    connect(ButtonOK, &QPushButton::clicked, this, &TPrintPreviewForm::ButtonOKClick);
    connect(ButtonPageSet, &QPushButton::clicked, this, &TPrintPreviewForm::ButtonPageSetClick);
}

void TPrintPreviewForm::FormCreate() {
    previewPicture_ = QImage();
    LoadCaptions(languageIndex_);
    for (QComboBox* list : {ComboBoxTopUnit, ComboBoxLeftUnit, ComboBoxHeightUnit, ComboBoxWidthUnit}) {
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(unitTexts_);
    }
    FitCaptions();
}

void TPrintPreviewForm::FitCaptions() {
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5})
        label->resize(label->sizeHint().width(), std::max(kLabelHeight, label->sizeHint().height()));
    // The rows with a unit list share one edit column.
    int labelWidth = 0;
    for (QLabel* label : {Label1, Label2, Label4, Label5}) labelWidth = std::max(labelWidth, label->width());
    const int editLeft = std::max(kEditLeft, kLabelLeft + labelWidth + kLabelEditGap);
    const int listLeft = editLeft + kEditWidth + kListGap;
    int listWidth = kListWidth;
    for (QComboBox* list : {ComboBoxTopUnit, ComboBoxLeftUnit, ComboBoxHeightUnit, ComboBoxWidthUnit})
        listWidth = std::max(listWidth, CaptionWidth(list, kListWidth));
    for (QLineEdit* edit : {EditTop, EditLeft, EditHeight, EditWidth}) edit->move(editLeft, edit->y());
    for (QComboBox* list : {ComboBoxTopUnit, ComboBoxLeftUnit, ComboBoxHeightUnit, ComboBoxWidthUnit})
        list->setGeometry(listLeft, list->y(), listWidth, list->height());
    for (QCheckBox* check : {CheckBoxCenter, CheckBoxBorderBox})
        check->setGeometry(editLeft, check->y(), CaptionWidth(check, kCheckWidth), check->height());
    // The scale row: its edit after "Scale:", then "%" and "Scale to Fit Page".
    const int scaleLeft = std::max(kScaleLeft, Label3->x() + Label3->width() + kFitPageGap);
    EditScale->move(scaleLeft, EditScale->y());
    Label6->move(scaleLeft + kScaleWidth + kPercentGap, Label6->y());
    CheckBoxFitPage->setGeometry(Label6->x() + kPercentWidth + kFitPageGap, CheckBoxFitPage->y(),
                                 CaptionWidth(CheckBoxFitPage, kCheckWidth), CheckBoxFitPage->height());

    int groupWidth = std::max({kGroupWidth, CaptionWidth(GroupBox1, 0), CaptionWidth(GroupBox2, 0),
                               listLeft + listWidth + kGroupPadding,
                               CheckBoxFitPage->x() + CheckBoxFitPage->width() + kGroupPadding});
    for (QCheckBox* check : {CheckBoxCenter, CheckBoxBorderBox})
        groupWidth = std::max(groupWidth, check->x() + check->width() + kGroupPadding);
    for (QGroupBox* group : {GroupBox1, GroupBox2}) group->resize(groupWidth, group->height());

    const int buttonLeft = kGroupLeft + groupWidth + kButtonGap;
    int buttonWidth = kButtonWidth;
    for (QPushButton* button : {ButtonPrint, ButtonCancel, ButtonOK, ButtonPageSet})
        buttonWidth = std::max(buttonWidth, CaptionWidth(button, kButtonWidth));
    for (QPushButton* button : {ButtonPrint, ButtonCancel, ButtonOK, ButtonPageSet})
        button->setGeometry(buttonLeft, button->y(), buttonWidth, button->height());
    setFixedSize(buttonLeft + buttonWidth + kButtonRightMargin, kDialogHeight);
}

void TPrintPreviewForm::LoadCaptions(int languageIndex) {
    const IniFile file = languageIndex >= 0 ? LoadLanguageFile(languageFile_) : IniFile();
    std::map<std::string, QString> texts;
    for (const CaptionKey& caption : CaptionKeys(CaptionWindow::PrintPreview))
        texts[caption.key] = QString::fromStdString(Translate(file, caption.key, caption.builtIn));
    auto text = [&](const char* key) {
        const auto found = texts.find(key);
        return found != texts.end() ? found->second : QString::fromUtf8(key);
    };
    setWindowTitle(text("Print"));
    GroupBox1->setTitle(text("Position"));
    Label1->setText(text("Top:"));
    Label2->setText(text("Left:"));
    CheckBoxCenter->setText(text("Center Image"));
    GroupBox2->setTitle(text("Print Size"));
    Label3->setText(text("Scale:"));
    CheckBoxFitPage->setText(text("Scale to Fit Page"));
    Label4->setText(text("Height:"));
    Label5->setText(text("Width:"));
    ButtonPrint->setText(text("&Print..."));
    ButtonCancel->setText(text("&Cancel"));
    ButtonOK->setText(text("&OK"));
    ButtonPageSet->setText(text("&Page Settings"));
    noPrinterMessage_ = text("Can not find any printer.");
    heightMessage_ = text("Height must be float.");
    leftMessage_ = text("Left must be float.");
    topMessage_ = text("Top must be float.");
    widthMessage_ = text("Width must be float.");
    scaleMessage_ = text("Scale value must be float.");
    valueMessage_ = text("Value must be float.");
    unitTexts_ = {text("Pixel"), text("Inch"), text("centimeter"), text("millimeter")};
}

void TPrintPreviewForm::SetPreviewPicture(const Picture& picture) { previewPicture_ = PictureToImage(picture); }

void TPrintPreviewForm::SetProgressBar(QWidget* bar) {
    delete suiProgressBar1;
    suiProgressBar1 = bar;
    if (!bar) return;
    bar->setParent(this);
    bar->setObjectName("suiProgressBar1");
    bar->setGeometry(32, 300, 625, 21);
    bar->hide();
}

void TPrintPreviewForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once per showing: the spontaneous show event of a restore after
    // minimising must not reset what the user typed.
    if (!event->spontaneous()) FormShow();
}

void TPrintPreviewForm::SetQuietly(QLineEdit* edit, const QString& text) {
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

std::optional<std::int32_t> TPrintPreviewForm::ReadPixels(QLineEdit* edit, QComboBox* unit) const {
    const std::optional<double> value = ParseNumber(edit->text());
    if (!value) return std::nullopt;
    return ToScreenPixels(unit->currentIndex(), *value, ScreenPpi);
}

void TPrintPreviewForm::FormShow() {
    LayoutReady = false;
    SetQuietly(EditTop, FormatGeneral(PrintLayout.Top));
    SetQuietly(EditLeft, FormatGeneral(PrintLayout.Left));
    ComboBoxTopUnit->setCurrentIndex(PrintLayout.TopUnit);
    ComboBoxLeftUnit->setCurrentIndex(PrintLayout.LeftUnit);
    previousUnit_[kTopSlot] = PrintLayout.TopUnit;
    previousUnit_[kLeftSlot] = PrintLayout.LeftUnit;
    SetQuietly(EditScale, FormatGeneral(PrintLayout.Scale));
    SetQuietly(EditHeight, FormatGeneral(PrintLayout.Height));
    SetQuietly(EditWidth, FormatGeneral(PrintLayout.Width));
    ComboBoxHeightUnit->setCurrentIndex(PrintLayout.HeightUnit);
    ComboBoxWidthUnit->setCurrentIndex(PrintLayout.WidthUnit);
    previousUnit_[kHeightSlot] = PrintLayout.HeightUnit;
    previousUnit_[kWidthSlot] = PrintLayout.WidthUnit;
    CheckBoxFitPage->setChecked(PrintLayout.FitPage);
    CheckBoxFitPageClick();
    CheckBoxCenter->setChecked(PrintLayout.Center);
    CheckBoxCenterClick();
    CheckBoxBorderBox->setChecked(PrintLayout.BorderBox);
    LayoutReady = true;
    RedrawPreview();
    Confirmed = false;
}

void TPrintPreviewForm::EditTopChange() {
    if (!ParseNumber(EditTop->text())) {
        ShowErrorBox(this, topMessage_);
        return;
    }
    RedrawPreview();
}

void TPrintPreviewForm::EditLeftChange() {
    if (!ParseNumber(EditLeft->text())) {
        ShowErrorBox(this, leftMessage_);
        return;
    }
    RedrawPreview();
}

void TPrintPreviewForm::EditScaleChange() {
    if (!LayoutReady) return;
    const std::optional<double> scale = ParseNumber(EditScale->text());
    if (!scale) {
        ShowErrorBox(this, scaleMessage_);
        return;
    }
    const PixelSize size = SizeFromScale(ImageWidthPx, ImageHeightPx, *scale);
    SetQuietly(EditHeight, FormatFixed(FromScreenPixels(size.height, ComboBoxHeightUnit->currentIndex(), ScreenPpi), 3));
    SetQuietly(EditWidth, FormatFixed(FromScreenPixels(size.width, ComboBoxWidthUnit->currentIndex(), ScreenPpi), 3));
    CheckBoxCenterClick();
    RedrawPreview();
}

void TPrintPreviewForm::EditHeightChange() {
    const std::optional<std::int32_t> h = ReadPixels(EditHeight, ComboBoxHeightUnit);
    if (!h) {
        ShowErrorBox(this, heightMessage_);
        return;
    }
    const FitResult fit = SizeFromHeight(*h, ImageWidthPx, ImageHeightPx);
    SetQuietly(EditWidth, FormatFixed(FromScreenPixels(fit.size.width, ComboBoxWidthUnit->currentIndex(), ScreenPpi), 3));
    SetQuietly(EditScale, FormatFixed(fit.scale, 3));
    if (CheckBoxCenter->isChecked()) Recentre();
    RedrawPreview();
}

void TPrintPreviewForm::EditWidthChange() {
    const std::optional<std::int32_t> w = ReadPixels(EditWidth, ComboBoxWidthUnit);
    if (!w) {
        ShowErrorBox(this, widthMessage_);
        return;
    }
    const FitResult fit = SizeFromWidth(*w, ImageWidthPx, ImageHeightPx);
    SetQuietly(EditHeight,
               FormatFixed(FromScreenPixels(fit.size.height, ComboBoxHeightUnit->currentIndex(), ScreenPpi), 3));
    SetQuietly(EditScale, FormatFixed(fit.scale, 3));
    if (CheckBoxCenter->isChecked()) Recentre();
    RedrawPreview();
}

// The centring of CheckBoxCenterClick, from the printed size as the size edits
// now show it (read back from their texts, so exactly what the user sees).
void TPrintPreviewForm::Recentre() {
    const std::optional<std::int32_t> w = ReadPixels(EditWidth, ComboBoxWidthUnit);
    const std::optional<std::int32_t> h = ReadPixels(EditHeight, ComboBoxHeightUnit);
    if (!w || !h) return;
    SetQuietly(EditLeft, FormatFixed(FromScreenPixels(CenterOffset(PageWidthPx, *w), ComboBoxLeftUnit->currentIndex(),
                                                      ScreenPpi), 3));
    SetQuietly(EditTop, FormatFixed(FromScreenPixels(CenterOffset(PageHeightPx, *h), ComboBoxTopUnit->currentIndex(),
                                                     ScreenPpi), 3));
}

void TPrintPreviewForm::UnitChange(QComboBox* list, QLineEdit* edit, const QString& message, std::int32_t& previous) {
    const int unit = list->currentIndex();
    if (unit == previous) return;
    const std::optional<double> value = ParseNumber(edit->text());
    if (!value) {
        ShowErrorBox(this, message);
        edit->setFocus();
        list->setCurrentIndex(previous);
        return;
    }
    const std::int32_t pixels = ToScreenPixels(previous, *value, ScreenPpi);
    SetQuietly(edit, FormatGeneral(FromScreenPixels(pixels, unit, ScreenPpi)));
    previous = unit;
}

void TPrintPreviewForm::ComboBoxTopUnitChange() {
    UnitChange(ComboBoxTopUnit, EditTop, topMessage_, previousUnit_[kTopSlot]);
}
void TPrintPreviewForm::ComboBoxLeftUnitChange() {
    UnitChange(ComboBoxLeftUnit, EditLeft, leftMessage_, previousUnit_[kLeftSlot]);
}
void TPrintPreviewForm::ComboBoxHeightUnitChange() {
    UnitChange(ComboBoxHeightUnit, EditHeight, heightMessage_, previousUnit_[kHeightSlot]);
}
void TPrintPreviewForm::ComboBoxWidthUnitChange() {
    UnitChange(ComboBoxWidthUnit, EditWidth, widthMessage_, previousUnit_[kWidthSlot]);
}

void TPrintPreviewForm::CheckBoxCenterClick() {
    const bool free = !CheckBoxCenter->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{EditTop, EditLeft, ComboBoxTopUnit, ComboBoxLeftUnit})
        control->setEnabled(free);
    if (!free) {
        // An unreadable size ends the click with the size's own message.
        if (!ParseNumber(EditWidth->text())) {
            ShowErrorBox(this, widthMessage_);
            return;
        }
        if (!ParseNumber(EditHeight->text())) {
            ShowErrorBox(this, heightMessage_);
            return;
        }
        Recentre();
    }
    RedrawPreview();
}

void TPrintPreviewForm::CheckBoxFitPageClick() {
    const bool fit = CheckBoxFitPage->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{EditScale, EditHeight, EditWidth, ComboBoxHeightUnit, ComboBoxWidthUnit})
        control->setEnabled(!fit);
    if (fit) {
        const FitResult size = FitToPage(PageWidthPx, PageHeightPx, ImageWidthPx, ImageHeightPx);
        SetQuietly(EditWidth, FormatFixed(FromScreenPixels(size.size.width, ComboBoxWidthUnit->currentIndex(), ScreenPpi), 3));
        SetQuietly(EditHeight,
                   FormatFixed(FromScreenPixels(size.size.height, ComboBoxHeightUnit->currentIndex(), ScreenPpi), 3));
        SetQuietly(EditScale, FormatFixed(size.scale, 2));
        CheckBoxCenter->setChecked(true);
        CheckBoxCenter->setEnabled(false);
        CheckBoxCenterClick();
    } else {
        SetQuietly(EditWidth, FormatFixed(FromScreenPixels(ImageWidthPx, ComboBoxWidthUnit->currentIndex(), ScreenPpi), 3));
        SetQuietly(EditHeight,
                   FormatFixed(FromScreenPixels(ImageHeightPx, ComboBoxHeightUnit->currentIndex(), ScreenPpi), 3));
        SetQuietly(EditScale, FormatFixed(100.0, 2));
        CheckBoxCenterClick();
        CheckBoxCenter->setEnabled(true);
    }
    RedrawPreview();
}

void TPrintPreviewForm::RedrawPreview() {
    if (!LayoutReady) return;
    const PixelRect box = PreviewBox(kPanelSize, kPanelSize, PageWidthPx, PageHeightPx);
    const int width = std::max(1, box.width);
    const int height = std::max(1, box.height);
    ImagePreview->setGeometry(box.left, box.top, width, height);
    // The page is drawn in the screen's device pixels (ratio device pixels to
    // a logical one) and shown 1:1; at ratio 1 those are the box's pixels.
    const qreal ratio = devicePixelRatioF();
    const auto device = [ratio](std::int32_t logical) { return static_cast<int>(std::nearbyint(logical * ratio)); };
    const int pageWidth = std::max(1, device(width));
    const int pageHeight = std::max(1, device(height));
    previewBitmap_ = QImage(pageWidth, pageHeight, QImage::Format_RGB32);
    // A white page with a black outline one logical pixel wide.
    previewBitmap_.fill(Qt::white);
    {
        QPainter painter(&previewBitmap_);
        const int line = std::max(1, device(1));
        painter.fillRect(0, 0, pageWidth, line, Qt::black);
        painter.fillRect(0, pageHeight - line, pageWidth, line, Qt::black);
        painter.fillRect(0, 0, line, pageHeight, Qt::black);
        painter.fillRect(pageWidth - line, 0, line, pageHeight, Qt::black);
    }
    previewBitmap_.setDevicePixelRatio(ratio);
    const std::optional<std::int32_t> top = ReadPixels(EditTop, ComboBoxTopUnit);
    const std::optional<std::int32_t> left = top ? ReadPixels(EditLeft, ComboBoxLeftUnit) : std::nullopt;
    const std::optional<std::int32_t> h = left ? ReadPixels(EditHeight, ComboBoxHeightUnit) : std::nullopt;
    const std::optional<std::int32_t> w = h ? ReadPixels(EditWidth, ComboBoxWidthUnit) : std::nullopt;
    if (!w) {
        ImagePreview->setPixmap(QPixmap::fromImage(previewBitmap_));
        ShowErrorBox(this, valueMessage_);
        return;
    }
    const PixelRect place = PreviewImageRect({*left, *top, *w, *h}, box.width, box.height, PageWidthPx, PageHeightPx);
    if (!previewPicture_.isNull() && place.width != 0 && place.height != 0) {
        const QRect target(device(place.left), device(place.top), device(place.width), device(place.height));
        previewBitmap_.setDevicePixelRatio(1);
        QPainter painter(&previewBitmap_);
        // Colour on colour: rows and columns dropped or repeated, never averaged.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, previewPicture_);
        painter.end();
        previewBitmap_.setDevicePixelRatio(ratio);
    }
    ImagePreview->setPixmap(QPixmap::fromImage(previewBitmap_));
}

bool TPrintPreviewForm::StoreLayout() {
    const std::optional<double> top = ParseNumber(EditTop->text());
    if (!top) {
        ShowErrorBox(this, topMessage_);
        return false;
    }
    PrintLayout.Top = *top;
    const std::optional<double> left = ParseNumber(EditLeft->text());
    if (!left) {
        ShowErrorBox(this, leftMessage_);
        return false;
    }
    PrintLayout.Left = *left;
    PrintLayout.TopUnit = ComboBoxTopUnit->currentIndex();
    PrintLayout.LeftUnit = ComboBoxLeftUnit->currentIndex();
    PrintLayout.Center = CheckBoxCenter->isChecked();
    const std::optional<double> scale = ParseNumber(EditScale->text());
    if (!scale) {
        ShowErrorBox(this, scaleMessage_);
        return false;
    }
    PrintLayout.Scale = *scale;
    PrintLayout.FitPage = CheckBoxFitPage->isChecked();
    const std::optional<double> height = ParseNumber(EditHeight->text());
    if (!height) {
        ShowErrorBox(this, heightMessage_);
        return false;
    }
    PrintLayout.Height = *height;
    const std::optional<double> width = ParseNumber(EditWidth->text());
    if (!width) {
        ShowErrorBox(this, widthMessage_);
        return false;
    }
    PrintLayout.Width = *width;
    PrintLayout.HeightUnit = ComboBoxHeightUnit->currentIndex();
    PrintLayout.WidthUnit = ComboBoxWidthUnit->currentIndex();
    PrintLayout.BorderBox = CheckBoxBorderBox->isChecked();
    return true;
}

void TPrintPreviewForm::ButtonOKClick() {
    if (!StoreLayout()) return;
    Confirmed = true;
    accept();
}

void TPrintPreviewForm::ButtonCancelClick() { reject(); }

void TPrintPreviewForm::ButtonPageSetClick() {
    try {
        const std::optional<PixelSize> paper = RunPageSetupDialog(this);
        if (!paper) return;
        const PixelSize page = PageFromPaper(paper->width, paper->height, ScreenPpi);
        PageWidthPx = std::max(1, page.width);
        PageHeightPx = std::max(1, page.height);
        LayoutReady = false;
        CheckBoxFitPageClick();
        CheckBoxCenterClick();
        LayoutReady = true;
        RedrawPreview();
    } catch (const std::exception& error) {
        LayoutReady = true;
        ShowErrorBox(this, QString::fromStdString(error.what()));
    }
}

void TPrintPreviewForm::ButtonPrintClick() {
    try {
        if (!AnyPrinterInstalled()) {
            ShowInfoBox(this, noPrinterMessage_);
            return;
        }
        if (!RunPrintDialog(this)) return;
        if (!StoreLayout()) return;
        const PrinterMetrics printer = CurrentPrinterMetrics();
        const PixelRect picture{ToScreenPixels(PrintLayout.LeftUnit, PrintLayout.Left, ScreenPpi),
                                ToScreenPixels(PrintLayout.TopUnit, PrintLayout.Top, ScreenPpi),
                                ToScreenPixels(PrintLayout.WidthUnit, PrintLayout.Width, ScreenPpi),
                                ToScreenPixels(PrintLayout.HeightUnit, PrintLayout.Height, ScreenPpi)};
        const PixelRect rectangle = PrintRectFromDialog(picture, printer.dpiX, printer.dpiY, ScreenPpi);
        if (PrintPicture) PrintPicture(rectangle);
    } catch (const std::exception& error) {
        // A refused job leaves the dialog open.
        ShowErrorBox(this, QString::fromStdString(error.what()));
    }
}

}  // namespace corvellin
