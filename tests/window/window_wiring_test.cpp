// The main window's wiring to the playback, effect and recording layers, on
// the offscreen platform with the scriptable engine fake: closing while
// workers are busy, the URL button and menu, knobs, captions and keys, the
// scrolling information line, the personal-list entries and the start station.

#include "tests/window/window_fixture.h"

#include <QDesktopServices>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::window_test;
using lumaro::test_support::BoxAnswer;

namespace {

TEST_F(WindowWiring, ClosingWhileAWorkerWaitsForTheWindowDoesNotHang) {
    DoubleClick("One URL");
    EXPECT_EQ(RunningConnectionWorkers(), 1) << "counted from its launch, running or not";
    // The worker now sends "connecting..." and waits for this thread, which
    // closes the window without having handled it.
    ASSERT_TRUE(form_->close());
    EXPECT_EQ(Calls("BASS_Free"), 2u) << "closing released the engine (its start was the first)";
    EXPECT_EQ(RunningConnectionWorkers(), 0) << "the engine goes only after every worker";
}

TEST_F(WindowWiring, ClosingWhileAWorkerIsStuckInTheEngineLeavesTheEngineToIt) {
    FakeAudioLibrary::Script stuck;
    stuck.gate = "connect";
    fake_->SetScript("http://one.example/live", stuck);
    DoubleClick("One URL");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Calls("BASS_StreamCreateURL") == 1; }, kWait));
    ASSERT_TRUE(form_->close());
    EXPECT_EQ(RunningConnectionWorkers(), 1);
    // The session goes and leaves the engine to the worker: it opens, finds
    // itself superseded and frees its stream.
    session_.reset();
    std::unique_ptr<FakeAudioLibrary> engine(fake_);
    fake_->Release("connect");
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    EXPECT_TRUE(fake_->IsFreed(fake_->HandleFor("http://one.example/live")));
    EXPECT_TRUE(fake_->Audible().empty());
    fake_ = nullptr;
}

TEST_F(WindowWiring, UrlButtonAndMenu) {
    EXPECT_EQ(form_->Label13->text(), "URL (0)");
    DoubleClick("Two URLs");
    WaitForAttempt();
    EXPECT_EQ(form_->Label13->text(), "URL (2)");
    auto entries = [&] {
        QStringList out;
        for (QAction* a : form_->PopupMenu1->actions())
            out << (a->isSeparator() ? "-" : (a->isChecked() ? "* " : "  ") + a->text());
        return out;
    };
    EXPECT_EQ(entries(), QStringList({"* http://a.example/1", "  http://b.example/2", "-",
                                      "  Copy current URL to clipboard", "  Play URL from clipboard"}));

    // any mouse button opens it when no attempt is busy
    QTest::mouseClick(form_->suiImageButton3, Qt::RightButton);
    EXPECT_TRUE(form_->PopupMenu1->isVisible());
    form_->PopupMenu1->hide();

    form_->PopupMenu1->actions()[1]->trigger();
    WaitForAttempt();
    EXPECT_EQ(fake_->OpenedUrls().back(), "http://b.example/2");
    EXPECT_EQ(entries()[0], "  http://a.example/1");
    EXPECT_EQ(entries()[1], "* http://b.example/2");

    form_->PopupMenu1->actions()[3]->trigger(); // copy
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://b.example/2");

    QGuiApplication::clipboard()->setText("http://clip.example/x\nand a second line");
    form_->PopupMenu1->actions()[4]->trigger(); // play from the clipboard
    WaitForAttempt();
    EXPECT_EQ(fake_->OpenedUrls().back(), "http://clip.example/x");
    EXPECT_EQ(form_->Label13->text(), "URL (0)");
    EXPECT_EQ(entries()[0], "* http://clip.example/x");
    EXPECT_EQ(session_->Recent().Entry(0), u"http://clip.example/x\t");

    // while an attempt is busy, the URL button opens nothing
    FakeAudioLibrary::Script stuck;
    stuck.gate = "connect";
    fake_->SetScript("http://a.example/1", stuck);
    DoubleClick("Two URLs");
    ASSERT_TRUE(session_->PlayerState().UrlMenuBusy);
    QTest::mouseClick(form_->suiImageButton3, Qt::LeftButton);
    EXPECT_FALSE(form_->PopupMenu1->isVisible());
}

// A station of the directory's extremes: a name of 400 characters and a URL
// of 15,000 (with a query string). The menu shows a short caption of it, the
// entry still copies the whole URL, and no control grows past its place.
TEST_F(WindowWiring, LongStationDataStaysUsable) {
    const std::u16string name = QString("Radio Of A Very Long Name ").repeated(16).toStdU16String();
    const std::string url = "http://long.example/stream?a=1&b=" + std::string(15000, 'x') + "&end=1";
    const std::u16string line =
        name + u"\tdescription\tRock\tGermany\tGerman\t" + std::u16string(url.begin(), url.end());
    session_.reset();
    InDir([&] { TScrambledListFile::SaveWideList("stations.dat", {line, kOneUrl}, kListKey); });
    auto fake = std::make_unique<FakeAudioLibrary>();
    fake_ = fake.get();
    fake_->SetScript(url, {});
    session_ = std::make_unique<TAppSession>(dir_.path(), QString(), std::move(fake));
    form_ = &session_->MainWindow();
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_));
    const QRect gridBefore = form_->suiStringGrid4->geometry(), infoBefore = form_->TntLabel1->geometry();

    form_->suiStringGrid4->SetCurrentRow(0, true);
    form_->suiStringGrid4Click();
    form_->suiStringGrid4DblClick();
    WaitForAttempt();
    ASSERT_EQ(fake_->OpenedUrls().back(), url);

    QAction* entry = form_->PopupMenu1->actions().value(0);
    ASSERT_NE(entry, nullptr);
    const QString caption = entry->text();
    EXPECT_LE(QFontMetrics(form_->PopupMenu1->font()).horizontalAdvance(caption), 440);
    EXPECT_TRUE(caption.startsWith("http://long.example/stream?a=1&&b=")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith("&&end=1")) << caption.toStdString();
    EXPECT_TRUE(caption.contains(QChar(0x2026)));
    EXPECT_EQ(entry->data().toString().toStdString(), url);
    form_->PopupMenu1->popup(QPoint(10, 10));
    EXPECT_LE(form_->PopupMenu1->sizeHint().width(), 600);
    form_->PopupMenu1->hide();
    form_->PopupMenu1->actions()[2]->trigger(); // "Copy current URL to clipboard"
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), url);

    // the results grid, the information line: drawn in their places
    EXPECT_EQ(form_->suiStringGrid4->geometry(), gridBefore);
    EXPECT_EQ(form_->TntLabel1->geometry(), infoBefore);
    EXPECT_EQ(form_->TntLabel1->text().left(20), QString::fromStdU16String(name).left(20));
    EXPECT_LE(form_->TntLabel1->ShownLines().value(0).size(), 1000);
    QImage image(form_->size(), QImage::Format_ARGB32_Premultiplied);
    form_->render(&image);
    // the station's name as the status line shows it once playing: two lines
    form_->TntLabel3->setText(QString::fromStdU16String(name));
    EXPECT_EQ(form_->TntLabel3->ShownLines().size(), 2);
}

TEST_F(WindowWiring, CaptionOnAKnobAtItsStartSendsNothing) {
    const size_t before = Calls("BASS_ChannelSetAttribute");
    QTest::mouseClick(form_->Label9, Qt::LeftButton); // Pan, already 0
    EXPECT_EQ(Calls("BASS_ChannelSetAttribute"), before);
    form_->DIBKnob7->SetValue(40);
    EXPECT_EQ(Calls("BASS_ChannelSetAttribute"), before + 1);
    QTest::mouseClick(form_->Label9, Qt::LeftButton);
    EXPECT_EQ(Calls("BASS_ChannelSetAttribute"), before + 2);
    EXPECT_EQ(form_->DIBKnob7->Value(), 0);
    EXPECT_EQ(session_->Effects().Position(TEffectKnob::Pan), 0);
}

TEST_F(WindowWiring, VolumeKeysAndF5ActAndStillReachTheFocusedBox) {
    struct KeyCase {
        const char* name;
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int presses;
        int volume;
        QString typed;
    };
    const KeyCase cases[] = {
        {"numpad plus", 50, Qt::Key_Plus, Qt::KeypadModifier, 1, 53, "+"},
        {"numpad minus", 50, Qt::Key_Minus, Qt::KeypadModifier, 1, 47, "-"},
        {"plain plus does nothing", 50, Qt::Key_Plus, Qt::NoModifier, 1, 50, "+"},
        {"F12 once", 50, Qt::Key_F12, Qt::NoModifier, 1, 53, ""},
        {"F12 stops at 100", 98, Qt::Key_F12, Qt::NoModifier, 5, 100, ""},
        {"shift F11 stops at 0", 2, Qt::Key_F11, Qt::ShiftModifier, 1, 0, ""},
    };
    for (const KeyCase& c : cases) {
        form_->DIBKnob5->SetValue(c.start);
        form_->TntEdit2->clear();
        form_->TntEdit2->setFocus();
        for (int i = 0; i < c.presses; ++i)
            QTest::keyClick(form_->TntEdit2, c.key, c.modifiers);
        EXPECT_EQ(form_->DIBKnob5->Value(), c.volume) << c.name;
        EXPECT_EQ(session_->Effects().Position(TEffectKnob::Volume), c.volume) << c.name;
        EXPECT_EQ(form_->TntEdit2->text(), c.typed) << c.name;
    }
    QTest::keyClick(form_->TntEdit2, Qt::Key_F5);
    EXPECT_EQ(session_->Effects().MuteState(), 1);
    EXPECT_EQ(form_->suiImageButton7->CurrentState(), SkinSwitch::State::On);
    QTest::mouseClick(form_->suiImageButton7, Qt::LeftButton);
    EXPECT_EQ(session_->Effects().MuteState(), 0);
    EXPECT_EQ(form_->suiImageButton7->CurrentState(), SkinSwitch::State::Idle);
    QTest::mouseClick(form_->suiImageButton2, Qt::LeftButton);
    EXPECT_EQ(session_->Effects().MonoState(), 1);
    EXPECT_EQ(form_->suiImageButton2->CurrentState(), SkinSwitch::State::On);
}

TEST_F(WindowWiring, InformationLineScrollsOnlyWhenTooWideAndPointedAt) {
    auto enter = [&] {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(form_->TntLabel1, &event);
    };
    auto leave = [&] {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(form_->TntLabel1, &event);
    };
    form_->TntLabel1->setText("Short");
    enter();
    EXPECT_FALSE(form_->Timer2->isActive());
    leave();

    const QString wide = QString("A rather long description of a station ").repeated(4);
    form_->TntLabel1->setText(wide);
    enter();
    EXPECT_TRUE(form_->Timer2->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->TntLabel1->text() != wide; }, kWait));
    EXPECT_EQ(form_->TntLabel1->text().size(), wide.size());
    leave();
    EXPECT_FALSE(form_->Timer2->isActive());
}

TEST_F(WindowWiring, PersonalListButtonsAndMenuEntries) {
    // "Add to Fav." with the current station, then the catalogue menu's entry
    DoubleClick("Two URLs");
    WaitForAttempt();
    QTest::mouseClick(form_->suiImageButton4, Qt::LeftButton);
    form_->suiStringGrid4->SetCurrentRow(0);
    form_->PopupMenu4->actions()[0]->trigger(); // Add to Favorites
    ASSERT_EQ(session_->Favorites().Count(), 2u);
    EXPECT_EQ(session_->Favorites().Entry(0), kOneUrl);
    EXPECT_EQ(session_->Favorites().Entry(1), kTwoUrls);
    EXPECT_TRUE(Exists("fav.dat"));

    // in the Favorites view: remove the first, then empty the list
    form_->Label1MouseDown();
    form_->suiStringGrid4->SetCurrentRow(0);
    form_->PopupMenu2->actions()[0]->trigger(); // Remove from Favorites
    ASSERT_EQ(session_->Favorites().Count(), 1u);
    EXPECT_EQ(form_->suiStringGrid4->RowText(0), "Two URLs");
    form_->PopupMenu2->actions()[1]->trigger(); // Empty Favorites list
    EXPECT_EQ(session_->Favorites().Count(), 0u);
    EXPECT_FALSE(Exists("fav.dat"));

    // Recent holds the played station; emptying it deletes rec.dat
    ASSERT_TRUE(Exists("rec.dat"));
    form_->Label17MouseDown();
    EXPECT_EQ(form_->suiStringGrid4->RowText(0), "Two URLs");
    // a station started while Recent shows is on top of the view at once
    QGuiApplication::clipboard()->setText("http://clip.example/x");
    form_->PopupMenu1->actions().back()->trigger(); // "Play URL from clipboard"
    WaitForAttempt();
    ASSERT_EQ(form_->suiStringGrid4->RowCount(), 2);
    EXPECT_EQ(form_->suiStringGrid4->RowText(0), "http://clip.example/x");
    form_->PopupMenu3->actions()[1]->trigger(); // Empty Recent list
    EXPECT_EQ(session_->Recent().Count(), 0u);
    EXPECT_FALSE(Exists("rec.dat"));
}

TEST_F(WindowWiring, PlayStopWithoutAStationSaysSo) {
    BoxAnswer ok(QMessageBox::Ok);
    QTest::mouseClick(form_->suiImageButton8, Qt::LeftButton);
    EXPECT_EQ(ok.Asked(), QApplication::applicationDisplayName() + "|Please double-click a station to play");
    EXPECT_EQ(Calls("BASS_StreamCreateURL"), 0u);
}

// Stands in for the desktop's file browser: file URLs opened through the
// desktop services come here.
class FileBrowser : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

TEST_F(WindowWiring, RecordingsCaptionOpensTheRecordingsFolder) {
    FileBrowser browser;
    QDesktopServices::setUrlHandler("file", &browser, "Open");
    QTest::mouseClick(form_->Label22, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0].toLocalFile(), QDir(dir_.path()).filePath("LumaroRadioRecordings"));
    EXPECT_TRUE(QDir(dir_.path()).exists("LumaroRadioRecordings"));
}

TEST(WindowEngineStart, AFailingEngineShowsWhyAndEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct StartCase {
        const char* name;
        DWORD version;
        bool initFails;
        // the box as printed below: owner, then its text with line breaks as "|"
        const char* box;
    };
    const StartCase cases[] = {
        {"wrong version", 0x02030000, false, "BOX owner=0: An incorrect version of BASS.DLL was loaded"},
        {"no output device", BASS_VERSION, true,
         "BOX owner=1: Can't initialize device.*error code: Can't find a free sound driver"},
    };
    for (const StartCase& c : cases) {
        EXPECT_EXIT(
            {
                QTemporaryDir dir;
                auto fake = std::make_unique<FakeAudioLibrary>();
                fake->version = c.version;
                fake->initFails = c.initFails;
                fake->initError = BASS_ERROR_DRIVER;
                QTimer answer;
                QObject::connect(&answer, &QTimer::timeout, [] {
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    if (!box) return;
                    std::fprintf(stderr, "BOX owner=%d: %s\n", box->parentWidget() != nullptr,
                                 box->text().replace('\n', '|').toUtf8().constData());
                    box->button(QMessageBox::Ok)->click();
                });
                answer.start(10);
                TAppSession session(dir.path(), QString(), std::move(fake));
                std::fprintf(stderr, "the window was made\n");
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(EXIT_FAILURE), c.box)
            << c.name;
    }
}

TEST_F(WindowWiring, AutoPlayStartsTheDefaultStationThroughPlayStop) {
    InDir([] { TScrambledListFile::SaveWideList("index.dat", {kTwoUrls}, kListKey); });
    TForm2 settings(*session_);
    EXPECT_EQ(session_->PlayerState().StationLine, kTwoUrls);
    EXPECT_EQ(Calls("BASS_StreamCreateURL"), 0u) << "auto-play is off";
    session_->Player().SetAutoPlay(true);
    TForm2 autoPlaying(*session_);
    EXPECT_EQ(autoPlaying.width(), 231) << "the dialog was made whole";
    WaitForAttempt();
    EXPECT_EQ(fake_->OpenedUrls(), std::vector<std::string>{"http://a.example/1"});
    EXPECT_EQ(form_->suiImageButton8->CurrentState(), SkinSwitch::State::On);
    EXPECT_TRUE(session_->PlayerState().AutoRetry);
}

} // namespace

#include "window_wiring_test.moc"
