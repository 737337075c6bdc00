// The Settings dialog on the offscreen platform: its face, the options and
// their colours, the autostart entry, the default-station menu and index.dat,
// the recordings folder through a chooser the test answers, the time-out box,
// the hot-key field, OK and what assistive technology reads.
#include "data/scrambled_list_file.h"
#include "recording/recorder.h"
#include "shell/app_info.h"
#include "shell/app_session.h"
#include "shell/autostart_entry.h"
#include "shell/settings_controls.h"
#include "shell/settings_dialog_layout.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "tests/support/capture.h"
#include "ui/skin_label.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include <unistd.h>

using namespace lumaro;

namespace {

const std::u16string kRockLine = u"Rock & Roll\t-\tRock\t-\t-\thttp://rock.example/live";
const std::u16string kJazzLine = u"Jazz FM\t-\tJazz\t-\t-\thttp://jazz.example/live";
const std::u16string kRecentLine = u"http://recent.example/only";

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program directory with a small catalogue, two Favorites and one Recent,
// and a configuration home of its own for the autostart entry.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(config_.isValid());
        startDir_ = QDir::currentPath();
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        InDir([] {
            TScrambledListFile::SaveWideList(
                "stations.dat",
                {u"Station 0\t-\tPop\t-\t-\thttp://s0", u"Station 1\t-\tPop\t-\t-\thttp://s1"}, kListKey);
            TScrambledListFile::SaveWideList("fav.dat", {kJazzLine, kRockLine}, kListKey);
            TScrambledListFile::SaveWideList("rec.dat", {kRecentLine}, kListKey);
        });
    }
    void TearDown() override {
        session_.reset();
        qunsetenv("XDG_CONFIG_HOME");
        QDir::setCurrent(startDir_); // the session made the program directory current
    }
    void InDir(const std::function<void()>& body) {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        body();
        QDir::setCurrent(old);
    }
    TForm2& Open(const QString& argument = {}) {
        session_ = std::make_unique<TAppSession>(dir_.path(), argument);
        session_->MainWindow().show();
        return session_->Settings();
    }
    QString File(const char* name) const { return QDir(dir_.path()).filePath(QString::fromLatin1(name)); }
    WideList IndexLines() {
        WideList lines;
        InDir([&] { TScrambledListFile::LoadWideList("index.dat", lines, kListKey); });
        return lines;
    }
    // The colour the option or button shows away from its text.
    static QColor Shown(QWidget* w) {
        return w->grab().toImage().pixelColor(w->width() - 6, w->height() / 2);
    }

    QTemporaryDir dir_, config_;
    QString startDir_;
    std::unique_ptr<TAppSession> session_;
};

TEST_F(SettingsDialog, FaceMatchesItsLayout) {
    TForm2& form = Open();
    form.show();
    EXPECT_EQ(form.size(), QSize(231, 312));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    const struct {
        QWidget* control;
        const char* name;
        const char* caption; // as shown
    } rows[] = {
        {form.Label19, "Label19", "Settings"},
        {form.Label2, "Label2", "  Start with Windows"},
        {form.Label1, "Label1", "  Minimize to tray"},
        {form.Label4, "Label4", "  Remember window position"},
        {form.Label3, "Label3", "  Auto play on start"},
        {form.Label7, "Label7", "Default station (click to set)"},
        {form.TntLabel1, "TntLabel1", "(empty)"},
        {form.Label8, "Label8", "Recordings folder (click to set)"},
        {form.Label9, "Label9", "Connection timeout (seconds)"},
        {form.suiSpinEdit1, "suiSpinEdit1", "5"},
        {form.Label10, "Label10", "Set Global HotKey to Show/Hide Lumaro Radio"},
        {form.HotKey1, "HotKey1", "Shift+Ctrl+F12"},
        {form.Label6, "Label6", "        OK"},
    };
    const QImage face = form.grab().toImage();
    int lastTop = -1;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.control->objectName(), r.name);
        EXPECT_TRUE(r.control->isVisible());
        EXPECT_EQ(r.control->geometry(), SettingsRow(r.name)->Rect);
        EXPECT_GE(r.control->y(), lastTop); // top to bottom
        lastTop = r.control->y();
        QString shown;
        if (auto* l = qobject_cast<SkinLabel*>(r.control)) shown = l->text();
        if (auto* f = qobject_cast<TSettingsField*>(r.control)) shown = f->text();
        if (auto* s = qobject_cast<QSpinBox*>(r.control)) shown = s->text();
        if (auto* e = qobject_cast<QLineEdit*>(r.control)) shown = e->text();
        if (qobject_cast<TSettingsOption*>(r.control) || qobject_cast<TSettingsButton*>(r.control))
            shown = r.control->property("caption").toString();
        EXPECT_EQ(shown, r.caption);
        // framed controls stand on #151515 one pixel out; captions do not
        const QRect g = r.control->geometry();
        const bool framed = !qobject_cast<SkinLabel*>(r.control);
        for (QPoint p : {QPoint(g.left() - 1, g.center().y()), QPoint(g.right() + 1, g.center().y()),
                         QPoint(g.center().x(), g.top() - 1), QPoint(g.center().x(), g.bottom() + 1)})
            EXPECT_EQ(face.pixelColor(p) == QColor(0x15, 0x15, 0x15), framed) << p.x() << "," << p.y();
    }
    // the reserved option exists, holds the reserved flag and is never shown
    EXPECT_EQ(form.Label5->property("caption").toString(), "  Label1");
    EXPECT_FALSE(form.Label5->isVisible());
    // the one-pixel black border
    for (QPoint p : {QPoint(0, 0), QPoint(230, 100), QPoint(100, 311), QPoint(0, 311)})
        EXPECT_EQ(face.pixelColor(p), QColor(Qt::black));
}

TEST_F(SettingsDialog, AnyMouseButtonFlipsAnOptionAndItsColourFollows) {
    TForm2& form = Open();
    form.show();
    const QColor off(0x68, 0x74, 0x86), on(0xF8, 0x95, 0x3C);
    const struct {
        TSettingsOption* option;
        int* state;
    } options[] = {{form.Label2, &form.Options().StartWithWindows},
                   {form.Label1, &form.Options().MinimizeToTray},
                   {form.Label4, &form.Options().RememberPosition},
                   {form.Label3, &form.Options().AutoPlay}};
    const struct {
        int before;
        Qt::MouseButton button;
        int after;
    } flips[] = {{0, Qt::LeftButton, 1},
                 {1, Qt::RightButton, 0},
                 {0, Qt::MiddleButton, 1},
                 {2, Qt::LeftButton, 0},
                 {-1, Qt::RightButton, 0}};
    for (const auto& o : options) {
        for (const auto& f : flips) {
            SCOPED_TRACE(o.option->objectName().toStdString() + " from " + std::to_string(f.before));
            *o.state = f.before;
            form.RefreshOptionColours();
            EXPECT_EQ(Shown(o.option), f.before == 1 ? on : off);
            QTest::mousePress(o.option, f.button);
            EXPECT_EQ(*o.state, f.after);
            EXPECT_EQ(Shown(o.option), f.after == 1 ? on : off);
            QTest::mouseRelease(o.option, f.button);
            EXPECT_EQ(*o.state, f.after); // the release flips nothing back
        }
    }
    // states set from outside (the settings file) show at the next showing
    form.hide();
    form.Options().AutoPlay = 1;
    form.Options().MinimizeToTray = 0;
    form.show();
    EXPECT_EQ(Shown(form.Label3), on);
    EXPECT_EQ(Shown(form.Label1), off);
}

TEST_F(SettingsDialog, OkIsDarkerUntilPressedByAnyButton) {
    TForm2& form = Open();
    form.show();
    const QColor normal(0x47, 0x4D, 0x5A), pressed(0x68, 0x74, 0x86);
    EXPECT_EQ(Shown(form.Label6), normal);
    QTest::mousePress(form.Label6, Qt::RightButton);
    EXPECT_EQ(Shown(form.Label6), pressed);
    QTest::mouseRelease(form.Label6, Qt::RightButton);
    EXPECT_EQ(Shown(form.Label6), normal);
    EXPECT_TRUE(form.isVisible()); // only the left button confirms
}

TEST_F(SettingsDialog, StartWithWindowsWritesAndRemovesTheAutostartEntry) {
    TForm2& form = Open();
    form.show();
    const QString entry = config_.path() + "/autostart/" + kAppId + ".desktop";
    EXPECT_EQ(AutostartEntryPath(), entry);
    QTest::mouseClick(form.Label2, Qt::LeftButton);
    ASSERT_EQ(form.Options().StartWithWindows, 1);
    const QByteArray text = Bytes(entry);
    EXPECT_EQ(text.toStdString(),
              AutostartEntryText("Lumaro Radio", AutostartCommand(QCoreApplication::applicationFilePath())));
    EXPECT_TRUE(text.contains("\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\" a\n"));
    EXPECT_TRUE(text.contains("\nName=Lumaro Radio\n"));
    EXPECT_EQ(test_support::Capture("desktop-file-validate " + test_support::Quote(entry.toStdString()) +
                                    " && echo valid"),
              "valid\n");
    QTest::mouseClick(form.Label2, Qt::RightButton);
    EXPECT_EQ(form.Options().StartWithWindows, 0);
    EXPECT_FALSE(QFile::exists(entry));
    // switching it off again with no entry is quiet
    form.Options().StartWithWindows = 5;
    QTest::mouseClick(form.Label2, Qt::LeftButton);
    EXPECT_EQ(form.Options().StartWithWindows, 0);
    EXPECT_FALSE(QFile::exists(entry));
}

TEST_F(SettingsDialog, AutostartThatCannotBeWrittenIsQuiet) {
    // the configuration home is a file: no folder can be made under it
    const QString file = config_.filePath("not-a-folder");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("XDG_CONFIG_HOME", file.toUtf8());
    TForm2& form = Open();
    form.show();
    QTest::mouseClick(form.Label2, Qt::LeftButton);
    EXPECT_EQ(form.Options().StartWithWindows, 1);
    EXPECT_FALSE(QFile::exists(AutostartEntryPath()));
}

TEST(AutostartEntry, FolderFollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const struct {
        const char* value; // nullptr: unset
        QString folder;
    } cases[] = {
        {"/tmp/cfg", "/tmp/cfg/autostart"},
        {"/tmp/cfg/", "/tmp/cfg/autostart"},
        {nullptr, QDir::homePath() + "/.config/autostart"},
        {"", QDir::homePath() + "/.config/autostart"},
        {"relative/cfg", QDir::homePath() + "/.config/autostart"}, // only absolute paths count
    };
    for (const auto& c : cases) {
        if (c.value)
            qputenv("XDG_CONFIG_HOME", c.value);
        else
            qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(AutostartFolder(), c.folder) << (c.value ? c.value : "(unset)");
    }
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(AutostartEntry, ExecQuotesThePathByTheDesktopEntryRules) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const struct {
        QString path;
        const char* exec; // the Exec line as written
    } cases[] = {
        {"/opt/lumaro/lumaro-radio", "Exec=\"/opt/lumaro/lumaro-radio\" a"},
        {"/home/me/Lumaro Radio/lumaro-radio", "Exec=\"/home/me/Lumaro Radio/lumaro-radio\" a"},
        // ", `, $ and \ take a backslash inside the quotes, and the string
        // value doubles every backslash; % is doubled for the field codes
        {"/x/a\"b$c`d\\e%f", "Exec=\"/x/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f\" a"},
        {QString::fromUtf8("/home/jürgen/Радио/lumaro-radio"), "Exec=\"/home/jürgen/Радио/lumaro-radio\" a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        SetAutostart("Lumaro Radio", AutostartCommand(c.path));
        const QByteArray text = Bytes(AutostartEntryPath());
        EXPECT_TRUE(text.contains("\n" + QByteArray(c.exec) + "\n")) << text.toStdString();
        EXPECT_EQ(test_support::Capture("desktop-file-validate " +
                                        test_support::Quote(AutostartEntryPath().toStdString()) +
                                        " && echo valid"),
                  "valid\n");
    }
    ClearAutostart();
    EXPECT_FALSE(QFile::exists(AutostartEntryPath()));
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(SettingsDialog, DefaultStationMenuListsFavoritesAndRecentByName) {
    TForm2& form = Open();
    form.show();
    // a release of any button on the caption or the field opens it
    for (QWidget* w : {static_cast<QWidget*>(form.Label7), static_cast<QWidget*>(form.TntLabel1)}) {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mousePress(w, button);
            EXPECT_FALSE(form.TntPopupMenu1->isVisible());
            QTest::mouseRelease(w, button);
            EXPECT_TRUE(form.TntPopupMenu1->isVisible()) << w->objectName().toStdString();
            form.TntPopupMenu1->hide();
        }
    }
    QStringList top;
    for (QAction* a : form.TntPopupMenu1->actions())
        top << a->text();
    EXPECT_EQ(top, QStringList({"Use current", "Favorites", "Recent", "(empty)"}));
    QStringList favorites, recent;
    for (QAction* a : form.Favorites1->actions())
        favorites << a->text();
    for (QAction* a : form.Recent1->actions())
        recent << a->text();
    // "&" is shown, not taken as a shortcut; a bare URL is its own name
    EXPECT_EQ(favorites, QStringList({"Jazz FM", "Rock && Roll"}));
    EXPECT_EQ(recent, QStringList({"http://recent.example/only"}));

    // opened again after the lists changed: filled anew
    session_->Favorites().Clear();
    session_->Recent().Clear();
    QTest::mouseRelease(form.TntLabel1, Qt::LeftButton);
    EXPECT_TRUE(form.Favorites1->actions().isEmpty());
    EXPECT_TRUE(form.Recent1->actions().isEmpty());
}

TEST_F(SettingsDialog, AChoiceWritesIndexDatAtOnce) {
    // started on catalogue line 1, which is then the current station
    TForm2& form = Open("s@1");
    form.show();
    const struct {
        const char* entry;
        QMenu* submenu; // nullptr: the top menu
        int position;
        std::u16string line; // empty: "(empty)"
        const char* shown;
    } cases[] = {
        {"Favorites 2", form.Favorites1, 1, kRockLine, "Rock & Roll"},
        {"Use current", nullptr, 0, u"Station 1\t-\tPop\t-\t-\thttp://s1", "Station 1"},
        {"Recent 1", form.Recent1, 0, kRecentLine, "http://recent.example/only"},
        {"(empty)", nullptr, 3, u"", "(empty)"},
        {"Favorites 1", form.Favorites1, 0, kJazzLine, "Jazz FM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        QTest::mouseRelease(form.TntLabel1, Qt::LeftButton);
        QMenu* menu = c.submenu ? c.submenu : form.TntPopupMenu1;
        menu->actions().at(c.position)->trigger();
        form.TntPopupMenu1->hide();
        EXPECT_EQ(IndexLines(), c.line.empty() ? WideList{} : WideList{c.line});
        EXPECT_EQ(form.TntLabel1->text(), c.shown);
    }
    // the choice stays when the dialog is closed without OK
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(IndexLines(), WideList{kJazzLine});
    EXPECT_FALSE(QFile::exists(File("hotkey.dat")));
}

TEST_F(SettingsDialog, IndexDatThatCouldNotBeReadIsNeverWrittenOver) {
    // /proc/self/mem opens but fails at the first read, even for root
    const QByteArray index = File("index.dat").toLocal8Bit();
    ASSERT_EQ(::symlink("/proc/self/mem", index.constData()), 0);
    TForm2& form = Open();
    EXPECT_TRUE(form.DefaultStation().KeepsUnreadableFile());
    // the creation ended before the dialog's appearance; the first showing
    // still gives the whole dialog
    EXPECT_NE(form.size(), QSize(231, 312));
    QSize shownSize;
    QTimer::singleShot(0, &form, [&] {
        shownSize = form.size();
        QTest::mouseRelease(form.TntLabel1, Qt::LeftButton);
        form.Favorites1->actions().at(1)->trigger();
        form.reject();
    });
    form.ShowDialog();
    EXPECT_EQ(shownSize, QSize(231, 312));
    // the choice holds for the run, and the file is left as it was
    EXPECT_EQ(form.TntLabel1->text(), "Rock & Roll");
    EXPECT_EQ(form.DefaultStation().Lines(), WideList{kRockLine});
    EXPECT_EQ(QFileInfo(File("index.dat")).symLinkTarget(), "/proc/self/mem");
}

TEST_F(SettingsDialog, RecordingsFolderComesFromTheChooser) {
    TForm2& form = Open();
    const QString before = QString::fromStdString(session_->Recorder().RecordingsFolder());
    QFile blocker(File("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString music = File("Music");
    ASSERT_TRUE(QDir().mkpath(music));
    const struct {
        const char* name;
        QString answer; // what the chooser returns; empty: cancelled
        QString path;   // the recordings folder afterwards
        QString shown;  // the field and its tooltip
        bool made;
    } cases[] = {
        {"cancel", "", before, before, true},
        {"folder", music, music + "/LumaroRadioRecordings", music + "/LumaroRadioRecordings", true},
        {"trailing separator", music + "/", music + "/LumaroRadioRecordings",
         music + "/LumaroRadioRecordings", true},
        {"non-ASCII, created", File("Müsik Радио"), File("Müsik Радио/LumaroRadioRecordings"),
         File("Müsik Радио/LumaroRadioRecordings"), true},
        // a file stands where the folder should be made: the path changes,
        // the field keeps what it showed
        {"cannot be made", File("blocker"), File("blocker/LumaroRadioRecordings"),
         File("Müsik Радио/LumaroRadioRecordings"), false},
    };
    form.show();
    EXPECT_EQ(form.TntLabel2->text(), before);
    EXPECT_EQ(form.TntLabel2->toolTip(), before);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString asked;
        form.SetFolderChooser([&](QWidget*, const QString& start) {
            asked = start;
            return c.answer;
        });
        QTest::mouseClick(form.TntLabel2, Qt::LeftButton);
        EXPECT_FALSE(asked.isEmpty());
        EXPECT_EQ(QString::fromStdString(session_->Recorder().RecordingsFolder()), c.path);
        EXPECT_EQ(form.TntLabel2->text(), c.shown);
        EXPECT_EQ(form.TntLabel2->toolTip(), c.shown);
        EXPECT_EQ(QFileInfo(c.path).isDir(), c.made);
    }
    // the caption opens it too, but only for the left button
    int asked = 0;
    form.SetFolderChooser([&](QWidget*, const QString&) {
        ++asked;
        return QString();
    });
    QTest::mouseClick(form.Label8, Qt::RightButton);
    QTest::mouseClick(form.TntLabel2, Qt::RightButton);
    EXPECT_EQ(asked, 0);
    QTest::mouseClick(form.Label8, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
}

TEST_F(SettingsDialog, TimeoutChangesByItsArrowsOnlyAndReachesTheWorker) {
    TForm2& form = Open();
    form.show();
    TTimeoutBox* box = form.suiSpinEdit1;
    EXPECT_EQ(box->value(), 5);
    EXPECT_EQ(box->minimum(), 3);
    EXPECT_EQ(box->maximum(), 30);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->value(), 6);
    EXPECT_EQ(form.Options().TimeoutSeconds, 6);
    EXPECT_EQ(session_->Player().TimeoutSeconds(), 6);
    // typing does nothing
    QTest::keyClicks(box, "29");
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->value(), 6);
    // the arrows stop at the ends
    for (int i = 0; i < 40; ++i)
        box->stepDown();
    EXPECT_EQ(form.Options().TimeoutSeconds, 3);
    for (int i = 0; i < 40; ++i)
        box->stepUp();
    EXPECT_EQ(session_->Player().TimeoutSeconds(), 30);
    // a value from the settings file shows at the next showing
    form.hide();
    form.Options().TimeoutSeconds = 12;
    form.show();
    EXPECT_EQ(box->value(), 12);
    // one outside the range takes the nearer end, in the box and in what is saved
    for (auto [loaded, shown] : {std::pair{40, 30}, std::pair{-2, 3}}) {
        form.hide();
        form.Options().TimeoutSeconds = loaded;
        form.show();
        EXPECT_EQ(box->value(), shown);
        EXPECT_EQ(form.Options().TimeoutSeconds, shown);
    }
    EXPECT_TRUE(box->findChild<QLineEdit*>()->selectedText().isEmpty());
}

TEST_F(SettingsDialog, HotKeyFieldRecordsWhatIsPressed) {
    TForm2& form = Open();
    form.show();
    THotKeyField* field = form.HotKey1;
    EXPECT_EQ(field->text(), "Shift+Ctrl+F12");
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* shown; // the field afterwards
    } presses[] = {
        {"K alone gets Shift and Ctrl", Qt::Key_K, Qt::NoModifier, "Shift+Ctrl+K"},
        {"Alt+K", Qt::Key_K, Qt::AltModifier, "Alt+K"},
        {"modifiers alone change nothing", Qt::Key_Control, Qt::ControlModifier, "Alt+K"},
        {"Ctrl+Shift+F12", Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier, "Shift+Ctrl+F12"},
        {"numeric pad 5 as a plain digit", Qt::Key_5, Qt::KeypadModifier, "Shift+Ctrl+5"},
        {"Shift+1 arrives as !", Qt::Key_Exclam, Qt::ShiftModifier, "Shift+1"},
        {"Ctrl+Shift+= arrives as +", Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, "Shift+Ctrl+="},
        {"a key without a code", Qt::Key_VolumeUp, Qt::NoModifier, "Shift+Ctrl+="},
        {"Ctrl+Esc", Qt::Key_Escape, Qt::ControlModifier, "Ctrl+Esc"},
        {"Enter", Qt::Key_Return, Qt::NoModifier, "Shift+Ctrl+Enter"},
        {"Alt+Home", Qt::Key_Home, Qt::AltModifier, "Alt+Home"},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        field->setFocus();
        QTest::keyClick(field, p.key, p.modifiers);
        EXPECT_EQ(field->text(), p.shown);
        EXPECT_EQ(HotKeyText(form.Options().HotKey), p.shown);
        EXPECT_TRUE(form.isVisible());
    }
    // Tab moves on, recording nothing
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_EQ(field->text(), "Alt+Home");
    EXPECT_FALSE(field->hasFocus());
    // a plain Escape closes the dialog without OK
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(QFile::exists(File("hotkey.dat")));
}

TEST_F(SettingsDialog, OkAppliesTrayModeRegistersAndWritesHotkeyDat) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int minimizeToTray;
        const char* written;
    } cases[] = {
        {"K", Qt::Key_K, Qt::NoModifier, 1, "Shift+Ctrl+K\r\n"},
        {"numeric-pad digit", Qt::Key_7, Qt::KeypadModifier | Qt::AltModifier, 0, "Alt+7\r\n"},
        {"no key", Qt::Key_unknown, Qt::NoModifier, 1, "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TForm2& form = Open();
        if (c.key == Qt::Key_unknown) form.Options().HotKey = {}; // hotkey.dat named no key
        form.show();
        form.Options().MinimizeToTray = c.minimizeToTray;
        session_->TrayIcon().SetMinimizeToTray(!c.minimizeToTray);
        if (c.key != Qt::Key_unknown) QTest::keyClick(form.HotKey1, c.key, c.modifiers);
        QTest::mouseClick(form.Label6, Qt::LeftButton);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(session_->TrayIcon().MinimizeToTray(), c.minimizeToTray == 1);
        EXPECT_EQ(Bytes(File("hotkey.dat")), c.written);
        // read back as start-up reads it: a pad digit comes back as the main one
        const THotKey back = ParseHotKeyText(std::string(c.written, std::strlen(c.written) - 2));
        EXPECT_EQ(back, (c.key == Qt::Key_7 ? THotKey{0x37, false, false, true} : form.Options().HotKey));
        session_.reset();
    }
}

TEST_F(SettingsDialog, KeyboardAndAssistiveTechnologyReachEveryControl) {
    TForm2& form = Open();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const struct {
        QWidget* control;
        QAccessible::Role role;
        const char* name;
    } controls[] = {
        {form.Label2, QAccessible::CheckBox, "Start with Windows"},
        {form.Label1, QAccessible::CheckBox, "Minimize to tray"},
        {form.Label4, QAccessible::CheckBox, "Remember window position"},
        {form.Label3, QAccessible::CheckBox, "Auto play on start"},
        {form.TntLabel1, QAccessible::Button, "Default station (click to set)"},
        {form.TntLabel2, QAccessible::Button, "Recordings folder (click to set)"},
        {form.suiSpinEdit1, QAccessible::SpinBox, "Connection timeout (seconds)"},
        {form.HotKey1, QAccessible::EditableText, "Set Global HotKey to Show/Hide Lumaro Radio"},
        {form.Label6, QAccessible::Button, "OK"},
    };
    // Tab goes through them top to bottom
    form.Label2->setFocus();
    for (size_t i = 0; i < std::size(controls); ++i) {
        const auto& c = controls[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QApplication::focusWidget(), c.control);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(c.control);
        ASSERT_TRUE(iface);
        EXPECT_EQ(iface->role(), c.role);
        EXPECT_EQ(iface->text(QAccessible::Name), c.name);
        if (i + 1 < std::size(controls)) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // options: checkable, with their state; Space flips
    QAccessibleInterface* option = QAccessible::queryAccessibleInterface(form.Label1);
    EXPECT_TRUE(option->state().checkable);
    EXPECT_FALSE(option->state().checked);
    QTest::keyClick(form.Label1, Qt::Key_Space);
    EXPECT_EQ(form.Options().MinimizeToTray, 1);
    EXPECT_TRUE(option->state().checked);
    option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(form.Options().MinimizeToTray, 0);
    // the spin box's value, the fields' texts
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(form.suiSpinEdit1);
    EXPECT_EQ(box->valueInterface()->currentValue().toInt(), 5);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.HotKey1)->text(QAccessible::Value),
              "Shift+Ctrl+F12");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.TntLabel1)->text(QAccessible::Description),
              "(empty)");
    // Space on the default-station field opens its menu
    QTest::keyClick(form.TntLabel1, Qt::Key_Space);
    EXPECT_TRUE(form.TntPopupMenu1->isVisible());
    form.TntPopupMenu1->hide();
    // Return on OK confirms
    QTest::keyClick(form.Label6, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Bytes(File("hotkey.dat")), "Shift+Ctrl+F12\r\n");
}

} // namespace
