// The real picture dialogs behind the seam, driven through their own widgets.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "platform/qt/Dialogs.h"

namespace corvellin {
namespace {

// Runs act on the file dialog once it is up, inside its modal loop.
void WhenDialogShows(std::function<void(QFileDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

FileDialogRequest SaveRequest(const std::string& folder, QString* extension) {
    FileDialogRequest request;
    request.save = true;
    request.title = "Save As";
    request.filters = {{"JPG Format (small file size)", {"*.jpg"}}, {"BMP Format (high quality)", {"*.bmp"}}};
    request.filterEntry = 1;
    request.fileName = QString::fromStdString(folder + "/first.jpg");
    request.defaultExtension = "jpg";
    request.filterChanged = [extension](int entry) {
        *extension = entry == 2 ? "bmp" : "jpg";
        return *extension;
    };
    return request;
}

TEST(RealSaveDialog, TheChosenFilterEntrySetsExtensionAndFormat) {
    test::TempDir dir;
    SetDialogSeam(nullptr);
    struct Case {
        int entry;  // the filter entry the user picks
        const char* expectedName;
    };
    for (const Case c : {Case{2, "/photo.bmp"}, Case{1, "/photo.jpg"}}) {
        QString extension;
        WhenDialogShows([&](QFileDialog* dialog) {
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(types, nullptr);
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(types->itemText(0), "JPG Format (small file size)");
            EXPECT_EQ(types->itemText(1), "BMP Format (high quality)");
            // The user first picks the other entry, then settles on this one: a
            // pick in the list reports both the index and the text.
            for (const int index : {2 - c.entry, c.entry - 1}) {
                types->setCurrentIndex(index);
                emit types->activated(index);
                emit types->textActivated(types->itemText(index));
            }
            name->setText("photo");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<FileDialogAnswer> answer = Dialogs().fileDialog(nullptr, SaveRequest(dir.path(), &extension));
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->filterEntry, c.entry);
        EXPECT_EQ(answer->path.toStdString(), dir.path() + c.expectedName);
        EXPECT_EQ(extension, c.entry == 2 ? "bmp" : "jpg");
    }
}

}  // namespace
}  // namespace corvellin
