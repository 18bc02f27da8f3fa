#include "UpdateForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>
#include <thread>

#include "platform/qt/CaptionFit.h"
#include "platform/qt/Dialogs.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"

namespace corvellin {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The host the update information comes from, for LabelInfo.
QString SourceHost(const std::string& source) {
    const QUrl url(FromUtf8(source));
    const QString host = url.host();
    return host.isEmpty() ? FromUtf8(source) : host;
}

// From the labels' left edge to the window's right edge, less a small margin.
constexpr int kLabelWidth = 322 - 155 - 4;
// Cancel: 75 wide, its right edge 11 from the window's.
constexpr int kCancelRight = 311;
constexpr int kCheckingHeight = 18;
constexpr int kCancelWidth = 75;

// Tahoma at 13 pixels, or the nearest sans face installed; where the checking
// text with all six dots would not fit in the window, the size steps down.
void FitCheckingFont(QLabel* label, const QString& checkingText) {
    QFont font;
    font.setFamilies({"Tahoma", "Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans Condensed"});
    const QString widest = checkingText + QString(6, QLatin1Char('.'));
    for (int size = 13; size >= 9; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(widest) <= kLabelWidth) break;
    }
    label->setFont(font);
    // Characters from a taller fallback font get the height they need.
    label->resize(label->width(), std::max(kCheckingHeight, TextLineHeight(widest, font)));
}

}  // namespace

// A globe with a curved arrow circling it; the second frame turns the arrow on
// by half a turn and lights the other side of the globe, so that alternating
// the two reads as a spinning search.
QPixmap UpdateAnimationFrame(int frame) {
    const int W = 125;
    const int H = 117;
    QPixmap pixmap(W, H);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);

    const QPointF centre(62.5, 58.5);
    const double radius = 38.0;
    QRadialGradient sea(centre + QPointF(frame == 0 ? -14 : 14, -14), radius * 1.6);
    sea.setColorAt(0.0, QColor(170, 215, 255));
    sea.setColorAt(1.0, QColor(20, 85, 170));
    p.setPen(QPen(QColor(15, 60, 120), 1.5));
    p.setBrush(sea);
    p.drawEllipse(centre, radius, radius);

    // Meridians and parallels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    for (const double k : {0.35, 0.7}) p.drawEllipse(centre, radius * k, radius);
    p.drawLine(QPointF(centre.x(), centre.y() - radius), QPointF(centre.x(), centre.y() + radius));
    for (const double y : {-0.5, 0.0, 0.5}) {
        const double half = radius * std::sqrt(1.0 - y * y);
        p.drawLine(QPointF(centre.x() - half, centre.y() + y * radius), QPointF(centre.x() + half, centre.y() + y * radius));
    }

    // A green land mass on the lit side.
    QPainterPath land;
    const double side = frame == 0 ? -1.0 : 1.0;
    land.moveTo(centre + QPointF(side * 8, -26));
    land.cubicTo(centre + QPointF(side * 30, -20), centre + QPointF(side * 18, 2), centre + QPointF(side * 26, 14));
    land.cubicTo(centre + QPointF(side * 14, 22), centre + QPointF(side * 4, 4), centre + QPointF(side * 6, -8));
    land.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 160, 70, 220));
    p.drawPath(land);

    // The orbiting arrow: an arc of 240 degrees with a head at its end.
    const double start = frame == 0 ? 30.0 : 210.0;
    const double span = 240.0;
    const QRectF orbit(centre.x() - 52, centre.y() - 50, 104, 100);
    p.setPen(QPen(QColor(240, 150, 20), 5.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(orbit, static_cast<int>(start * 16), static_cast<int>(span * 16));
    const double end = (start + span) * std::numbers::pi / 180.0;
    const QPointF tip(centre.x() + 52 * std::cos(end), centre.y() - 50 * std::sin(end));
    // The head points along the arc's direction at its end (counter-clockwise).
    const QPointF along(-std::sin(end), -std::cos(end));
    const QPointF across(along.y(), -along.x());
    QPolygonF head;
    head << tip + along * 10 << tip + across * 7 << tip - across * 7;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 150, 20));
    p.drawPolygon(head);
    return pixmap;
}

TUpdateForm::TUpdateForm(QWidget* parent, const std::string& programDir, const std::string& updateSource)
    : QDialog(parent), UpdateSource(updateSource), ProgramDir(programDir) {
    if (!ProgramDir.empty() && ProgramDir.back() != '/') ProgramDir += '/';
    setObjectName("UpdateForm");
    setWindowTitle(texts_.caption);
    // A fixed dialog border: no resizing, no help button.
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    setFixedSize(322, 179);
    setModal(true);

    Panel = new QWidget(this);
    Panel->setObjectName("Panel");
    Panel->setGeometry(0, 0, 322, 179);
    Panel->setAutoFillBackground(true);
    QPalette white = Panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Panel->setPalette(white);

    Image1 = new QLabel(Panel);
    Image1->setObjectName("Image1");
    Image1->setGeometry(16, 19, 125, 117);
    Image1->setPixmap(UpdateAnimationFrame(0));
    Image2 = new QLabel(Panel);
    Image2->setObjectName("Image2");
    Image2->setGeometry(16, 19, 125, 117);
    Image2->setPixmap(UpdateAnimationFrame(1));
    Image2->setVisible(false);

    LabelUpdate = new QLabel(tr("Checking for new version..."), Panel);
    LabelUpdate->setObjectName("LabelUpdate");
    LabelUpdate->setGeometry(155, 48, kLabelWidth, kCheckingHeight);
    FitCheckingFont(LabelUpdate, LabelUpdate->text());

    LabelInfo = new QLabel(Panel);
    LabelInfo->setObjectName("LabelInfo");
    LabelInfo->setGeometry(155, 70, kLabelWidth, 36);
    LabelInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small;
    small.setFamilies({"Tahoma", "Liberation Sans", "Nimbus Sans", "Arial", "DejaVu Sans Condensed"});
    small.setPixelSize(11);
    LabelInfo->setFont(small);

    ButtonCancel = new QPushButton(tr("&Cancel"), Panel);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonCancel->setGeometry(kCancelRight - kCancelWidth, 112, kCancelWidth, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &TUpdateForm::suitempButtonCancelClick);

    TimerUpdate = new QTimer(this);
    TimerUpdate->setObjectName("TimerUpdate");
    TimerUpdate->setInterval(500);
    connect(TimerUpdate, &QTimer::timeout, this, &TUpdateForm::TimerUpdateTimer);
    TimerStart = new QTimer(this);
    TimerStart->setObjectName("TimerStart");
    TimerStart->setInterval(1000);
    connect(TimerStart, &QTimer::timeout, this, &TUpdateForm::TimerStartTimer);

    CheckingText = texts_.checking;
    FormCreate();
}

TUpdateForm::~TUpdateForm() = default;

void TUpdateForm::FormCreate() {
    TimerUpdate->start();
    TimerStart->start();
    DotCount = 0;
    ShowInfoLine();
}

void TUpdateForm::ShowInfoLine() {
    // Two lines: what the address is, and the server's name (shortened in the
    // middle when it is too long; the tool tip holds the whole address).
    const QString host = LabelInfo->fontMetrics().elidedText(SourceHost(UpdateSource), Qt::ElideMiddle, kLabelWidth);
    LabelInfo->setText(texts_.infoFrom + "\n" + host);
    LabelInfo->setToolTip(FromUtf8(UpdateSource));
}

void TUpdateForm::FitCaptions() {
    const int width = CaptionWidth(ButtonCancel, kCancelWidth);
    ButtonCancel->setGeometry(kCancelRight - width, ButtonCancel->y(), width, ButtonCancel->height());
}

void TUpdateForm::LoadCaptions(int languageIndex, const std::string& languageFile) {
    const IniFile file = languageIndex >= 0 ? LoadLanguageFile(languageFile) : IniFile();
    auto text = [&](const char* key) { return FromUtf8(Translate(file, key, key)); };
    texts_.checking = text("Checking for new version");
    texts_.cancel = text("&Cancel");
    texts_.caption = text("Update");
    texts_.latest = text("This is the lastest version!");
    texts_.thanks = text("Thank you for your support!");
    texts_.latestIs = text("The lastest version is");
    texts_.download = text("do you want to download it?");
    texts_.findNew = text("Find a new version");
    texts_.failConnect = text("Fail to connect Internet.");
    texts_.tryLater = text("Please try later!");
    texts_.failInfo = text("Fail to get update informate");
    texts_.infoFrom = text(kUpdateInfoFromText);
    texts_.cannotOpen = text(kCannotOpenAddressText);

    CheckingText = texts_.checking;
    LabelUpdate->setText(texts_.checking);
    FitCheckingFont(LabelUpdate, CheckingText);
    ButtonCancel->setText(texts_.cancel);
    setWindowTitle(texts_.caption);
    ShowInfoLine();
    FitCaptions();
}

void TUpdateForm::TimerStartTimer() {
    TimerStart->stop();
    CheckForUpdate();
}

void TUpdateForm::TimerUpdateTimer() {
    if (!Image1->isHidden()) {
        Image1->setVisible(false);
        Image2->setVisible(true);
    } else {
        Image1->setVisible(true);
        Image2->setVisible(false);
    }
    LabelUpdate->setText(CheckingText + QString(DotCount, QLatin1Char('.')));
    DotCount = (DotCount + 1) % 7;
}

void TUpdateForm::suitempButtonCancelClick() {
    TimerUpdate->stop();
    // A request under way is abandoned; the check then ends without a message.
    if (checking_) {
        cancelled_ = true;
        abandon_ = true;
    }
    QDialog::reject();
}

// Escape and the title bar's close button act as Cancel.
void TUpdateForm::reject() { suitempButtonCancelClick(); }

UpdateCheckResult TUpdateForm::RunCheckKeepingWindowAlive(const FetchOptions& options) {
    // The request runs on a worker thread while this thread keeps the window
    // painted and the animation and Cancel alive; the check itself still waits
    // here for its reply, as one blocking step.
    UpdateCheckResult result;
    std::exception_ptr failure;
    std::atomic<bool> finished{false};
    QEventLoop loop;
    std::thread worker([&] {
        try {
            result = RunUpdateCheck(UpdateSource, ProgramDir, options);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application quits: the request is then
    // abandoned rather than waited for.
    if (!finished) abandon_ = true;
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return result;
}

void TUpdateForm::CheckForUpdate() {
    if (checking_) return;
    // 1. Let the window paint before the request.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // 2. The proxy of the system's rule, or a direct connection.
    FetchOptions options = Limits;
    options.proxy = ProxyForScheme("http");
    abandon_ = false;
    cancelled_ = false;
    options.abandon = &abandon_;

    UpdateCheckResult result;
    checking_ = true;
    try {
        result = RunCheckKeepingWindowAlive(options);
    } catch (const std::exception& error) {
        // "update.ini" could not be written: the error shows and the window
        // stays open, animated, until Cancel.
        checking_ = false;
        if (!cancelled_) ShowErrorBox(this, FromUtf8(error.what()));
        return;
    }
    checking_ = false;
    if (cancelled_ || result.outcome == UpdateOutcome::Abandoned) return;

    const QChar cr(13);
    switch (result.outcome) {
    case UpdateOutcome::ConnectFailed:
        ShowErrorBox(this, texts_.failConnect + cr + texts_.tryLater);
        break;
    case UpdateOutcome::NoUpdateInfo:
        ShowErrorBox(this, texts_.failInfo + cr + texts_.tryLater);
        break;
    case UpdateOutcome::Latest:
        ShowInfoBox(this, texts_.latest + cr + texts_.thanks);
        break;
    case UpdateOutcome::NewerWithoutUrl:
    case UpdateOutcome::Abandoned:
        break;
    case UpdateOutcome::Newer: {
        const QString question = texts_.latestIs + " [" + FromUtf8(result.version) + "]," + cr + texts_.download;
        if (AskYesNo(this, texts_.findNew, question)) {
            const QUrl url(FromUtf8(result.url), QUrl::StrictMode);
            if (!url.isValid() || !QDesktopServices::openUrl(url))
                ShowErrorBox(this, texts_.cannotOpen.arg(FromUtf8(result.url)));
        }
        break;
    }
    }
    TimerUpdate->stop();
    done(QDialog::Accepted);
}

}  // namespace corvellin
