// The main window without a mouse and through assistive technology: Tab
// reaches the thumbnails, the arrow keys move among them, Enter and Space
// preview as a click does, the focus is drawn; every control has a name and
// a role, the thumbnails the names of their variations, in English and in a
// translation.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "effects/VariationNames.h"
#include "picture/JpegCodec.h"
#include "settings/LanguageFiles.h"

namespace corvellin {
namespace {

class KeyboardAccessibility : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/pic", dir.file("pic"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/Languages", dir.file("Languages"),
                              std::filesystem::copy_options::recursive);
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(400, 267, 11), 90));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }

    test::TempDir dir;
    test::RecordingSeam seam;
    std::unique_ptr<TMainForm> form;
};

QString Name(QObject* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name) : QString();
}

QAccessible::Role RoleOf(QObject* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->role() : QAccessible::NoRole;
}

TEST_F(KeyboardAccessibility, TabArrowsEnterAndSpaceWorkTheThumbnailsAsClicksDo) {
    TMainForm& f = *form;
    // What clicks on thumbnails 2 and 4 preview.
    QTest::mouseClick(f.Thumbnails[2], Qt::LeftButton);
    const Picture clicked2 = f.PreviewPicture();
    QTest::mouseClick(f.Thumbnails[4], Qt::LeftButton);
    const Picture clicked4 = f.PreviewPicture();
    ASSERT_NE(clicked2, clicked4);

    f.ButtonFrame->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    ASSERT_EQ(Focused(), f.Thumbnails[0]) << "Tab after the tool bar goes into the thumbnails";
    const struct {
        Qt::Key key;
        int then;
    } moves[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 6}, {Qt::Key_Down, 6}, {Qt::Key_Left, 5}, {Qt::Key_Up, 0},
                 {Qt::Key_Left, 0},  {Qt::Key_End, 9},  {Qt::Key_Right, 9}, {Qt::Key_Home, 0}, {Qt::Key_Right, 1},
                 {Qt::Key_Right, 2}};
    for (const auto& move : moves) {
        QTest::keyClick(Focused(), move.key);
        EXPECT_EQ(Focused(), f.Thumbnails[static_cast<std::size_t>(move.then)]) << "key " << move.key;
    }
    // The focus is drawn: a ring in the highlight colour.
    const QImage focused = f.Thumbnails[2]->grab().toImage();
    EXPECT_EQ(focused.pixelColor(1, 1), f.Thumbnails[2]->palette().color(QPalette::Highlight));
    EXPECT_EQ(focused.pixelColor(75, 1), f.Thumbnails[2]->palette().color(QPalette::Highlight));

    QTest::keyClick(Focused(), Qt::Key_Space);
    EXPECT_EQ(f.CurrentVariation, 2);
    EXPECT_TRUE(f.BitBtnApply->isEnabled());
    EXPECT_EQ(f.PreviewPicture(), clicked2);
    QTest::keyClick(Focused(), Qt::Key_Right);
    QTest::keyClick(Focused(), Qt::Key_Right);
    QTest::keyClick(Focused(), Qt::Key_Return);
    EXPECT_EQ(f.CurrentVariation, 4);
    EXPECT_EQ(f.PreviewPicture(), clicked4);
    EXPECT_NE(f.Thumbnails[2]->grab().toImage().pixelColor(1, 1), f.Thumbnails[2]->palette().color(QPalette::Highlight))
        << "the ring follows the focus";

    // Tab leaves the panel for the next control, here Apply; Shift+Tab comes back to the same thumbnail.
    QTest::keyClick(Focused(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), f.BitBtnApply) << (Focused() ? Focused()->objectName().toStdString() : "none");
    QTest::keyClick(Focused(), Qt::Key_Backtab);
    EXPECT_EQ(Focused(), f.Thumbnails[4]);

    // The accessible press action of a thumbnail is a click too.
    QAccessibleInterface* thumb = QAccessible::queryAccessibleInterface(f.Thumbnails[2]);
    ASSERT_NE(thumb, nullptr);
    ASSERT_NE(thumb->actionInterface(), nullptr);
    thumb->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(f.CurrentVariation, 2);
    EXPECT_EQ(f.PreviewPicture(), clicked2);
}

TEST_F(KeyboardAccessibility, EveryControlHasANameAndARoleInEnglishAndInGerman) {
    TMainForm& f = *form;
    int german = -1;
    for (std::size_t i = 0; i < f.FileListBoxLanguage.size(); ++i)
        if (f.FileListBoxLanguage[i] == "de.ini") german = static_cast<int>(i);
    ASSERT_GE(german, 0);
    const IniFile de = LoadLanguageFile(dir.file("Languages/de.ini"));

    for (const bool translated : {false, true}) {
        SCOPED_TRACE(translated ? "Deutsch" : "English");
        if (translated) {
            for (QAction* a : f.Languages1->actions())
                if (a->data().toInt() == german && a->isCheckable()) a->trigger();
            ASSERT_EQ(f.LanguageIndex, german);
        }
        // The text a key shows in this language, without its underline mark.
        auto text = [&](const char* key) {
            QString t = QString::fromStdString(translated ? Translate(de, key, key) : std::string(key));
            return t.remove('&');
        };
        for (int category : {1, 4, 12}) {
            f.CategoryButton(category)->click();
            for (ImageView* thumb : f.Thumbnails) {
                const std::string key = VariationName(category, thumb->Tag);
                ASSERT_FALSE(key.empty());
                EXPECT_EQ(Name(thumb), text(key.c_str())) << key;
                EXPECT_EQ(thumb->toolTip(), text(key.c_str())) << key;
                EXPECT_EQ(RoleOf(thumb), QAccessible::Button);
            }
        }
        if (translated) EXPECT_NE(Name(f.Thumbnails[5]), "mosaic");

        const struct {
            QObject* control;
            QAccessible::Role role;
            const char* key;  // the name's caption key; null: the control's own text
        } controls[] = {
            {f.menuBar(), QAccessible::MenuBar, "Menu bar"},
            {f.PanelLeftToolbar, QAccessible::NoRole, "Tool bar"},
            {f.PanelPicture, QAccessible::Grouping, "Source Picture"},
            {f.ImageScreen, QAccessible::Graphic, "Source Picture"},
            {f.PanelPreview, QAccessible::Grouping, "Preview (Double click to full screen)"},
            {f.ImagePreview, QAccessible::Graphic, "Preview (Double click to full screen)"},
            {f.PanelEffect, QAccessible::Grouping, "Effect variations"},
            {f.TrackBarValue, QAccessible::Slider, "Effect value"},
            {f.EditValue, QAccessible::EditableText, "Effect value"},
            {f.suiProgressBar1, QAccessible::ProgressBar, "Progress"},
            {f.StatusBar1, QAccessible::StatusBar, "Status bar"},
            {f.Label1, QAccessible::StaticText, "Source Picture"},
            {f.Label2, QAccessible::StaticText, "Preview (Double click to full screen)"},
            {f.BitBtnApply, QAccessible::Button, "&Apply"},
            {f.BitBtnUndo, QAccessible::Button, "&UnDo"},
            {f.BitBtnReDo, QAccessible::Button, "&Redo"},
            {f.ButtonStar, QAccessible::Button, "&Star"},
            {f.BitBtnOpen, QAccessible::Button, "&Open"},
            {f.StatusPanels[0], QAccessible::StaticText, nullptr},
            {f.StatusPanels[1], QAccessible::StaticText, nullptr},
        };
        for (const auto& c : controls) {
            const QString name = Name(c.control);
            EXPECT_FALSE(name.isEmpty()) << c.control->objectName().toStdString();
            if (c.key) EXPECT_EQ(name, text(c.key)) << c.control->objectName().toStdString();
            const QAccessible::Role role = RoleOf(c.control);
            EXPECT_NE(role, QAccessible::NoRole) << c.control->objectName().toStdString();
            if (c.role != QAccessible::NoRole) EXPECT_EQ(role, c.role) << c.control->objectName().toStdString();
        }
        // A combo box's accessible name on this platform is its current item (the
        // colour); its own name is the property a label relation would give.
        EXPECT_EQ(RoleOf(f.ColorBoxEdge), QAccessible::ComboBox);
        EXPECT_FALSE(Name(f.ColorBoxEdge).isEmpty());
        EXPECT_EQ(f.ColorBoxEdge->accessibleName(), text("Edge color"));
        // Every button of the tool bar, every menu and every menu item.
        for (QPushButton* b : f.PanelLeftToolbar->findChildren<QPushButton*>()) {
            EXPECT_FALSE(Name(b).isEmpty()) << b->objectName().toStdString();
            EXPECT_EQ(RoleOf(b), QAccessible::Button);
        }
        for (QAction* top : f.menuBar()->actions()) {
            QMenu* menu = top->menu();
            ASSERT_NE(menu, nullptr);
            EXPECT_FALSE(menu->title().isEmpty());
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) EXPECT_FALSE(a->text().isEmpty()) << a->objectName().toStdString();
        }
    }
}

}  // namespace
}  // namespace corvellin
