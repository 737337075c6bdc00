// The main window and Station Info on a real X server, written as PNGs into
// the build folder for review: the whole catalogue, a filtered one, the
// Favorites view, Station Info, and the catalogue at 200 %. The display's
// title and status lines hold texts that wrap (a long real title, the
// catalogue's longest name; a failure's text), at 100 % and at 200 %.
#include "data/scrambled_list_file.h"
#include "playback/audio_engine_setup.h"
#include "playback/playback_controller.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "shell/unit4.h"
#include "ui/level_meter.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

QString OutPath(const char* name) {
    return QDir(LUMARO_SCREENSHOT_DIR).filePath(QString::fromLatin1(name));
}

// What the X server shows in the window's rectangle, once the window has
// drawn everything it was told.
QImage GrabFromScreen(QWidget& w) {
    QCoreApplication::processEvents();
    w.repaint();
    QScreen* screen = w.screen();
    const QRect r = w.frameGeometry();
    return screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QFile::copy(LUMARO_BUNDLED_STATIONS, dir_.filePath("stations.dat")));
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        TStationCatalogue bundled;
        bundled.LoadCatalogue("stations.dat");
        WideList favorites;
        for (size_t i : {3u, 17u, 40u, 41u, 77u, 120u, 150u}) {
            if (i < bundled.Count()) favorites.push_back(bundled.Line(i));
        }
        TScrambledListFile::SaveWideList("fav.dat", favorites, kListKey);
        QDir::setCurrent(old);
        QDir().mkpath(LUMARO_SCREENSHOT_DIR);
    }
    QTemporaryDir dir_;
};

TEST_F(Screenshots, MainWindowAndStationInfo) {
    QApplication::setCursorFlashTime(0); // a text cursor that does not blink
    TAppSession session(dir_.path(), QString());
    TForm1& form1 = session.MainWindow();
    TForm4& form4 = session.StationInfo();
    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form1, 30000));
    form1.move(40, 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form1.frameGeometry().topLeft() == QPoint(40, 40); }, 30000));

    // the whole catalogue, a started station and a selected one; the
    // station's attempts (nothing answers here) end before the shots
    ASSERT_GT(form1.suiStringGrid4->RowCount(), 10);
    form1.suiStringGrid4->SetCurrentRow(2, true);
    form1.suiStringGrid4DblClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return RunningConnectionWorkers() == 0 && !session.PlayerState().UrlMenuBusy; }, 60000));
    form1.suiStringGrid4->SetCurrentRow(4, true);
    // the display as a playing station shows it, kept so by stopping the
    // status timer, which would set the meter back to 0
    form1.Timer1->stop();
    // the catalogue's longest name as the status line, a title of two lines
    size_t longest = 0;
    for (size_t i = 0; i < session.Catalogue().Count(); ++i) {
        if (SplitStationLine(session.Catalogue().Line(i))[0].size() >
            SplitStationLine(session.Catalogue().Line(longest))[0].size())
            longest = i;
    }
    const QString longestName =
        QString::fromStdU16String(SplitStationLine(session.Catalogue().Line(longest))[0]);
    ASSERT_GT(longestName.size(), 300);
    form1.TntLabel2->setText(QStringLiteral(
        "Godspeed You! Black Emperor - Storm (Lift Yr. Skinny Fists Like Antennas to Heaven)"));
    form1.TntLabel3->setText(longestName);
    ASSERT_EQ(form1.TntLabel2->ShownLines().size(), 2);
    ASSERT_EQ(form1.TntLabel3->ShownLines().size(), 2);
    form1.Label5->setText(QStringLiteral("bitrate: 128 kbps"));
    form1.suiImageButton8->SetState(SkinSwitch::State::On);
    form1.DIBKnob1->SetValue(64);
    QImage whole = GrabFromScreen(form1);
    EXPECT_EQ(whole.size(), QSize(982, 480) * form1.devicePixelRatio());
    EXPECT_TRUE(whole.save(OutPath("main-catalogue.png")));

    // 200 %: the same window rendered at twice the pixel density
    QImage doubled(QSize(982, 480) * 2, QImage::Format_ARGB32_Premultiplied);
    doubled.setDevicePixelRatio(2.0);
    {
        QPainter p(&doubled);
        form1.render(&p);
    }
    EXPECT_TRUE(doubled.save(OutPath("main-catalogue-200.png")));

    // a failed attempt: the error text wraps between words, at 100 % and 200 %
    form1.TntLabel2->setText(QString::fromStdString(AudioErrorText(engine::BASS_ERROR_NONET)));
    form1.TntLabel3->setText(QStringLiteral("not playing"));
    form1.suiImageButton8->SetState(SkinSwitch::State::Idle);
    form1.DIBKnob1->SetValue(0);
    EXPECT_TRUE(GrabFromScreen(form1).save(OutPath("main-failure.png")));
    {
        QPainter p(&doubled);
        form1.render(&p);
    }
    EXPECT_TRUE(doubled.save(OutPath("main-failure-200.png")));

    // narrowed: a country chosen, a word typed; a recording running
    form1.suiImageButton9->SetState(SkinSwitch::State::Recording);
    form1.Label23->show();
    form1.suiImageButton7->SetState(SkinSwitch::State::On);
    form1.FlatEdit2->setText(QStringLiteral("ger"));
    form1.suiStringGrid1DblClick();
    form1.TntEdit2->setFocus();
    QTest::keyClicks(form1.TntEdit2, QStringLiteral("radio"));
    QTest::keyClick(form1.TntEdit2, Qt::Key_Down);
    EXPECT_TRUE(GrabFromScreen(form1).save(OutPath("main-filtered.png")));

    // Favorites
    form1.Label1MouseDown();
    form1.suiStringGrid4->SetCurrentRow(1, true);
    EXPECT_TRUE(GrabFromScreen(form1).save(OutPath("main-favorites.png")));

    // Station Info over the main window (shown without its modal loop), once
    // it stands where it centres itself
    ASSERT_TRUE(form4.FillFrom(form1.Browser().SelectedStation()));
    form4.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form4, 30000));
    const QRect m = form1.frameGeometry();
    const QPoint centred(m.left() + m.width() / 2 - form4.width() / 2,
                         m.top() + m.height() / 2 - form4.height() / 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form4.frameGeometry().topLeft() == centred; }, 30000));
    EXPECT_TRUE(GrabFromScreen(form4).save(OutPath("station-info.png")));

    // the station of the longest name, at 100 % and 200 %
    ASSERT_TRUE(form4.FillFrom(SplitStationLine(session.Catalogue().Line(longest))));
    EXPECT_TRUE(GrabFromScreen(form4).save(OutPath("station-info-long.png")));
    QImage info200(form4.size() * 2, QImage::Format_ARGB32_Premultiplied);
    info200.setDevicePixelRatio(2.0);
    {
        QPainter p(&info200);
        form4.render(&p);
    }
    EXPECT_TRUE(info200.save(OutPath("station-info-long-200.png")));
    form4.hide();
}

} // namespace
