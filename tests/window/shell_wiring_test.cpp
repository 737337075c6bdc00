// The shell around the main window, offscreen over the engine fake:
// settings.dat read at start and written at close, the activation rule, the
// keys that press Play/Stop, the global hot key's toggle, minimising into the
// tray, the tray menu, the About window and moving the window by its
// background.

#include "shell/settings_controls.h"
#include "shell/settings_options.h"
#include "shell/unit3.h"
#include "tests/window/window_fixture.h"
#include "ui/skin_background.h"

#include <QFile>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::window_test;
using lumaro::test_support::BoxAnswer;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A program directory whose settings.dat holds the given bytes (none: no file).
class ShellWiring : public WindowWiring {
protected:
    void PrepareProgramDir() override {
        if (settings_) {
            ASSERT_TRUE(WriteFile("settings.dat", *settings_));
        }
        if (!indexLine_.empty()) TScrambledListFile::SaveWideList("index.dat", {indexLine_}, kListKey);
    }
    QString Path(const char* name) const { return QDir(dir_.path()).filePath(QString::fromLatin1(name)); }
    // The file as the close wrote it, split into its lines.
    QList<QByteArray> SavedLines() const {
        const QByteArray text = ReadFile(Path("settings.dat"));
        EXPECT_TRUE(text.endsWith("\r\n")) << text.toStdString();
        QList<QByteArray> lines = text.split('\n');
        lines.removeLast();
        for (QByteArray& line : lines) {
            EXPECT_TRUE(line.endsWith('\r'));
            line.chop(1);
        }
        return lines;
    }
    const TSettingsOptions& Options() { return session_->Settings().Options(); }

    std::optional<QByteArray> settings_;
    std::u16string indexLine_;
};

class WithSettings : public ShellWiring {
protected:
    void PrepareProgramDir() override {
        QDir().mkpath("elsewhere");
        const QByteArray folder = QDir(dir_.path()).filePath("elsewhere").toUtf8();
        settings_ = "250\r\n-40\r\n-75\r\n5\r\n-3\r\n20\r\n1\r\n1\r\n0\r\n1\r\n0\r\n123\r\n45\r\n" + folder +
                    "\r\n99\r\n";
        ShellWiring::PrepareProgramDir();
    }
};

TEST_F(WithSettings, AreAppliedAtStartAndTheLiveValuesWrittenAtClose) {
    // knobs turned within their ranges, through their handlers
    EXPECT_EQ(form_->DIBKnob5->Value(), 100);
    const std::pair<TEffectKnob, int> knobs[] = {{TEffectKnob::Volume, 100}, {TEffectKnob::Pan, -40},
                                                 {TEffectKnob::Reverb, -75}, {TEffectKnob::Bass, 5},
                                                 {TEffectKnob::Middle, -3},  {TEffectKnob::Treble, 20}};
    for (auto [knob, position] : knobs)
        EXPECT_EQ(session_->Effects().Position(knob), position) << int(knob);
    EXPECT_EQ(Options().MinimizeToTray, 1);
    EXPECT_EQ(Options().StartWithWindows, 1);
    EXPECT_EQ(Options().AutoPlay, 0);
    EXPECT_EQ(Options().RememberPosition, 1);
    EXPECT_TRUE(session_->TrayIcon().MinimizeToTray());
    EXPECT_EQ(QString::fromStdString(session_->Recorder().RecordingsFolder()), Path("elsewhere"));
    EXPECT_EQ(Options().TimeoutSeconds, 30);
    EXPECT_EQ(session_->Player().TimeoutSeconds(), 30);

    // the remembered position at every activation, even after a move
    form_->move(300, 200);
    form_->FormActivate();
    EXPECT_EQ(form_->pos(), QPoint(123, 45));

    form_->DIBKnob2->SetValue(-7); // Bass
    form_->move(10, 20);
    ASSERT_TRUE(form_->close());
    const QList<QByteArray> expected = {"100", "-40", "-75", "-7", "-3", "20", "1",
                                        "1",   "0",   "1",   "0",  "10", "20", Path("elsewhere").toUtf8(),
                                        "30"};
    EXPECT_EQ(SavedLines(), expected);
}

TEST_F(ShellWiring, NoSettingsFileKeepsTheDefaultsAndTheCloseWritesThem) {
    EXPECT_FALSE(QFile::exists(Path("settings.dat")));
    form_->move(40, 50);
    form_->FormActivate(); // no lines read: the activation leaves the window be
    EXPECT_EQ(form_->pos(), QPoint(40, 50));
    ASSERT_TRUE(form_->close());
    const QList<QByteArray> expected = {
        "50", "0", "-150", "0", "0",  "0",  "0",
        "0",  "0", "0",    "0", "40", "50", Path("LumaroRadioRecordings").toUtf8(),
        "5"};
    EXPECT_EQ(SavedLines(), expected);
}

// A damaged settings.dat: the program starts, each bad value keeps its
// default, the start station is still chosen and auto-played, and the close
// writes fifteen good lines.
struct BadSettingsCase {
    const char* name;
    QByteArray bytes;
    int volume; // as applied
    int autoPlay;
};

QByteArray RandomBytes(int size) {
    QByteArray bytes(size, '\0');
    quint32 x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = char(x);
    }
    return bytes;
}

QByteArray ManyLines() {
    QByteArray text = "70\r\n0\r\n-150\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n10\r\n10\r\n\r\n5\r\n";
    for (int i = 0; i < 10000; ++i)
        text += "1\r\n";
    return text;
}

class BadSettings : public ShellWiring, public ::testing::WithParamInterface<BadSettingsCase> {
protected:
    void PrepareProgramDir() override {
        settings_ = GetParam().bytes;
        indexLine_ = kOneUrl;
        ShellWiring::PrepareProgramDir();
    }
};

TEST_P(BadSettings, StartGoesOnAndTheCloseWritesFifteenGoodLines) {
    const BadSettingsCase& c = GetParam();
    EXPECT_EQ(form_->DIBKnob5->Value(), c.volume);
    EXPECT_EQ(Options().AutoPlay, c.autoPlay);
    EXPECT_EQ(session_->PlayerState().StationLine, kOneUrl) << "the start station is chosen";
    if (c.autoPlay == 1) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !session_->PlayerState().UrlMenuBusy; }, kWait));
        EXPECT_EQ(fake_->OpenedUrls(), std::vector<std::string>{"http://one.example/live"});
    }
    ASSERT_TRUE(form_->close());
    const QList<QByteArray> lines = SavedLines();
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines[0], QByteArray::number(c.volume));
    EXPECT_EQ(lines[13], Path("LumaroRadioRecordings").toUtf8());
    EXPECT_EQ(lines[14], "5");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadSettings,
    ::testing::Values(
        BadSettingsCase{"random bytes", RandomBytes(4096), 50, 0},
        BadSettingsCase{"ten thousand lines", ManyLines(), 70, 1},
        BadSettingsCase{"a 100 kB line",
                        "60\r\n" + QByteArray(100000, '7') + "\r\n-150\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n", 60,
                        1},
        BadSettingsCase{"odd numbers", "99999999999\r\n-0\r\n+5\r\n 7\r\n7 \r\n0\r\n0\r\n0\r\nx\r\n", 50, 0},
        BadSettingsCase{"a bad first line, good ones after",
                        "loud\r\n0\r\n-150\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n", 50, 1},
        BadSettingsCase{
            "a folder that is gone",
            "40\r\n0\r\n-150\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n/no/such/folder\r\n5\r\n",
            40, 1},
        BadSettingsCase{"an empty file", "", 50, 0}),
    [](const auto& info) {
        std::string name;
        for (char ch : std::string(info.param.name))
            if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
        return name;
    });

TEST_F(ShellWiring, WhatTheSettingsDialogChangesReachesSettingsDatAtClose) {
    TForm2& settings = session_->Settings();
    for (QWidget* option : {static_cast<QWidget*>(settings.Label1), static_cast<QWidget*>(settings.Label3)})
        QTest::mousePress(option, Qt::RightButton); // any button flips it
    settings.suiSpinEdit1->stepBy(3);
    EXPECT_EQ(session_->Player().TimeoutSeconds(), 8) << "the worker reads it at its next attempt";
    ASSERT_TRUE(form_->close());
    const QList<QByteArray> lines = SavedLines();
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines.mid(6, 5), QList<QByteArray>({"1", "0", "1", "0", "0"})); // tray, autostart, auto play
    EXPECT_EQ(lines[14], "8");
}

TEST_F(ShellWiring, F9AndNumericPadStarPressPlayStop) {
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_F9, Qt::ShiftModifier}, {Qt::Key_Asterisk, Qt::KeypadModifier}}) {
        BoxAnswer ok(QMessageBox::Ok);
        form_->activateWindow(); // the box before took the activation with it
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
        form_->TntEdit2->setFocus();
        QTest::keyClick(form_->TntEdit2, key, modifiers);
        EXPECT_EQ(ok.Asked(),
                  QApplication::applicationDisplayName() + "|Please double-click a station to play");
    }
}

TEST_F(ShellWiring, HotKeyHidesTheActiveWindowShowsItOtherwiseAndWaitsForSettings) {
    form_->HotKeyManager1HotKeyPressed();
    EXPECT_FALSE(form_->isVisible()) << "active: hidden into the tray, the option off";
    form_->HotKeyManager1HotKeyPressed();
    EXPECT_TRUE(form_->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_));

    session_->Settings().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&session_->Settings()));
    form_->HotKeyManager1HotKeyPressed();
    EXPECT_TRUE(form_->isVisible()) << "nothing while Settings is open";
    session_->Settings().hide();
}

TEST_F(ShellWiring, MinimiseGoesToTheTaskBarOrIntoTheTrayByTheOption) {
    form_->suiImageButton6Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->isMinimized(); }, kWait));
    QCoreApplication::processEvents(); // where a hide into the tray would run
    EXPECT_TRUE(form_->isVisible()) << "the option off: the task bar";
    EXPECT_FALSE(session_->TrayIcon().MinimizeToTray());

    form_->ShowMainWindow();
    EXPECT_FALSE(form_->isMinimized());
    session_->Settings().Options().MinimizeToTray = 1;
    form_->Minimisetotray1Click(); // the tray menu's "Minimize"
    EXPECT_TRUE(session_->TrayIcon().MinimizeToTray());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }, kWait))
        << "the option on: only the tray icon";

    form_->CoolTrayIcon1Click(); // a left click on the icon
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(form_->isMinimized());
}

TEST_F(ShellWiring, TrayMenuInItsOrder) {
    QStringList captions;
    for (QAction* action : form_->PopupMenu5->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions,
              QStringList({"About", "-", "Show main window", "Minimize", "-", "Close Lumaro Radio"}));
}

TEST_F(ShellWiring, AboutShowsVersionAndStationCountAndClosesOnAnyKey) {
    TForm3& about = session_->About();
    EXPECT_EQ(about.StationCountLabel->text(), "Number of Stations: 2");
    EXPECT_EQ(about.Label3->text(), "Version 1.2");
    for (const auto& close : std::vector<std::function<void()>>{
             [&] { QTest::keyClick(&about, Qt::Key_Q); },
             [&] { QTest::mouseClick(about.Image1, Qt::LeftButton, {}, QPoint(150, 120)); },
             [&] { QTest::mouseClick(about.Label7, Qt::LeftButton); }}) {
        bool centred = false, wasOpen = false;
        QTimer::singleShot(0, [&] {
            wasOpen = QApplication::activeModalWidget() == &about;
            const QPoint c = form_->frameGeometry().center(), a = about.frameGeometry().center();
            centred = std::abs(c.x() - a.x()) <= 1 && std::abs(c.y() - a.y()) <= 1;
            close();
        });
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, &about, &QDialog::reject); // never hang the suite
        guard.start(kWait);
        form_->Label20Click();
        EXPECT_TRUE(wasOpen);
        EXPECT_TRUE(centred);
        EXPECT_TRUE(guard.remainingTime() > 0 && !about.isVisible());
    }
}

TEST_F(ShellWiring, DraggingTheBackgroundMovesTheWindowAndSnapsItToTheEdges) {
    const QRect area = form_->screen()->availableGeometry();
    form_->move(area.left() + 100, area.top() + 40);
    const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        const QPointF local = form_->DIBImage1->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, local, QPointF(global),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(form_->DIBImage1, &event);
    };
    const QPoint grab = form_->DIBImage1->mapToGlobal(QPoint(500, 300));
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, grab + QPoint(40, 30), Qt::LeftButton);
    EXPECT_EQ(form_->pos(), area.topLeft() + QPoint(140, 70));
    send(QEvent::MouseMove, grab + QPoint(-95, -32), Qt::LeftButton); // 5 and 8 px from the edges
    EXPECT_EQ(form_->pos(), area.topLeft());
    send(QEvent::MouseMove, grab + QPoint(-89, -28), Qt::LeftButton); // 11 and 12 px: free
    EXPECT_EQ(form_->pos(), area.topLeft() + QPoint(11, 12));
    send(QEvent::MouseButtonRelease, grab, Qt::NoButton);
    send(QEvent::MouseMove, grab + QPoint(60, 60), Qt::NoButton);
    EXPECT_EQ(form_->pos(), area.topLeft() + QPoint(11, 12)) << "the move ended with the button";
}

} // namespace
