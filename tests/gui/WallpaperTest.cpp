// Set Wallpaper: the option dialog, and the command end to end into the
// desktops' real services: the desktop portal, GSettings in a keyfile or in
// dconf, Xfce's xfconf. Each such case runs in a child process of this test
// program with its own HOME, data folder, settings backend and session bus,
// because GIO fixes its backend, schemas and bus once per process.
// GIO before Qt: Qt defines "signals" as a word of its own.
#include <gio/gio.h>

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "Mounts.h"
#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "output/DesktopWallpaper.h"
#include "output/WallpaperOptForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Shell.h"
#include "settings/CaptionCatalog.h"

namespace corvellin {
namespace {

using test::TempDir;

constexpr const char* kChildVariable = "CORVELLIN_WALLPAPER_CHILD";

// ---- The option dialog --------------------------------------------------------

class WallpaperOptFormTest : public ::testing::Test {
protected:
    void SetUp() override { SetDialogSeam(&seam); }
    void TearDown() override { SetDialogSeam(nullptr); }
    test::RecordingSeam seam;
};

TEST_F(WallpaperOptFormTest, LayoutStartsWithCenterAndEachChoiceShowsItsPicture) {
    TWallpaperOptForm form(nullptr, -1, "");
    EXPECT_EQ(form.windowTitle(), "Desktop Wallpaper Option");
    EXPECT_EQ(form.size(), QSize(416, 311));
    EXPECT_FALSE(form.Confirmed);
    EXPECT_TRUE(form.RadioButtonCenter->isChecked());
    EXPECT_EQ(form.RadioButtonCenter->text(), "Center");
    EXPECT_EQ(form.RadioButtonTile->text(), "Tile");
    EXPECT_EQ(form.RadioButtonStretch->text(), "Stretch");
    EXPECT_EQ(form.BitBtnOK->text(), "&OK");
    EXPECT_EQ(form.BitBtnCancel->text(), "&Cancel");
    EXPECT_EQ(form.RadioButtonTile->pos(), QPoint(48, 116));
    EXPECT_EQ(form.BitBtnOK->geometry(), QRect(102, 256, 75, 25));
    EXPECT_EQ(form.BitBtnCancel->geometry(), QRect(246, 256, 75, 25));
    EXPECT_EQ(form.Bevel1->geometry(), QRect(24, 215, 377, 18));
    EXPECT_EQ(form.ImageTile->size(), QSize(178, 161));
    EXPECT_EQ(form.ImageCenter->size(), QSize(178, 160));

    struct Case {
        QRadioButton* button;
        QLabel* shown;
        int style;
    };
    const Case cases[] = {{form.RadioButtonTile, form.ImageTile, 1},
                          {form.RadioButtonStretch, form.ImageStretch, 2},
                          {form.RadioButtonCenter, form.ImageCenter, 0}};
    for (const Case& c : cases) {
        c.button->click();
        EXPECT_EQ(form.Style(), c.style);
        for (QLabel* image : {form.ImageCenter, form.ImageTile, form.ImageStretch}) {
            EXPECT_EQ(!image->isHidden(), image == c.shown) << image->objectName().toStdString();
            if (image == c.shown) {
                EXPECT_EQ(image->pos(), QPoint(200, 49));
            }
        }
    }
    // The three pictures differ: each shows its own style.
    EXPECT_NE(TWallpaperOptForm::Illustration(0), TWallpaperOptForm::Illustration(2));
    EXPECT_NE(TWallpaperOptForm::Illustration(0).copy(0, 0, 178, 160),
              TWallpaperOptForm::Illustration(1).copy(0, 0, 178, 160));
}

TEST_F(WallpaperOptFormTest, OkWithoutAChoiceAsksForOneAndCancelConfirmsNothing) {
    TWallpaperOptForm form(nullptr, -1, "");
    for (QRadioButton* b : {form.RadioButtonCenter, form.RadioButtonTile, form.RadioButtonStretch}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    form.BitBtnOK->click();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(seam.boxes[0].title, "Information");
    EXPECT_EQ(seam.boxes[0].text, "Please select an option for wallpaper!");
    EXPECT_FALSE(form.Confirmed);
    EXPECT_EQ(form.result(), QDialog::Rejected);

    form.RadioButtonTile->click();
    form.BitBtnOK->click();
    EXPECT_TRUE(form.Confirmed);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Style(), 1);

    TWallpaperOptForm cancelled(nullptr, -1, "");
    cancelled.BitBtnCancel->click();
    EXPECT_FALSE(cancelled.Confirmed);
    EXPECT_EQ(seam.boxes.size(), 1u);
}

TEST_F(WallpaperOptFormTest, CaptionsComeFromTheLanguageFile) {
    TempDir dir;
    const std::string file = dir.file("de.ini");
    std::ofstream(file) << "[Info]\nLanguage=Deutsch\n[String]\nDesktop Wallpaper Option=Hintergrundbild\n"
                           "Center=Mitte\nTile=Kacheln\n&Cancel=&Abbrechen\n"
                           "Please select an option for wallpaper!=Bitte eine Option w\xc3\xa4hlen!\n";
    TWallpaperOptForm form(nullptr, 0, file);
    EXPECT_EQ(form.windowTitle(), "Hintergrundbild");
    EXPECT_EQ(form.RadioButtonCenter->text(), "Mitte");
    EXPECT_EQ(form.RadioButtonTile->text(), "Kacheln");
    EXPECT_EQ(form.RadioButtonStretch->text(), "Stretch");  // untranslated: the built-in text
    EXPECT_EQ(form.BitBtnCancel->text(), "&Abbrechen");
    EXPECT_EQ(form.Message, QString::fromUtf8("Bitte eine Option w\xc3\xa4hlen!"));
}

TEST(WallpaperStyleTest, StylesMapToPictureOptions) {
    EXPECT_STREQ(WallpaperPictureOption(0), "centered");
    EXPECT_STREQ(WallpaperPictureOption(1), "wallpaper");
    EXPECT_STREQ(WallpaperPictureOption(2), "stretched");
    EXPECT_EQ(XfceImageStyle(0), 1);
    EXPECT_EQ(XfceImageStyle(1), 2);
    EXPECT_EQ(XfceImageStyle(2), 3);
}

TEST(WallpaperStyleTest, DesktopIsTheFirstKnownNameOfXdgCurrentDesktop) {
    const struct {
        const char* value;
        WallpaperDesktop desktop;
    } cases[] = {
        {"", WallpaperDesktop::Unnamed},           {"GNOME", WallpaperDesktop::Gnome},
        {"ubuntu:GNOME", WallpaperDesktop::Gnome}, {"Budgie:GNOME", WallpaperDesktop::Gnome},
        {"X-Cinnamon", WallpaperDesktop::Cinnamon}, {"mate", WallpaperDesktop::Mate},
        {"XFCE", WallpaperDesktop::Xfce},          {"KDE", WallpaperDesktop::Unknown},
        {"sway:wlroots", WallpaperDesktop::Unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(DesktopFromName(c.value), c.desktop) << c.value;
}

// ---- The command ----------------------------------------------------------------

// The editor with masks for Preset and Star, the picture in.jpg opened, Preset 3
// applied, Star 5 applied and undone, and Star 2 only previewed: the committed
// history is the one call 1:3.
struct EditorSetup {
    TempDir dir;
    test::RecordingSeam seam;
    std::unique_ptr<TMainForm> form;
    std::string picDir;
    std::string input;

    EditorSetup() {
        SetDialogSeam(&seam);
        picDir = dir.path() + "/pic";
        for (int category : {1, 6})
            for (int n = 1; n <= 10; ++n)
                test::WriteMaskFile(picDir, category, n,
                                    test::RandomPicture(48, 32, static_cast<std::uint32_t>(category * 100 + n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(320, 200, 3), 90));
        input = dir.file("in.jpg");
        test::WriteBytes(input, EncodeJpeg(test::RandomPicture(700, 430, 5), 90));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        seam.answers.push_back({QString::fromStdString(input), 1});
        form->suitempBitBtnOpenClick();
        form->ImageClick(form->Thumbnails[3]);
        form->suitempBitBtnApplyClick();
        form->suitempButtonStarClick(form->ButtonStar);
        form->ImageClick(form->Thumbnails[5]);
        form->suitempBitBtnApplyClick();
        form->suitempBitBtnUndoClick();
        form->ImageClick(form->Thumbnails[2]);
    }
    ~EditorSetup() {
        form.reset();
        SetDialogSeam(nullptr);
        SetModalRunner({});
    }
    // The option dialog answers with a style (-1: Cancel); counts its showings.
    int shown = 0;
    void AnswerDialog(int style) {
        SetModalRunner([this, style](QDialog& dialog) {
            ++shown;
            auto* options = qobject_cast<TWallpaperOptForm*>(&dialog);
            if (!options || style < 0) {
                if (options) options->BitBtnCancel->click();
                return static_cast<int>(QDialog::Rejected);
            }
            QRadioButton* buttons[] = {options->RadioButtonCenter, options->RadioButtonTile,
                                       options->RadioButtonStretch};
            buttons[style]->click();
            options->BitBtnOK->click();
            return dialog.result();
        });
    }
    // The BMP that corvellin-fx writes for the committed history.
    std::vector<std::uint8_t> FxBmp() {
        const std::string out = dir.file("fx.bmp");
        const std::string command = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx apply --pic-dir '" + picDir +
                                    "' '" + input + "' '" + out + "' 1:3";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return test::ReadBytes(out);
    }
};

// A folder whose "TarnwickDesktop.bmp" path has exactly the given length.
std::string FolderForPathLength(const std::string& base, int length) {
    std::string folder = base + "/";
    const int needed = length - static_cast<int>(std::string(kWallpaperFileName).size());
    while (static_cast<int>(folder.size()) < needed) {
        const int room = needed - static_cast<int>(folder.size()) - 1;  // one for the '/'
        folder += std::string(static_cast<std::size_t>(std::min(room, 200)), 'd') + "/";
    }
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(WallpaperCommandTest, CancelEmptyPictureAndOverLongPathChangeNothing) {
    EditorSetup setup;
    TMainForm& f = *setup.form;
    const std::string programFile = setup.dir.file(kWallpaperFileName);

    setup.AnswerDialog(-1);
    f.suiButtonWallPaperClick();
    EXPECT_EQ(setup.shown, 1);
    EXPECT_FALSE(std::filesystem::exists(programFile));
    EXPECT_TRUE(setup.seam.boxes.empty());

    // 260 characters: refused before the replay, nothing written.
    const std::string folder = FolderForPathLength(setup.dir.path() + "/long", 260);
    f.ProgramDir = folder;
    ASSERT_EQ(f.WallpaperFilePath().size(), 260u);
    // A replay would start the bar at 0: a position of our own shows none ran.
    f.suiProgressBar1->setPosition(-5);
    setup.AnswerDialog(0);
    f.suiButtonWallPaperClick();
    ASSERT_EQ(setup.seam.boxes.size(), 1u);
    EXPECT_EQ(setup.seam.boxes[0].title, "Error");
    EXPECT_TRUE(setup.seam.boxes[0].text.startsWith("The wallpaper file path is too long: 260 characters, at most 259"))
        << setup.seam.boxes[0].text.toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder + kWallpaperFileName));
    EXPECT_EQ(f.suiProgressBar1->positionsSinceShown().back(), -5);
    EXPECT_EQ(f.suiProgressBar1->position(), -5);

    // No picture: a message, and no dialog.
    f.FullSizePicture = Picture();
    setup.shown = 0;
    f.suiButtonWallPaperClick();
    EXPECT_EQ(setup.shown, 0);
    ASSERT_EQ(setup.seam.boxes.size(), 2u);
    EXPECT_EQ(setup.seam.boxes[1].title, "Information");
    EXPECT_EQ(setup.seam.boxes[1].text, kNoWallpaperPictureText);
}

// ---- The command into the desktop's real services (child processes) -------------
//
// Each case gets its own HOME, data and runtime folders and, where it needs
// one, a private session bus (dbus-daemon started here, with only the services
// the case names) and for the portal a private Xvfb display. The machine's own
// bus, display and settings are never reached: their variables are removed.

enum class Store { Keyfile, Dconf, Memory };
enum class Folder { Writable, ReadOnly, Path259 };
// Settings: dconf and xfconf can be started on the bus; Portal: the desktop
// portal, its permission store and GNOME's portal back end as well.
enum class Bus { None, Settings, Portal };
enum class Setup {
    None, NoSchema, PortalAllowed, PortalDenied, XfceMonitors, NoXfconfQuery,
    // The test's own portal answers 0 (success), 1 (cancelled) or 2 (failed).
    FakePortalSuccess, FakePortalCancelled, FakePortalFailed
};

// A value read back from the store after the command. value may be "{uri}"
// (the wallpaper file's address), "{path}" (its path) or "{picture}" (a file,
// named by the value, that holds the wallpaper's bytes).
struct StoredValue {
    const char* tool;   // "gsettings" (where: schema) or "xfconf" (where: property)
    const char* where;
    const char* key;
    const char* value;
};

struct DesktopCase {
    const char* name;
    const char* desktop;  // XDG_CURRENT_DESKTOP; nullptr: not set
    Store store;
    Bus bus;
    Setup setup;
    int style;
    Folder folder;
    std::vector<StoredValue> stored;
    const char* error;  // the reason shown in the error box; nullptr: silent success
    const char* detail = nullptr;  // part of the box's last line
    const char* notice = nullptr;  // the information box instead of silent success
};

constexpr const char* kMonitorA = "/backdrop/screen0/monitorVirtual1/workspace0";
constexpr const char* kMonitorB = "/backdrop/screen0/monitorHDMI-1/workspace0";

const DesktopCase kDesktopCases[] = {
    // No bus, no named desktop: GNOME's schema as the last resort, in a keyfile.
    {"Center", nullptr, Store::Keyfile, Bus::None, Setup::None, 0, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-uri-dark", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "centered"}},
     nullptr},
    {"Tile", nullptr, Store::Keyfile, Bus::None, Setup::None, 1, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "wallpaper"}},
     nullptr},
    {"Stretch", nullptr, Store::Keyfile, Bus::None, Setup::None, 2, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "stretched"}},
     nullptr},
    {"ReadOnlyProgramFolder", nullptr, Store::Keyfile, Bus::None, Setup::None, 1, Folder::ReadOnly,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "wallpaper"}},
     nullptr},
    {"PathOf259Characters", nullptr, Store::Keyfile, Bus::None, Setup::None, 2, Folder::Path259,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "stretched"}},
     nullptr},
    {"NoSchema", nullptr, Store::Keyfile, Bus::None, Setup::NoSchema, 0, Folder::Writable, {},
     kNoWallpaperSettingsText, kBackgroundSchema},
    {"MemoryOnlyStore", nullptr, Store::Memory, Bus::None, Setup::None, 0, Folder::Writable, {},
     kMemoryOnlyStoreText},
    {"UnknownDesktop", "KDE", Store::Keyfile, Bus::None, Setup::None, 0, Folder::Writable, {}, kUnknownDesktopText,
     "XDG_CURRENT_DESKTOP=KDE"},
    // The real portal and GNOME's back end: the picture through the portal,
    // the style through GNOME's own setting, both in dconf on the private bus.
    {"GnomePortal", "GNOME", Store::Dconf, Bus::Portal, Setup::PortalAllowed, 1, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{picture}"},
      {"gsettings", kBackgroundSchema, "picture-uri-dark", "{picture}"},
      {"gsettings", kBackgroundSchema, "picture-options", "wallpaper"}},
     nullptr},
    {"GnomePortalDenied", "GNOME", Store::Dconf, Bus::Portal, Setup::PortalDenied, 1, Folder::Writable, {},
     kPortalFailedText, "org.freedesktop.portal.Wallpaper"},
    // The portal's three answers: the style still goes to GNOME's own setting
    // after a success; a cancelled request is said so; a failure is an error.
    {"FakePortalSuccess", "GNOME", Store::Dconf, Bus::Settings, Setup::FakePortalSuccess, 2, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-options", "stretched"}},
     nullptr},
    {"FakePortalCancelled", "GNOME", Store::Dconf, Bus::Settings, Setup::FakePortalCancelled, 2, Folder::Writable, {},
     nullptr, nullptr, kWallpaperCancelledText},
    {"FakePortalFailed", "GNOME", Store::Dconf, Bus::Settings, Setup::FakePortalFailed, 2, Folder::Writable, {},
     kPortalFailedText, "org.freedesktop.portal.Wallpaper"},
    // No portal on the bus: each desktop's own settings in dconf.
    {"GnomeDconf", "ubuntu:GNOME", Store::Dconf, Bus::Settings, Setup::None, 2, Folder::Writable,
     {{"gsettings", kBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-uri-dark", "{uri}"},
      {"gsettings", kBackgroundSchema, "picture-options", "stretched"}},
     nullptr},
    {"CinnamonDconf", "X-Cinnamon", Store::Dconf, Bus::Settings, Setup::None, 0, Folder::Writable,
     {{"gsettings", kCinnamonBackgroundSchema, "picture-uri", "{uri}"},
      {"gsettings", kCinnamonBackgroundSchema, "picture-options", "centered"}},
     nullptr},
    {"MateDconf", "MATE", Store::Dconf, Bus::Settings, Setup::None, 1, Folder::Writable,
     {{"gsettings", kMateBackgroundSchema, "picture-filename", "{path}"},
      {"gsettings", kMateBackgroundSchema, "picture-options", "wallpaper"}},
     nullptr},
    {"DconfWithoutSessionBus", "GNOME", Store::Dconf, Bus::None, Setup::None, 0, Folder::Writable, {},
     kNoSessionBusText},
    // Xfce: the real xfconfd on the private bus, two monitors already known.
    {"XfceXfconf", "XFCE", Store::Keyfile, Bus::Settings, Setup::XfceMonitors, 2, Folder::Writable,
     {{"xfconf", kMonitorA, "last-image", "{path}"},
      {"xfconf", kMonitorA, "image-style", "3"},
      {"xfconf", kMonitorB, "last-image", "{path}"},
      {"xfconf", kMonitorB, "image-style", "3"}},
     nullptr},
    {"XfceWithoutMonitors", "XFCE", Store::Keyfile, Bus::Settings, Setup::None, 0, Folder::Writable, {},
     kNoXfceMonitorText},
    {"XfceWithoutXfconfQuery", "XFCE", Store::Keyfile, Bus::None, Setup::NoXfconfQuery, 0, Folder::Writable, {},
     kNoXfconfQueryText},
};

void PrintTo(const DesktopCase& c, std::ostream* out) { *out << c.name; }

std::string RunTool(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed().toStdString();
}

std::string ReadLine(QProcess& process) {
    while (!process.canReadLine() && process.waitForReadyRead(30000)) {
    }
    return QString::fromUtf8(process.readLine()).trimmed().toStdString();
}

// A private session bus (and, for the portal, a private X display) that lives
// as long as the object; the services it starts get env as their environment.
class PrivateSession {
public:
    PrivateSession(QProcessEnvironment& env, const TempDir& dir, bool portal) {
        if (portal) {
            // GNOME's portal back end is a GTK program: it needs a display.
            xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
            const std::string number = ReadLine(xvfb_);
            if (!number.empty()) env.insert("DISPLAY", QString::fromStdString(":" + number));
        }
        const std::string services = dir.file("services");
        std::filesystem::create_directories(services);
        std::vector<std::string> names = {"ca.desrt.dconf", "org.xfce.Xfconf"};
        if (portal)
            names.insert(names.end(), {"org.freedesktop.portal.Desktop", "org.freedesktop.impl.portal.PermissionStore",
                                       "org.freedesktop.impl.portal.desktop.gnome"});
        for (const std::string& name : names)
            std::filesystem::copy_file("/usr/share/dbus-1/services/" + name + ".service",
                                       services + "/" + name + ".service");
        const std::string config = dir.file("session.conf");
        // The session bus's own policy; only the service folder is ours.
        std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                 "<busconfig><type>session</type><keep_umask/><listen>unix:dir="
                              << dir.path() << "</listen><auth>EXTERNAL</auth><servicedir>" << services
                              << "</servicedir><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                 "<allow own=\"*\"/></policy></busconfig>\n";
        bus_.setProcessEnvironment(env);
        bus_.start("dbus-daemon", {QString::fromStdString("--config-file=" + config), "--nofork", "--print-address=1"});
        address = ReadLine(bus_);
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(address));
    }
    ~PrivateSession() {
        // The bus first: the services it started leave with it.
        for (QProcess* p : {&bus_, &xvfb_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            p->waitForFinished(30000);
        }
    }
    std::string address;

private:
    QProcess xvfb_;
    QProcess bus_;
};

// A desktop portal of the test's own on the private bus, for the answers the
// real one gives only after a person's choice: it answers every
// SetWallpaperURI with one Response code and keeps what it was asked.
class FakePortal {
public:
    FakePortal(const std::string& address, guint32 code) : code_(code) {
        context_ = g_main_context_new();
        loop_ = g_main_loop_new(context_, FALSE);
        std::promise<bool> ready;
        std::future<bool> started = ready.get_future();
        thread_ = std::thread([this, address, &ready] {
            g_main_context_push_thread_default(context_);
            ready.set_value(Start(address));
            g_main_loop_run(loop_);
            if (bus_) {
                g_dbus_connection_close_sync(bus_, nullptr, nullptr);
                g_object_unref(bus_);
            }
            g_main_context_pop_thread_default(context_);
        });
        owned = started.get();
    }
    ~FakePortal() {
        g_main_context_invoke(context_, [](gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); return G_SOURCE_REMOVE; }, loop_);
        thread_.join();
        g_main_loop_unref(loop_);
        g_main_context_unref(context_);
    }
    // Each call as "parent window|uri|show-preview|set-on".
    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    bool owned = false;

private:
    bool Start(const std::string& address) {
        static const char* kXml =
            "<node><interface name='org.freedesktop.portal.Wallpaper'>"
            "<method name='SetWallpaperURI'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
            "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
            "<property name='version' type='u' access='read'/></interface></node>";
        bus_ = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        if (!bus_) return false;
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kXml, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakePortal::OnCall, &FakePortal::OnGet, nullptr, {}};
        const guint id = g_dbus_connection_register_object(bus_, "/org/freedesktop/portal/desktop", node->interfaces[0],
                                                           &vtable, this, nullptr, nullptr);
        g_dbus_node_info_unref(node);
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE,
            30000, nullptr, nullptr);
        guint32 result = 0;
        if (reply) {
            g_variant_get(reply, "(u)", &result);
            g_variant_unref(reply);
        }
        return id != 0 && result == 1;  // the primary owner
    }
    static GVariant* OnGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GError**,
                           gpointer) {
        return std::string(name) == "version" ? g_variant_new_uint32(1) : nullptr;
    }
    static void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<FakePortal*>(data);
        const gchar* parent = nullptr;
        const gchar* uri = nullptr;
        GVariant* options = nullptr;
        g_variant_get(parameters, "(&s&s@a{sv})", &parent, &uri, &options);
        gboolean preview = TRUE;
        const gchar* setOn = "";
        const gchar* token = "t";
        g_variant_lookup(options, "show-preview", "b", &preview);
        g_variant_lookup(options, "set-on", "&s", &setOn);
        g_variant_lookup(options, "handle_token", "&s", &token);
        {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->calls_.push_back(std::string(parent) + "|" + uri + "|" + (preview ? "true" : "false") + "|" + setOn);
        }
        // The request object a portal names after the caller and its token.
        std::string caller = sender + 1;
        std::replace(caller.begin(), caller.end(), '.', '_');
        const std::string handle = "/org/freedesktop/portal/desktop/request/" + caller + "/" + token;
        g_variant_unref(options);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", handle.c_str()));
        g_dbus_connection_emit_signal(bus, sender, handle.c_str(), "org.freedesktop.portal.Request", "Response",
                                      g_variant_new("(u@a{sv})", self->code_, g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0)),
                                      nullptr);
    }

    guint32 code_;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    GDBusConnection* bus_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> calls_;
};

class WallpaperDesktopTest : public ::testing::TestWithParam<DesktopCase> {};

// The stored value as the store's own tool reads it.
std::string ReadStored(const StoredValue& v) {
    if (std::string(v.tool) == "gsettings") return RunTool("gsettings", {"get", v.where, v.key});
    return RunTool("xfconf-query", {"-c", "xfce4-desktop", "-p", QString("%1/%2").arg(v.where, v.key)});
}

// The child: runs the command in this process's own environment and checks the
// store with its own tools.
void RunChild(const DesktopCase& c, const std::string& readOnlyFolder) {
    // GIO and dconf find the user's store under the same folder as the
    // services on the private bus do.
    ::setenv("XDG_CONFIG_HOME", (std::string(std::getenv("HOME")) + "/.config").c_str(), 1);
    EditorSetup setup;
    TMainForm& f = *setup.form;
    std::string expectedFolder = setup.dir.path() + "/";
    if (c.folder == Folder::ReadOnly) {
        f.ProgramDir = readOnlyFolder;
        expectedFolder = std::string(std::getenv("XDG_DATA_HOME")) + "/Corvellin Photo/";
    } else if (c.folder == Folder::Path259) {
        f.ProgramDir = FolderForPathLength(setup.dir.path() + "/long", 259);
        expectedFolder = f.ProgramDir;
    }
    const std::string file = expectedFolder + kWallpaperFileName;

    setup.AnswerDialog(c.style);
    // Two uses in a row write and set the same file twice.
    for (int use = 0; use < 2; ++use) {
        f.suiButtonWallPaperClick();
        EXPECT_EQ(test::ReadBytes(file), setup.FxBmp()) << "use " << use;
    }
    EXPECT_EQ(setup.shown, 2);
    EXPECT_FALSE(std::filesystem::exists(readOnlyFolder + kWallpaperFileName));
    EXPECT_FALSE(f.Busy());
    EXPECT_TRUE(f.suiProgressBar1->isHidden());

    const std::string configHome = std::getenv("XDG_CONFIG_HOME");
    if (c.notice) {
        ASSERT_EQ(setup.seam.boxes.size(), 2u);
        for (const auto& box : setup.seam.boxes) {
            EXPECT_EQ(box.kind, MessageKind::Information);
            EXPECT_EQ(box.text, c.notice);
        }
        EXPECT_FALSE(std::filesystem::exists(configHome + "/dconf/user"));
        return;
    }
    if (!c.error) {
        EXPECT_TRUE(setup.seam.boxes.empty()) << setup.seam.boxes[0].text.toStdString();
        const std::string uri = QUrl::fromLocalFile(QString::fromStdString(file)).toString(QUrl::FullyEncoded).toStdString();
        for (const StoredValue& v : c.stored) {
            const std::string found = ReadStored(v);
            const std::string expected = v.value;
            const bool quoted = std::string(v.tool) == "gsettings";
            auto text = [&](const std::string& value) { return quoted ? "'" + value + "'" : value; };
            if (expected == "{picture}") {
                // The portal's back end may keep its own copy: the bytes count.
                std::string named = found.substr(quoted ? 1 : 0, found.size() - (quoted ? 2 : 0));
                if (named.rfind("file://", 0) == 0)
                    named = QUrl(QString::fromStdString(named)).toLocalFile().toStdString();
                EXPECT_NE(named, file) << "the picture did not go through the portal";
                EXPECT_EQ(test::ReadBytes(named), test::ReadBytes(file)) << v.key << " = " << found;
            } else {
                const std::string value = expected == "{uri}" ? uri : expected == "{path}" ? file : expected;
                EXPECT_EQ(found, text(value)) << v.where << " " << v.key;
            }
        }
        return;
    }
    ASSERT_EQ(setup.seam.boxes.size(), 2u);
    for (const auto& box : setup.seam.boxes) {
        EXPECT_EQ(box.kind, MessageKind::Error);
        EXPECT_EQ(box.title, "Error");
        EXPECT_TRUE(box.text.startsWith(QString(kWallpaperNotSetText) + " " + c.error)) << box.text.toStdString();
        if (c.detail) {
            EXPECT_TRUE(box.text.section('\n', -1).contains(c.detail)) << box.text.toStdString();
        }
    }
    // Nothing reached a store.
    EXPECT_FALSE(std::filesystem::exists(configHome + "/glib-2.0/settings/keyfile"));
    EXPECT_FALSE(std::filesystem::exists(configHome + "/dconf/user"));
    EXPECT_FALSE(std::filesystem::exists(configHome + "/background"));
}

TEST_P(WallpaperDesktopTest, SetsTheDesktopBackgroundOrSaysWhatFailed) {
    const DesktopCase& c = GetParam();
    if (const char* child = std::getenv(kChildVariable)) {
        RunChild(c, child);
        return;
    }
    TempDir dir;
    for (const char* sub : {"home/.config", "data", "runtime", "empty/schemas", "program", "readonly", "nothing"})
        std::filesystem::create_directories(dir.file(sub));
    std::filesystem::permissions(dir.file("runtime"), std::filesystem::perms::owner_all);
    RunTool("glib-compile-schemas", {QString::fromStdString(dir.file("empty/schemas"))});

    // A read-only view of a folder: root writes everywhere else.
    const std::string readOnly = dir.file("readonly") + "/";
    test::ScopedMount mount;
    if (c.folder == Folder::ReadOnly) CORVELLIN_MOUNT_OR_SKIP(mount.BindReadOnly(dir.file("readonly")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP",
                             "XDG_CONFIG_HOME", "GSETTINGS_SCHEMA_DIR"})
        env.remove(name);
    env.insert(kChildVariable, QString::fromStdString(readOnly));
    env.insert("HOME", QString::fromStdString(dir.file("home")));
    env.insert("XDG_DATA_HOME", QString::fromStdString(dir.file("data")));
    env.insert("XDG_CACHE_HOME", QString::fromStdString(dir.file("home/.cache")));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.file("runtime")));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("GSETTINGS_BACKEND", c.store == Store::Memory ? "memory" : c.store == Store::Dconf ? "dconf" : "keyfile");
    if (c.desktop) env.insert("XDG_CURRENT_DESKTOP", c.desktop);
    if (c.setup == Setup::NoSchema) {
        env.insert("GSETTINGS_SCHEMA_DIR", QString::fromStdString(dir.file("empty/schemas")));
        env.insert("XDG_DATA_DIRS", QString::fromStdString(dir.file("empty")));
    }
    std::optional<PrivateSession> session;
    if (c.bus != Bus::None) {
        // The services' own settings go under the case's HOME too.
        QProcessEnvironment services = env;
        services.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.file("home/.config")));
        session.emplace(services, dir, c.bus == Bus::Portal);
        ASSERT_FALSE(session->address.empty()) << "dbus-daemon did not start";
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(session->address));
        if (services.contains("DISPLAY")) env.insert("DISPLAY", services.value("DISPLAY"));
        if (c.bus == Bus::Portal) {
            ASSERT_TRUE(env.contains("DISPLAY")) << "Xvfb did not start";
        }
    }
    if (c.setup == Setup::PortalAllowed || c.setup == Setup::PortalDenied) {
        // What the desktop's first-use question stores for the caller (a
        // program outside a sandbox has the empty application id).
        const char* answer = c.setup == Setup::PortalAllowed ? "['yes']" : "['no']";
        RunTool("gdbus", {"call", "--session", "--dest", "org.freedesktop.impl.portal.PermissionStore", "--object-path",
                          "/org/freedesktop/impl/portal/PermissionStore", "--method",
                          "org.freedesktop.impl.portal.PermissionStore.SetPermission", "wallpaper", "true", "wallpaper",
                          "", answer},
                env);
        EXPECT_EQ(RunTool("gdbus", {"call", "--session", "--dest", "org.freedesktop.impl.portal.PermissionStore",
                                    "--object-path", "/org/freedesktop/impl/portal/PermissionStore", "--method",
                                    "org.freedesktop.impl.portal.PermissionStore.GetPermission", "wallpaper",
                                    "wallpaper", ""},
                          env),
                  std::string("(") + answer + ",)");
    }
    if (c.setup == Setup::XfceMonitors)
        for (const char* monitor : {kMonitorA, kMonitorB}) {
            RunTool("xfconf-query", {"-c", "xfce4-desktop", "-p", QString(monitor) + "/last-image", "-n", "-t", "string",
                                     "-s", "/usr/share/images/desktop-base/default"},
                    env);
            RunTool("xfconf-query", {"-c", "xfce4-desktop", "-p", QString(monitor) + "/image-style", "-n", "-t", "int",
                                     "-s", "5"},
                    env);
        }
    if (c.setup == Setup::NoXfconfQuery) env.insert("PATH", QString::fromStdString(dir.file("nothing")));
    std::optional<FakePortal> fake;
    if (c.setup == Setup::FakePortalSuccess || c.setup == Setup::FakePortalCancelled ||
        c.setup == Setup::FakePortalFailed) {
        fake.emplace(session->address, static_cast<guint32>(static_cast<int>(c.setup) -
                                                            static_cast<int>(Setup::FakePortalSuccess)));
        ASSERT_TRUE(fake->owned) << "the test's portal did not get its name";
    }

    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("/proc/self/exe", {QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
    const bool finished = child.waitForFinished(300000);
    const QString output = QString::fromUtf8(child.readAll());
    ASSERT_TRUE(finished);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    if (fake) {
        // Both uses asked for the background, with no preview of the portal's own.
        const std::vector<std::string> calls = fake->Calls();
        ASSERT_EQ(calls.size(), 2u);
        for (const std::string& call : calls) {
            EXPECT_EQ(call.rfind("|file:///", 0), 0u) << call;
            EXPECT_NE(call.find(std::string("/") + kWallpaperFileName + "|false|background"), std::string::npos) << call;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WallpaperDesktopTest, ::testing::ValuesIn(kDesktopCases),
                         [](const ::testing::TestParamInfo<DesktopCase>& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace corvellin
