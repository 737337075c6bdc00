// The Settings dialog on a real X server (Xvfb with openbox), used through
// the pointer and keyboard as a user would, by xdotool: the "Settings"
// caption opens it centred over the main window, a press on an option turns
// its pixels orange, a station chosen from the Favorites submenu lands in
// index.dat, and K in the hot-key field followed by OK writes hotkey.dat.
// A picture of the dialog is left in the build folder for review.
#include "data/scrambled_list_file.h"
#include "shell/app_session.h"
#include "shell/settings_controls.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "tests/support/gui_actions.h"
#include "ui/skin_label.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace lumaro {
namespace {

constexpr int kWait = 10000; // ms

using test_support::CentreOnScreen;
using test_support::OnScreen;
void MoveTo(QPoint global) {
    ASSERT_TRUE(test_support::PointerTo(global));
}
void ClickAt(QPoint global) {
    ASSERT_TRUE(test_support::PointerClickAt(global));
}

// What the X server shows at a point of the screen.
QColor ScreenPixel(QPoint global) {
    QCoreApplication::processEvents();
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, global.x(), global.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

class SettingsDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        TScrambledListFile::SaveWideList("stations.dat", {u"Station 0\t-\tPop\t-\t-\thttp://127.0.0.1:9/s0"},
                                         kListKey);
        TScrambledListFile::SaveWideList(
            "fav.dat", {u"Jazz FM\t-\tJazz\t-\t-\thttp://127.0.0.1:9/j", kRockLine}, kListKey);
        QDir::setCurrent(old);
    }
    QByteArray Bytes(const char* name) const {
        QFile f(QDir(dir_.path()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    const std::u16string kRockLine = u"Rock & Roll\t-\tRock\t-\t-\thttp://127.0.0.1:9/r";
    QTemporaryDir dir_, config_;
};

TEST_F(SettingsDesktop, UsedWithPointerAndKeyboard) {
    TAppSession session(dir_.path(), QString());
    TForm1& main = session.MainWindow();
    TForm2& form = session.Settings();
    main.show(); // centred at its first show
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    main.move(97, 61);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.geometry().topLeft() == QPoint(97, 61); }, kWait));

    // The dialog is modal: the steps run inside its event loop, started once
    // it is on the screen, and the caption's click returns when it closes.
    bool finished = false;
    std::function<void()> steps;
    QTimer poll; // made after the steps, so it is gone before them
    steps = [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        // centred over the main window, halves truncated toward zero
        // (both windows are frameless: their geometry is their outer edge; Qt's
        // frame geometry can stay 1 x 1 when it read the frame too early)
        const QRect m = main.geometry();
        const QPoint centred(m.left() + m.width() / 2 - 231 / 2, m.top() + m.height() / 2 - 312 / 2);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return form.geometry() == QRect(centred, QSize(231, 312)); }, kWait))
            << form.geometry().x() << "," << form.geometry().y() << " " << form.geometry().width() << "x"
            << form.geometry().height();
        EXPECT_TRUE(form.isActiveWindow() || QTest::qWaitForWindowActive(&form));

        // an option's press: its pixels turn from #687486 to #F8953C
        const QPoint option = OnScreen(*form.Label1, QPoint(form.Label1->width() - 8, 8));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(option) == QColor(0x68, 0x74, 0x86); }, kWait));
        ClickAt(option);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.Options().MinimizeToTray == 1; }, kWait));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(option) == QColor(0xF8, 0x95, 0x3C); }, kWait))
            << ScreenPixel(option).name().toStdString();

        // the default station from the Favorites submenu
        ClickAt(CentreOnScreen(*form.TntLabel1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.TntPopupMenu1->isVisible(); }, kWait));
        const QRect favorites = form.TntPopupMenu1->actionGeometry(form.Favorites1->menuAction());
        MoveTo(OnScreen(*form.TntPopupMenu1, favorites.center()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.Favorites1->isVisible(); }, kWait));
        const QRect rock = form.Favorites1->actionGeometry(form.Favorites1->actions().at(1));
        // along the submenu's first entry, so the pointer never leaves it
        MoveTo(OnScreen(*form.Favorites1,
                        form.Favorites1->actionGeometry(form.Favorites1->actions().at(0)).center()));
        ClickAt(OnScreen(*form.Favorites1, rock.center()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.TntLabel1->text() == "Rock & Roll"; }, kWait));
        WideList index;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        EXPECT_NO_THROW(TScrambledListFile::LoadWideList("index.dat", index, kListKey));
        QDir::setCurrent(old);
        EXPECT_EQ(index, WideList{kRockLine});

        // K in the hot-key field
        ClickAt(CentreOnScreen(*form.HotKey1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.HotKey1->hasFocus(); }, kWait));
        EXPECT_TRUE(test_support::PressKeys("k"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.HotKey1->text() == "Shift+Ctrl+K"; }, kWait));

        // the picture, for review, once the X server shows the new text
        form.HotKey1->repaint();
        QCoreApplication::processEvents();
        QDir().mkpath(LUMARO_SCREENSHOT_DIR);
        const QRect r = form.frameGeometry();
        QGuiApplication::primaryScreen()
            ->grabWindow(0, r.x() - 20, r.y() - 20, r.width() + 40, r.height() + 40)
            .save(QDir(LUMARO_SCREENSHOT_DIR).filePath("settings_dialog.png"));

        ClickAt(CentreOnScreen(*form.Label6));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, kWait));
        finished = true;
    };
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!form.isVisible() || !steps) return;
        auto run = std::move(steps);
        steps = nullptr;
        run();
        if (!finished) form.reject(); // a failed step: let the caption's click return
    });
    poll.start(20);

    ClickAt(CentreOnScreen(*main.Label19)); // "Settings"
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished || (!steps && !form.isVisible()); }, 60000));
    EXPECT_TRUE(finished);
    EXPECT_EQ(Bytes("hotkey.dat"), "Shift+Ctrl+K\r\n");
    EXPECT_EQ(session.TrayIcon().MinimizeToTray(), true);
}

} // namespace
} // namespace lumaro
