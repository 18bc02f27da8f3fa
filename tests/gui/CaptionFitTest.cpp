// Every caption fits its control, in English and in every shipped language:
// each window is opened (the main window switched to the language at run
// time), and for every visible control the width of its text as drawn (the
// "&" marks removed) must fit the control's content rectangle as its style
// lays it out, and no two sibling controls may overlap or stick out of their
// parent. With CORVELLIN_CAPTION_SHOTS set to a folder, a picture of every
// window in every language is saved there, with sizes.txt: each window's
// minimum and chosen size.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "PrintTestSeams.h"
#include "RecordingSeam.h"
#include "ScopedConfigHome.h"
#include "TestFiles.h"
#include "app/About.h"
#include "app/MainForm.h"
#include "output/PreviewForm.h"
#include "output/PrintDevice.h"
#include "output/PrintPreviewForm.h"
#include "output/WallpaperOptForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/CaptionFit.h"
#include "settings/LanguageFiles.h"
#include "update/UpdateForm.h"

namespace corvellin {
namespace {

QString Name(const QWidget* w) { return w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName(); }

// The rectangle a button's style draws its caption in, less its icon.
int ButtonTextRoom(const QAbstractButton* b, QStyle::SubElement element, int* height) {
    QStyleOptionButton option;
    option.initFrom(b);
    option.text = b->text();
    option.icon = b->icon();
    option.iconSize = b->iconSize();
    const QRect contents = b->style()->subElementRect(element, &option, b);
    *height = contents.height();
    const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    return contents.width() - icon;
}

// What is wrong with the captions of one control; empty when nothing is.
QStringList CaptionProblems(const QWidget* w) {
    QStringList problems;
    const QFontMetrics metrics(w->font());
    auto check = [&](const QString& text, int room, int roomHeight, int lines) {
        const int width = metrics.horizontalAdvance(text);
        const int textHeight = lines * TextLineHeight(text, w->font());
        if (width > room)
            problems << QString("%1: \"%2\" is %3 wide in %4").arg(Name(w), text).arg(width).arg(room);
        if (textHeight > roomHeight)
            problems << QString("%1: \"%2\" is %3 high in %4").arg(Name(w), text).arg(textHeight).arg(roomHeight);
    };
    const auto* l = qobject_cast<const QLabel*>(w);
    if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty()) {
        const QStyle::SubElement element = qobject_cast<const QCheckBox*>(w)      ? QStyle::SE_CheckBoxContents
                                           : qobject_cast<const QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                                                  : QStyle::SE_PushButtonContents;
        int height = 0;
        const int room = ButtonTextRoom(b, element, &height);
        check(ShownCaption(b->text()), room, height, 1);
    } else if (const auto* g = qobject_cast<const QGroupBox*>(w); g && !g->title().isEmpty()) {
        QStyleOptionGroupBox option;
        option.initFrom(g);
        option.text = g->title();
        option.lineWidth = 1;
        option.textAlignment = g->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
        const QRect inside = label.intersected(g->rect());
        check(ShownCaption(g->title()), inside.width(), inside.height(), 1);
    } else if (l && !l->text().isEmpty() && !l->wordWrap()) {
        const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        const QStringList lines = l->text().split('\n');
        for (const QString& line : lines)
            check(line, room.width(), room.height(), static_cast<int>(lines.size()));
    } else if (l && !l->text().isEmpty()) {
        // A wrapped text needs its lines' height at the label's width.
        const int needed = l->heightForWidth(l->width());
        if (needed > l->height())
            problems << QString("%1: \"%2\" needs %3 high in %4").arg(Name(w), l->text()).arg(needed).arg(l->height());
    } else if (const auto* c = qobject_cast<const QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(c);
        option.editable = c->isEditable();
        option.frame = c->hasFrame();
        const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
        for (int i = 0; i < c->count(); ++i) {
            const int icon = c->itemIcon(i).isNull() ? 0 : c->iconSize().width() + 4;
            check(c->itemText(i), field.width() - icon, field.height(), 1);
        }
    }
    return problems;
}

// A picture filling its parent is a background: everything else stands on it.
bool IsBackground(const QWidget* w) {
    const auto* l = qobject_cast<const QLabel*>(w);
    return l && l->text().isEmpty() && w->geometry() == w->parentWidget()->rect();
}

// Overlapping siblings, and controls that stick out of their parent. A label
// drawn over another with the same text is its shadow, on purpose.
QStringList LayoutProblems(const QWidget* parent) {
    QStringList problems;
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children())
        if (const auto* w = qobject_cast<const QWidget*>(o); w && !w->isWindow() && !w->isHidden() && !IsBackground(w))
            shown << w;
    auto text = [](const QWidget* w) {
        const auto* l = qobject_cast<const QLabel*>(w);
        return l ? l->text() : QString();
    };
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!parent->rect().contains(shown[i]->geometry()))
            problems << QString("%1 sticks out of %2").arg(Name(shown[i]), Name(parent));
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()) &&
                (text(shown[i]).isEmpty() || text(shown[i]) != text(shown[j])))
                problems << QString("%1 overlaps %2").arg(Name(shown[i]), Name(shown[j]));
    }
    return problems;
}

QStringList WindowProblems(const QWidget& window) {
    QStringList problems = LayoutProblems(&window);
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->isWindow()) continue;
        problems << CaptionProblems(w) << LayoutProblems(w);
    }
    return problems;
}

class CaptionFitTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&boxes);
        SetPrintDialogSeam(&answers);
        configHome.emplace(dir.file("config"));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(300, 200, 60, 150, 200), 90));
        std::filesystem::create_directories(dir.file("Languages"));
        for (const auto& entry : std::filesystem::directory_iterator(std::string(CORVELLIN_BIN_DIR) + "/Languages"))
            if (entry.path().extension() == ".ini")
                std::filesystem::copy_file(entry.path(), dir.file("Languages/" + entry.path().filename().string()));
        const QByteArray shots = qgetenv("CORVELLIN_CAPTION_SHOTS");
        if (!shots.isEmpty()) {
            shotFolder = QString::fromLocal8Bit(shots);
            QDir().mkpath(shotFolder);
        }
    }
    void TearDown() override {
        SetDialogSeam(nullptr);
        SetPrintDialogSeam(nullptr);
        ResetCurrentPrinter();
        configHome.reset();
    }

    // Checks one shown window; saves its picture and notes its sizes.
    void Check(QWidget& window, const QString& language, const char* name) {
        window.show();
        QApplication::processEvents();
        const QStringList problems = WindowProblems(window);
        EXPECT_TRUE(problems.isEmpty()) << language.toStdString() << ", " << name << ":\n"
                                        << problems.join('\n').toStdString();
        if (shotFolder.isEmpty()) return;
        window.grab().save(QString("%1/%2-%3.png").arg(shotFolder, language, name));
        const QSize least = window.minimumSize().isEmpty() ? window.minimumSizeHint() : window.minimumSize();
        std::ofstream(QString("%1/sizes.txt").arg(shotFolder).toStdString(), std::ios::app)
            << language.toStdString() << ' ' << name << " minimum " << least.width() << 'x' << least.height()
            << " chosen " << window.width() << 'x' << window.height() << '\n';
    }

    test::TempDir dir;
    test::RecordingSeam boxes;
    test::PrintAnswers answers;
    std::optional<test::ScopedConfigHome> configHome;
    QString shotFolder;
};

TEST_F(CaptionFitTest, EveryWindowInEveryLanguage) {
    TMainForm form(dir.path() + "/");
    struct Language {
        QString code;
        QAction* item;
        int index;
    };
    std::vector<Language> languages{{"en", form.MenuEnglish, -1}};
    for (QAction* item : form.Languages1->actions())
        if (item->data().toInt() >= 0 && item != form.MenuEnglish && !item->isSeparator()) {
            const int index = item->data().toInt();
            const std::string file = form.FileListBoxLanguage[static_cast<std::size_t>(index)];
            languages.push_back({QString::fromStdString(file.substr(0, file.size() - 4)), item, index});
        }
    ASSERT_GE(languages.size(), 8u) << "English and the seven shipped translations";

    TAboutForm about(nullptr);  // not translated
    Check(about, "en", "about");

    for (const Language& language : languages) {
        SCOPED_TRACE(language.code.toStdString());
        const std::string file = form.LanguageFilePath(language.index);
        language.item->trigger();
        // The category with the slider and Apply, Undo and Redo in one row.
        form.suitempButtonArtClick(form.ButtonArt);
        Check(form, language.code, "main");
        // The Edge colour list.
        form.suitempButtonEdgeClick(form.ButtonEdge);
        Check(form, language.code, "main-edge");

        TPrintPreviewForm print(language.index, file);
        print.ImageWidthPx = print.ImageHeightPx = print.PageWidthPx = print.PageHeightPx = 100;
        Check(print, language.code, "print-layout");
        // The main window's bold picture captions share their names with the
        // print dialog's labels, not their look.
        EXPECT_TRUE(form.Label1->font().bold());
        EXPECT_FALSE(print.Label1->font().bold());
        TWallpaperOptForm wallpaper(nullptr, language.index, file);
        Check(wallpaper, language.code, "wallpaper");
        TUpdateForm update(nullptr, dir.path() + "/", "http://127.0.0.1:9/update.ini");
        update.LoadCaptions(language.index, file);
        Check(update, language.code, "update");
        update.suitempButtonCancelClick();
        TPreviewForm preview(nullptr, language.index, file);
        preview.ShownPicture = test::SolidPicture(64, 48, 10, 20, 30);
        Check(preview, language.code, "full-screen");
        preview.hide();
        wallpaper.hide();
        print.hide();
    }

    // Back to English: the layout is the design's again.
    form.MenuEnglish->trigger();
    form.suitempButtonArtClick(form.ButtonArt);
    Check(form, "en", "main-again");
    EXPECT_EQ(form.BitBtnApply->geometry(), QRect(628, 296, 75, 25));
    EXPECT_EQ(form.BitBtnReDo->geometry(), QRect(790, 296, 75, 25));
    EXPECT_EQ(form.TrackBarValue->width(), kTrackBarWidth);
    EXPECT_EQ(form.Label1->pos(), QPoint(42, 8));
    form.close();
}

}  // namespace
}  // namespace corvellin
