// The main window and Station Info on a real X server, written as PNGs into
// the build folder for review: the whole catalogue, a filtered one, the
// Favorites view, Station Info, and the catalogue at 200 %.
#include "data/scrambled_list_file.h"
#include "shell/unit1.h"
#include "shell/unit4.h"
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
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

QString OutPath(const char* name) { return QDir(LUMARO_SCREENSHOT_DIR).filePath(QString::fromLatin1(name)); }

// What the X server shows in the window's rectangle.
QImage GrabFromScreen(QWidget& w) {
    QCoreApplication::processEvents();
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
    TForm1 form1(dir_.path(), QString());
    TForm4 form4(&form1);
    form1.SetStationInfoWindow(&form4);
    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form1));
    form1.move(40, 40);
    QTest::qWait(50); // the window manager places the window; nothing to wait on

    // the whole catalogue, a started station and a selected one
    ASSERT_GT(form1.suiStringGrid4->RowCount(), 10);
    form1.suiStringGrid4->SetCurrentRow(2, true);
    form1.suiStringGrid4DblClick();
    form1.suiStringGrid4->SetCurrentRow(4, true);
    form1.TntLabel2->setText(QStringLiteral("Massive Attack - Teardrop"));
    form1.TntLabel3->setText(QStringLiteral("BBC Radio 3"));
    form1.Label5->setText(QStringLiteral("bitrate: 128 kbps"));
    form1.suiImageButton8->SetState(SkinSwitch::State::On);
    QTest::qWait(20);
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

    // narrowed: a country chosen, a word typed
    form1.FlatEdit2->setText(QStringLiteral("ger"));
    form1.suiStringGrid1DblClick();
    form1.TntEdit2->setFocus();
    QTest::keyClicks(form1.TntEdit2, QStringLiteral("radio"));
    QTest::keyClick(form1.TntEdit2, Qt::Key_Down);
    QTest::qWait(20);
    EXPECT_TRUE(GrabFromScreen(form1).save(OutPath("main-filtered.png")));

    // Favorites
    form1.Label1MouseDown();
    form1.suiStringGrid4->SetCurrentRow(1, true);
    QTest::qWait(20);
    EXPECT_TRUE(GrabFromScreen(form1).save(OutPath("main-favorites.png")));

    // Station Info over the main window (shown without its modal loop)
    ASSERT_TRUE(form4.FillFrom(form1.SelectedStation));
    form4.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form4));
    QTest::qWait(50);
    EXPECT_TRUE(GrabFromScreen(form4).save(OutPath("station-info.png")));
    form4.hide();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
