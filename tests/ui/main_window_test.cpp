// The skinned main window on the offscreen platform: layout, row colours
// read back from pixels, the key hand-off of the four boxes, the view modes,
// choosing and narrowing, selection, Station Info and what assistive
// technology reads.
#include "data/scrambled_list_file.h"
#include "playback/audio_engine_setup.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "shell/unit4.h"
#include "tests/playback/fake_audio_library.h"
#include "ui/gauge_bar.h"
#include "ui/level_meter.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

using namespace lumaro;

namespace {

using Icon = SkinIconButton::Picture;

// 30 stations: styles Rock/rock/Jazz/Pop, countries Germany/France/Niger,
// languages German/French; station 5's description holds two line markers.
WideList TestCatalogue() {
    const char* styles[] = {"Rock", "Jazz", "Pop", "rock"};
    const char* countries[] = {"Germany", "France", "Niger"};
    const char* languages[] = {"German", "French"};
    WideList lines;
    for (int i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        std::string description = "Description " + n;
        if (i == 5) description = "one<newline>two<newline>three";
        lines.push_back(WideFromAnsi("Station " + n + "\t" + description + "\t" + styles[i % 4] + "\t" +
                                     countries[i % 3] + "\t" + languages[i % 2] + "\thttp://s" + n +
                                     ".example/live"));
    }
    lines.push_back(u"Caf\u00e9 Paris\tChanson\tPop\tFrance\tFrench\thttp://cafe.example/x");
    return lines;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        TScrambledListFile::SaveWideList("stations.dat", TestCatalogue(), kListKey);
        TScrambledListFile::SaveWideList(
            "fav.dat",
            {u"Fav A\tfa\tJazz\tFrance\tFrench\thttp://fa", u"Fav B\tfb\tPop\tFrance\tFrench\thttp://fb"},
            kListKey);
        TScrambledListFile::SaveWideList("rec.dat", {u"http://recent.example/only\t"}, kListKey);
        QDir::setCurrent(old);
        // the engine fake: double clicks start attempts that end at once, offline
        session_ = std::make_unique<TAppSession>(
            dir_.path(), QString(), std::make_unique<lumaro::testing::FakeAudioLibrary>(), state_);
    }
    TAppSession& Session() { return *session_; }
    TForm1& Form() { return session_->MainWindow(); }
    QString Row(int r) { return Form().suiStringGrid4->RowText(r); }
    int Choose(SkinGrid* grid, const char* text) {
        for (int r = 0; r < grid->RowCount(); ++r) {
            if (grid->RowText(r) == QLatin1String(text)) {
                grid->SetCurrentRow(r);
                return r;
            }
        }
        ADD_FAILURE() << "no row " << text;
        return -1;
    }

    QTemporaryDir dir_;
    // the playback state, which the tests may put in a given condition first
    std::shared_ptr<TPlayerState> state_ = std::make_shared<TPlayerState>();
    std::unique_ptr<TAppSession> session_;
};

TEST_F(MainWindow, EveryControlSitsAtItsPlace) {
    const struct {
        const char* name;
        QRect geometry;
    } layout[] = {
        {"suiImageButton6", {827, 13, 25, 12}},
        {"suiImageButton5", {901, 13, 25, 12}},
        {"TntLabel2", {35, 42, 252, 31}},
        {"TntLabel3", {34, 73, 253, 28}},
        {"Label5", {34, 101, 198, 11}},
        {"Label23", {238, 101, 48, 11}},
        {"DIBKnob1", {22, 146, 106, 102}},
        {"DIBKnob5", {22, 350, 106, 102}},
        {"suiImageButton8", {299, 41, 25, 12}},
        {"suiImageButton3", {299, 58, 25, 12}},
        {"suiImageButton4", {299, 75, 25, 12}},
        {"suiImageButton9", {299, 99, 25, 12}},
        {"suiImageButton7", {402, 58, 25, 12}},
        {"suiImageButton2", {402, 82, 25, 12}},
        {"DIBKnob7", {514, 55, 41, 41}},
        {"DIBKnob6", {637, 55, 41, 41}},
        {"DIBKnob2", {747, 55, 41, 41}},
        {"DIBKnob3", {822, 55, 41, 41}},
        {"DIBKnob4", {894, 55, 41, 41}},
        {"TntLabel1", {180, 142, 504, 23}},
        {"FlatEdit1", {165, 186, 128, 20}},
        {"FlatEdit2", {337, 186, 128, 20}},
        {"FlatEdit3", {510, 186, 128, 20}},
        {"TntEdit2", {723, 188, 193, 18}},
        {"Label24", {837, 171, 111, 13}},
        {"DIBImage1", {0, 0, 982, 480}},
        // heights after the lists were built: 17 whole rows + 5, bars one box taller
        {"suiStringGrid1", {165, 205, 151, 243}},
        {"suiStringGrid2", {337, 205, 151, 243}},
        {"suiStringGrid3", {510, 205, 151, 243}},
        {"suiStringGrid4", {721, 206, 220, 243}},
        {"GaugeBar1", {315, 186, 10, 262}},
        {"GaugeBar2", {487, 186, 10, 262}},
        {"GaugeBar3", {660, 186, 10, 262}},
        {"GaugeBar4", {940, 187, 10, 262}},
    };
    for (const auto& c : layout) {
        auto* w = Form().findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
    }
    const struct {
        const char* name;
        int left, top;
    } corners[] = {{"Image2", 292, 186}, {"Image3", 464, 186},  {"Image5", 637, 186},
                   {"Image6", 917, 187}, {"Label19", 698, 145}, {"Label22", 748, 145},
                   {"Label1", 815, 145}, {"Label17", 875, 145}, {"Label20", 921, 145}};
    for (const auto& c : corners) {
        auto* w = Form().findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->pos(), QPoint(c.left, c.top)) << c.name;
    }
    EXPECT_EQ(Form().size(), QSize(982, 480));
    EXPECT_TRUE(Form().windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Form().Label1->text(), "Favorites");
    EXPECT_EQ(Form().Label17->text(), "Recent");
    EXPECT_EQ(Form().Label24->text(), "showing 31 stations");
}

QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

TEST_F(MainWindow, ResultRowsAreDrawnInTheirColours) {
    SkinGrid* grid = Form().suiStringGrid4;
    // row 1 started and current, row 3 current later; the orange must win
    Session().Player().SetStationLine(Session().Catalogue().Line(1));
    grid->SetCurrentRow(1);
    QImage image = grid->grab().toImage();
    const int x = grid->width() - 14; // right of every name
    const QColor row(71, 77, 90), current(98, 104, 117), started(248, 149, 60), bottom(59, 67, 83);
    EXPECT_EQ(Pixel(image, x, 0 * 14 + 6), row);
    EXPECT_EQ(Pixel(image, x, 1 * 14 + 6), started);
    EXPECT_EQ(Pixel(image, x, 2 * 14 + 6), row);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(Pixel(image, x, r * 14 + 13), bottom) << r;

    grid->SetCurrentRow(3);
    image = grid->grab().toImage();
    EXPECT_EQ(Pixel(image, x, 1 * 14 + 6), started);
    EXPECT_EQ(Pixel(image, x, 3 * 14 + 6), current);

    // the name: white text over a black shadow (antialiased, so nearly white and black)
    bool white = false, black = false;
    for (int px = 3; px < 60; ++px) {
        for (int py = 0; py < 13; ++py) {
            const QColor c = Pixel(image, px, py);
            white |= qMin(c.red(), qMin(c.green(), c.blue())) >= 235;
            black |= qMax(c.red(), qMax(c.green(), c.blue())) <= 25;
        }
    }
    EXPECT_TRUE(white && black);

    // a short list leaves the grid's empty area in the row colour; an empty one shows nothing
    Form().TntEdit2->setText(QStringLiteral("Station 1"));
    ASSERT_LT(grid->RowCount(), 16);
    image = grid->grab().toImage();
    EXPECT_EQ(Pixel(image, x, grid->RowCount() * 14 + 6), row);
    Form().TntEdit2->setText(QStringLiteral("nothing matches"));
    image = grid->grab().toImage();
    for (int y : {2, 6, 13, 100})
        EXPECT_EQ(Pixel(image, x, y), row) << y;
}

TEST_F(MainWindow, CategoryRowsAreDrawnInTheirColours) {
    SkinGrid* grid = Form().suiStringGrid1;
    QImage image = grid->grab().toImage();
    const int x = grid->width() - 6;
    EXPECT_EQ(Pixel(image, x, 6), QColor(248, 149, 60)); // "All", the current row
    EXPECT_EQ(Pixel(image, x, 14 + 6), QColor(104, 116, 134));
    EXPECT_EQ(Pixel(image, x, 13), QColor(65, 73, 85));
    EXPECT_EQ(Pixel(image, x, 14 + 13), QColor(65, 73, 85));

    // at 200 % the bottom line is two whole device rows, not a blur
    QImage doubled(grid->size() * 2, QImage::Format_ARGB32_Premultiplied);
    doubled.setDevicePixelRatio(2.0);
    {
        QPainter p(&doubled);
        grid->render(&p);
    }
    const int dx = 2 * x;
    EXPECT_EQ(doubled.pixelColor(dx, 25), QColor(248, 149, 60));
    EXPECT_EQ(doubled.pixelColor(dx, 26), QColor(65, 73, 85));
    EXPECT_EQ(doubled.pixelColor(dx, 27), QColor(65, 73, 85));
    EXPECT_EQ(doubled.pixelColor(dx, 28), QColor(104, 116, 134));
}

TEST_F(MainWindow, NavigationKeysInABoxMoveItsListAndFocusStays) {
    Form().show();
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    const struct {
        SkinEdit* box;
        SkinGrid* grid;
    } pairs[] = {{Form().TntEdit2, Form().suiStringGrid4},
                 {Form().FlatEdit1, Form().suiStringGrid1},
                 {Form().FlatEdit2, Form().suiStringGrid2},
                 {Form().FlatEdit3, Form().suiStringGrid3}};
    for (const auto& p : pairs) {
        const std::string name = p.box->objectName().toStdString();
        p.box->setFocus();
        p.box->clear();
        // a text that keeps at least three rows in the list
        QTest::keyClicks(p.box, p.box == Form().TntEdit2 ? QStringLiteral("sta") : QString());
        p.box->setCursorPosition(qMin(1, p.box->text().size()));
        const int cursor = p.box->cursorPosition();
        const QString text = p.box->text();
        p.grid->SetCurrentRow(0, false);
        ASSERT_GE(p.grid->RowCount(), 3) << name;

        QTest::keyClick(p.box, Qt::Key_Down);
        EXPECT_EQ(p.grid->CurrentRow(), 0) << name << ": the key is posted, not sent";
        QCoreApplication::processEvents();
        EXPECT_EQ(p.grid->CurrentRow(), 1) << name;
        QTest::keyClick(p.box, Qt::Key_Down);
        QCoreApplication::processEvents();
        QTest::keyClick(p.box, Qt::Key_Up);
        QCoreApplication::processEvents();
        EXPECT_EQ(p.grid->CurrentRow(), 1) << name;
        EXPECT_EQ(p.box->cursorPosition(), cursor) << name << ": Up and Down do not move the text cursor";
        EXPECT_EQ(p.box->text(), text) << name;
        EXPECT_EQ(QApplication::focusWidget(), p.box) << name;

        QTest::keyClick(p.box, Qt::Key_PageDown);
        QCoreApplication::processEvents();
        EXPECT_EQ(p.grid->CurrentRow(), qMin(1 + p.grid->FullyVisibleRows(), p.grid->RowCount() - 1)) << name;
        EXPECT_EQ(QApplication::focusWidget(), p.box) << name;
    }
    // moving the results by keys selects: the information line follows
    for (SkinGrid* grid : {Form().suiStringGrid1, Form().suiStringGrid2, Form().suiStringGrid3})
        grid->SetCurrentRow(0);
    Form().TntEdit2->setFocus();
    Form().TntEdit2->clear();
    QTest::keyClick(Form().TntEdit2, Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(Form().Browser().SelectedStation(), SplitStationLine(Session().Catalogue().Line(1)));
    EXPECT_EQ(Form().TntLabel1->text().toStdU16String(), StationSummary(Form().Browser().SelectedStation()));
}

TEST_F(MainWindow, ViewLabelsSwitchModesAndColours) {
    const QColor white(255, 255, 255), inactive(20, 20, 20), initial(13, 13, 13);
    EXPECT_EQ(Form().Label1->TextColor(), initial);
    EXPECT_EQ(Form().Label17->TextColor(), initial);
    Form().TntEdit2->setText(QStringLiteral("station 2")); // 2, 12, 20..29

    const struct {
        void (TForm1::*press)();
        TBrowseView view;
        const char* count;
        QString firstRow;
    } steps[] = {
        {&TForm1::Label1MouseDown, TBrowseView::Favorites, "showing 2 stations", "Fav A"},
        {&TForm1::Label17MouseDown, TBrowseView::Recent, "showing 1 stations", "http://recent.example/only"},
        {&TForm1::Label17MouseDown, TBrowseView::Catalogue, "showing 12 stations", "Station 2"},
        {&TForm1::Label1MouseDown, TBrowseView::Favorites, "showing 2 stations", "Fav A"},
        {&TForm1::Label1MouseDown, TBrowseView::Catalogue, "showing 12 stations", "Station 2"},
        {&TForm1::Label17MouseDown, TBrowseView::Recent, "showing 1 stations", "http://recent.example/only"},
        {&TForm1::Label1MouseDown, TBrowseView::Favorites, "showing 2 stations", "Fav A"},
    };
    for (const auto& s : steps) {
        (Form().*s.press)();
        EXPECT_EQ(Form().Browser().View(), s.view);
        EXPECT_EQ(Form().Label24->text(), s.count);
        EXPECT_EQ(Row(0), s.firstRow);
        EXPECT_EQ(Form().Label1->TextColor(), s.view == TBrowseView::Favorites ? white : inactive);
        EXPECT_EQ(Form().Label17->TextColor(), s.view == TBrowseView::Recent ? white : inactive);
    }
    // typing while Favorites is shown goes back to the catalogue
    QTest::keyClick(Form().TntEdit2, Qt::Key_1);
    EXPECT_EQ(Form().Browser().View(), TBrowseView::Catalogue);
    EXPECT_EQ(Form().Label24->text(), "showing 1 stations"); // "station 21"
    EXPECT_EQ(Form().Label1->TextColor(), inactive);
}

TEST_F(MainWindow, ChoosingNarrowingAndClearing) {
    TForm1& f = Form();
    const auto icons = [&] {
        return std::vector<Icon>{f.Image2->CurrentPicture(), f.Image3->CurrentPicture(),
                                 f.Image5->CurrentPicture(), f.Image6->CurrentPicture()};
    };
    EXPECT_EQ(icons(), (std::vector<Icon>(4, Icon::Magnifier)));
    // 'Rock' and 'rock' are one entry, the first spelling; the choice is exact
    EXPECT_EQ(f.Browser().Columns().Shown(TCategoryKind::Style), (ByteList{"All", "Jazz", "Pop", "Rock"}));
    Choose(f.suiStringGrid1, "Rock");
    f.suiStringGrid1DblClick();
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{0, 4, 8, 12, 16, 20, 24, 28}));
    EXPECT_EQ(icons(), (std::vector<Icon>{Icon::Cross, Icon::Magnifier, Icon::Magnifier, Icon::Magnifier}));

    // a second choice in another list keeps the first
    Choose(f.suiStringGrid2, "Germany");
    f.suiStringGrid1DblClick();
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{0, 12, 24}));

    // narrowing the country list: 'ger' keeps Germany and Niger, drops "All";
    // the first kept entry becomes the choice at the next rebuild
    f.FlatEdit2->setText(QStringLiteral("ger"));
    EXPECT_EQ(f.Browser().Columns().Shown(TCategoryKind::Country), (ByteList{"Germany", "Niger"}));
    EXPECT_EQ(f.Image3->CurrentPicture(), Icon::Cross);
    EXPECT_EQ(f.suiStringGrid2->CurrentRow(), 0);
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{0, 12, 24})); // not rebuilt by narrowing
    f.suiStringGrid2->SetCurrentRow(1);                            // Niger
    f.TntEdit2->setText(QStringLiteral("station"));
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{8, 20}));
    EXPECT_EQ(f.Image6->CurrentPicture(), Icon::Cross);

    // a narrowing that keeps nothing leaves one empty row: nothing matches
    f.FlatEdit3->setText(QStringLiteral("xyz"));
    EXPECT_EQ(f.Browser().Columns().Shown(TCategoryKind::Language), ByteList{""});
    f.suiStringGrid1DblClick();
    EXPECT_TRUE(f.Browser().ResultList().empty());
    EXPECT_EQ(f.Label24->text(), "showing 0 stations");

    // the clear icons undo one category each; the style icon resets the
    // choice although its box is already empty
    f.Image5Click();
    EXPECT_EQ(f.FlatEdit3->text(), "");
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{8, 20}));
    f.Image2Click();
    EXPECT_EQ(f.suiStringGrid1->CurrentRow(), 0);
    EXPECT_EQ(f.Browser().ResultList(), (TResultList{2, 5, 8, 11, 14, 17, 20, 23, 26, 29}));
    f.Image3Click();
    f.Image6Click();
    EXPECT_EQ(f.TntEdit2->text(), "");
    EXPECT_EQ(f.Browser().ResultList().size(), 31u);
    EXPECT_EQ(icons(), (std::vector<Icon>(4, Icon::Magnifier)));

    // a non-ASCII letter searches the lower-cased copy: both cases find it
    f.TntEdit2->setText(QStringLiteral("CAF\u00c9"));
    EXPECT_TRUE(f.Browser().NonAsciiSearch());
    EXPECT_EQ(f.Browser().ResultList(), TResultList{30});
}

TEST_F(MainWindow, SelectionDoubleClickAndTheStartedRow) {
    TForm1& f = Form();
    SkinGrid* grid = f.suiStringGrid4;
    f.TntEdit2->setText(QStringLiteral("station one")); // only station 5
    ASSERT_EQ(grid->RowCount(), 1);
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(f.Browser().SelectedStation(), SplitStationLine(Session().Catalogue().Line(5)));
    // the information line shows the description's markers as they are
    EXPECT_EQ(f.TntLabel1->text(),
              QStringLiteral("Station 5   one<newline>two<newline>three     Style: Jazz    "
                             "Country: Niger    Language: French      "));
    state_->AttemptNumber = 4;
    state_->AutoRetry = false;
    state_->ClipboardMode = true;
    // a double click below the last row starts the current row's station
    QTest::mouseDClick(grid, Qt::LeftButton, {}, QPoint(20, 100));
    EXPECT_EQ(Session().PlayerState().StationLine, Session().Catalogue().Line(5));
    EXPECT_EQ(Session().PlayerState().AttemptNumber, 0);
    EXPECT_FALSE(Session().PlayerState().AutoRetry); // the station has one URL: nothing to retry with
    EXPECT_FALSE(Session().PlayerState().ClipboardMode);
    EXPECT_TRUE(grid->RowStarted(0));
    // the started row stays orange when the view changes and comes back
    f.TntEdit2->setText(QStringLiteral("station"));
    EXPECT_TRUE(grid->RowStarted(5));
    EXPECT_FALSE(grid->RowStarted(4));

    // an empty list: no selection, no menu, and a double click starts nothing
    f.TntEdit2->setText(QStringLiteral("zzz"));
    const TSelectedStation before = f.Browser().SelectedStation();
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseClick(grid, Qt::RightButton, {}, QPoint(20, 5));
    EXPECT_FALSE(f.PopupMenu4->isVisible());
    EXPECT_EQ(f.Browser().SelectedStation(), before);
    state_->AttemptNumber = 3;
    QTest::mouseDClick(grid, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(Session().PlayerState().StationLine.empty());
    EXPECT_EQ(Session().PlayerState().AttemptNumber, 0);
}

TEST_F(MainWindow, RightClickSelectsTheRowAndOpensTheMenuOfTheView) {
    TForm1& f = Form();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    SkinGrid* grid = f.suiStringGrid4;
    const struct {
        void (TForm1::*enter)();
        QMenu* menu;
        QStringList entries;
        std::u16string line; // of row 1
    } cases[] = {
        {nullptr,
         f.PopupMenu4,
         {"Add to Favorites", "Station info", "Open in new window"},
         Session().Catalogue().Line(1)},
        {&TForm1::Label1MouseDown,
         f.PopupMenu2,
         {"Remove from Favorites", "Empty Favorites list", "Station info", "Open in new window"},
         Session().Favorites().Entry(1)},
    };
    for (const auto& c : cases) {
        if (c.enter) (f.*c.enter)();
        QStringList entries;
        for (QAction* a : c.menu->actions())
            entries << a->text();
        EXPECT_EQ(entries, c.entries);
        grid->SetCurrentRow(0);
        QTest::mousePress(grid, Qt::RightButton, {}, QPoint(30, 14 + 6));
        EXPECT_EQ(grid->CurrentRow(), 1);
        EXPECT_EQ(f.Browser().SelectedStation(), SplitStationLine(c.line));
        QTest::mouseRelease(grid, Qt::RightButton, {}, QPoint(30, 14 + 6));
        EXPECT_TRUE(c.menu->isVisible());
        c.menu->hide();
    }
    QStringList recent;
    for (QAction* a : f.PopupMenu3->actions())
        recent << a->text();
    EXPECT_EQ(recent,
              (QStringList{"Remove from Recent", "Empty Recent list", "Station info", "Open in new window"}));
}

TEST_F(MainWindow, ScrollBarsMoveTheirLists) {
    TForm1& f = Form();
    SkinGrid* grid = f.suiStringGrid4;
    const int visible = grid->FullyVisibleRows();
    ASSERT_EQ(visible, 17);
    EXPECT_EQ(f.GaugeBar4->Maximum(), 31 - visible);
    f.GaugeBar4->SetPosition(f.GaugeBar4->Maximum());
    EXPECT_EQ(grid->TopRow(), 31 - visible);
    EXPECT_EQ(grid->RowText(grid->TopRow() + visible - 1), "Caf\u00e9 Paris"); // the last row shows

    // fewer rows than fit: the bar still has one step, which scrolls one row
    f.TntEdit2->setText(QStringLiteral("station 1"));
    EXPECT_EQ(f.GaugeBar4->Maximum(), 1);
    EXPECT_EQ(grid->TopRow(), 0);
    f.GaugeBar4->SetPosition(1);
    EXPECT_EQ(grid->TopRow(), 1);

    // a narrowed category list that fits makes its bar inert
    f.FlatEdit1->setText(QStringLiteral("o"));
    EXPECT_TRUE(f.GaugeBar1->IsInert());
    f.GaugeBar1->SetPosition(1);
    EXPECT_EQ(f.suiStringGrid1->TopRow(), 0);

    // keys move the bar along with the list
    f.FlatEdit1->clear();
    f.TntEdit2->clear();
    grid->SetCurrentRow(25);
    EXPECT_EQ(f.GaugeBar4->Position(), grid->TopRow());
    EXPECT_GT(grid->TopRow(), 0);
}

TEST_F(MainWindow, StationInfoShowsTheSelectedStationModally) {
    TForm1& f = Form();
    TForm4& form4 = Session().StationInfo();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

    // nothing selected yet: a click on the information line opens nothing
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (form4.isVisible()) {
            opened = true;
            form4.reject();
        }
    });
    f.TntLabel1Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);

    f.TntEdit2->setText(QStringLiteral("station one"));
    f.suiStringGrid4Click();
    struct Seen {
        bool modal = false;
        QString name, style, country, language, urls, description;
    } seen;
    QTimer::singleShot(0, [&] {
        seen.modal = form4.isVisible() && form4.isModal();
        seen.name = form4.TntLabel1->text();
        seen.style = form4.TntLabel3->text();
        seen.country = form4.TntLabel4->text();
        seen.language = form4.TntLabel5->text();
        seen.urls = form4.TntMemo2->toPlainText();
        seen.description = form4.TntMemo1->toPlainText();
        QTest::mouseClick(form4.Label7, Qt::LeftButton); // "Close"
    });
    f.Addtofavorites2Click(); // "Station info" of the catalogue menu
    EXPECT_TRUE(seen.modal);
    EXPECT_FALSE(form4.isVisible());
    EXPECT_EQ(seen.name, " Station 5");
    EXPECT_EQ(seen.style, " Jazz");
    EXPECT_EQ(seen.country, " Niger");
    EXPECT_EQ(seen.language, " French");
    EXPECT_EQ(seen.urls, "http://s5.example/live");
    EXPECT_EQ(seen.description.split('\n'), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(form4.size(), QSize(502, 314));
}

// Text pixels of a label drawn alone, by row band: [first, last] row that
// holds any, and the rightmost column.
struct Ink {
    int top = -1, bottom = -1, right = -1;
};
Ink InkOf(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0) {
                if (ink.top < 0) ink.top = y;
                ink.bottom = y;
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

// The title and status lines hold two lines each: words wrap whole, what
// does not fit ends in an ellipsis, and nothing is drawn outside the line.
TEST_F(MainWindow, TitleAndStatusLinesWrapOverTwoLines) {
    TForm1& f = Form();
    const QString failure = QString::fromStdString(AudioErrorText(engine::BASS_ERROR_NONET));
    const QString longName = QStringLiteral("Radio Wonderful Long Name Of A Community Station ").repeated(8);
    const QString huge = QStringLiteral("Endless words ").repeated(8000); // 112,000 characters
    const struct {
        const char* name;
        SkinLabel* line;
        QString text;
        bool fits; // all of it shows, over one or two lines
    } cases[] = {
        {"failure_text_on_the_title_line", f.TntLabel2, failure, true},
        {"short_title", f.TntLabel2, QStringLiteral("Massive Attack - Teardrop"), true},
        {"two_line_title", f.TntLabel2,
         QStringLiteral("The Rolling Stones - You Can't Always Get What You Want"), true},
        {"long_name_on_the_status_line", f.TntLabel3, longName, false},
        {"huge_status", f.TntLabel3, huge, false},
        {"huge_title", f.TntLabel2, huge, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QFontMetrics metrics(c.line->font());
        ASSERT_LE(2 * metrics.lineSpacing(), c.line->height()) << "a font that holds two lines";
        c.line->setText(c.text);
        const QStringList lines = c.line->ShownLines();
        ASSERT_GE(lines.size(), 1);
        ASSERT_LE(lines.size(), 2);
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), c.line->width()) << line.toStdString();
        if (c.fits) {
            // every word whole, in order
            EXPECT_EQ(lines.join(' ').simplified(), c.text.simplified());
            EXPECT_EQ(lines.size(), metrics.horizontalAdvance(c.text) > c.line->width() ? 2 : 1);
        } else {
            ASSERT_EQ(lines.size(), 2);
            EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
        }
        const Ink ink = InkOf(*c.line);
        EXPECT_LT(ink.right, c.line->width());
        if (lines.size() == 2) {
            // ink in the lower line's band too
            EXPECT_LT(ink.top, c.line->height() / 2);
            EXPECT_GT(ink.bottom, metrics.lineSpacing() + 2);
        }
    }
    // markup is text too
    f.TntLabel2->setText(QStringLiteral("<b>Bold</b> & <i>co</i>"));
    EXPECT_EQ(f.TntLabel2->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.TntLabel2->ShownLines(), QStringList{"<b>Bold</b> & <i>co</i>"});
}

TEST_F(MainWindow, RecordingLabelIsSmallGreyBoldText) {
    SkinLabel* label = Form().Label23;
    EXPECT_EQ(label->text(), "recording");
    EXPECT_TRUE(label->font().bold());
    EXPECT_LE(label->font().pixelSize(), 9);
    const QColor c = label->TextColor();
    EXPECT_LT(c.hslSaturation(), 20) << c.name().toStdString(); // grey, not red
    EXPECT_GT(c.lightness(), 96);
}

// Station Info's name, style, country and language wrap in their fields and
// never grow past them, whatever the station holds.
TEST_F(MainWindow, StationInfoFieldsKeepLongTextsInTheirFrames) {
    TForm4& form4 = Session().StationInfo();
    const QString name = QStringLiteral("Radio Name Of Several Hundred Characters ").repeated(10);
    const QString url = QStringLiteral("http://long.example/") + QString(15000, QLatin1Char('x'));
    TStationRecord record =
        SplitStationLine((name + "\tdescription\tRock\tGermany\tGerman\t" + url).toStdU16String());
    std::map<SkinLabel*, QRect> before;
    for (SkinLabel* l : {form4.TntLabel1, form4.TntLabel3, form4.TntLabel4, form4.TntLabel5})
        before[l] = l->geometry();
    ASSERT_TRUE(form4.FillFrom(record));
    for (auto& [label, geometry] : before) {
        EXPECT_EQ(label->geometry(), geometry);
        EXPECT_TRUE(label->IsWrapped());
        const QStringList lines = label->ShownLines();
        ASSERT_EQ(lines.size(), 1);
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(lines[0]), label->width());
    }
    EXPECT_TRUE(form4.TntLabel1->ShownLines()[0].endsWith(QChar(0x2026)));
    EXPECT_EQ(form4.TntLabel1->text(), " " + name); // the text itself is whole
    EXPECT_EQ(form4.TntMemo2->toPlainText(), url);
}

TEST_F(MainWindow, AssistiveTechnologyReadsTheControls) {
    TForm1& f = Form();
    f.suiStringGrid4->SetCurrentRow(2);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.suiStringGrid4);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->role(), QAccessible::List);
    EXPECT_EQ(grid->text(QAccessible::Name), "Stations");
    EXPECT_EQ(grid->childCount(), 31);
    ASSERT_NE(grid->child(2), nullptr);
    EXPECT_EQ(grid->child(2)->text(QAccessible::Name), "Station 2");
    EXPECT_EQ(grid->child(2)->role(), QAccessible::ListItem);
    EXPECT_TRUE(grid->child(2)->state().selected);
    EXPECT_FALSE(grid->child(1)->state().selected);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->selectedRows(), QList<int>{2});
    EXPECT_TRUE(table->selectRow(4)); // a screen reader moves the selection
    EXPECT_EQ(f.Browser().SelectedStation(), SplitStationLine(Session().Catalogue().Line(4)));
    EXPECT_EQ(grid->indexOfChild(grid->child(7)), 7);

    QAccessibleInterface* styles = QAccessible::queryAccessibleInterface(f.suiStringGrid1);
    EXPECT_EQ(styles->child(0)->text(QAccessible::Name), "All");

    QAccessibleInterface* volume = QAccessible::queryAccessibleInterface(f.DIBKnob5);
    EXPECT_EQ(volume->role(), QAccessible::Dial);
    EXPECT_EQ(volume->text(QAccessible::Name), "Volume");
    ASSERT_NE(volume->valueInterface(), nullptr);
    EXPECT_EQ(volume->valueInterface()->currentValue().toInt(), 50);
    EXPECT_EQ(volume->valueInterface()->maximumValue().toInt(), 100);
    volume->valueInterface()->setCurrentValue(70);
    EXPECT_EQ(f.DIBKnob5->Value(), 70);

    QAccessibleInterface* rec = QAccessible::queryAccessibleInterface(f.suiImageButton9);
    EXPECT_EQ(rec->role(), QAccessible::CheckBox);
    EXPECT_EQ(rec->text(QAccessible::Name), "Rec");
    EXPECT_FALSE(rec->state().checked);
    f.suiImageButton9->SetState(SkinSwitch::State::Recording);
    EXPECT_TRUE(rec->state().checked);
    EXPECT_EQ(rec->text(QAccessible::Description), "recording");

    f.TntLabel3->setText(QStringLiteral("connecting..."));
    const struct {
        QWidget* widget;
        QAccessible::Role role;
        QString name;
    } named[] = {
        {f.TntLabel3, QAccessible::StaticText, "connecting..."},
        {f.TntLabel1, QAccessible::StaticText, f.TntLabel1->text()},
        {f.Label24, QAccessible::StaticText, "showing 31 stations"},
        {f.Label19, QAccessible::Button, "Settings"},
        {f.Label1, QAccessible::Button, "Favorites"},
        {f.TntEdit2, QAccessible::EditableText, "Search stations"},
        {f.FlatEdit2, QAccessible::EditableText, "Country filter"},
        {f.Image6, QAccessible::Button, "Clear search"},
        {f.GaugeBar4, QAccessible::ScrollBar, "Stations scroll bar"},
        {f.DIBKnob1, QAccessible::ProgressBar, "Level"},
        {f.suiImageButton3, QAccessible::Button, "URL"},
    };
    for (const auto& n : named) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(n.widget);
        ASSERT_NE(iface, nullptr) << n.widget->objectName().toStdString();
        EXPECT_EQ(iface->role(), n.role) << n.widget->objectName().toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), n.name) << n.widget->objectName().toStdString();
    }
    // pressing "Favorites" through assistive technology switches the view
    QAccessibleInterface* favorites = QAccessible::queryAccessibleInterface(f.Label1);
    favorites->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(f.Browser().View(), TBrowseView::Favorites);
}

TEST(SkinKnob, TurnsByDragWheelAndKeysWithinItsRange) {
    SkinKnob knob(-20, 20, 0);
    knob.resize(41, 41);
    int changes = 0;
    QObject::connect(&knob, &SkinKnob::valueChanged, [&] { ++changes; });
    knob.SetValue(99);
    EXPECT_EQ(knob.Value(), 20);
    knob.SetValue(25); // stays at the bound: no change reported
    EXPECT_EQ(changes, 1);

    knob.SetValue(0);
    QTest::mousePress(&knob, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(&knob, QPoint(20, 5)); // 15 px up: a tenth of the 150 px travel
    QTest::mouseRelease(&knob, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(knob.Value(), 4);

    QWheelEvent down(QPointF(20, 20), QPointF(20, 20), {}, QPoint(0, -240), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&knob, &down);
    EXPECT_EQ(knob.Value(), 2);
    QTest::keyClick(&knob, Qt::Key_End);
    EXPECT_EQ(knob.Value(), 20);
}

TEST(GaugeBar, AlwaysHasAStep) {
    GaugeBar bar;
    for (auto [min, max, expected] : {std::tuple{0, 10, 10}, {0, 0, 1}, {0, -5, 1}, {3, 2, 4}}) {
        bar.SetRange(min, max);
        EXPECT_EQ(bar.Maximum(), expected);
    }
}

} // namespace
