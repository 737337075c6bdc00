#pragma once
// The main window over the engine fake in a program directory of its own:
// two stations, shown and active on the offscreen platform.

#include "data/scrambled_list_file.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "tests/playback/fake_audio_library.h"
#include "tests/support/box_answer.h"
#include "tests/support/gui_actions.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumaro::window_test {

using namespace lumaro::testing;
using test_support::BoxAnswer;
using namespace std::chrono_literals;

inline constexpr int kWait = 10000; // ms
inline const std::u16string kOneUrl = u"One URL\t-\tJazz\tFrance\tFrench\thttp://one.example/live";
inline const std::u16string kTwoUrls =
    u"Two URLs\t-\tPop\tFrance\tFrench\thttp://a.example/1\thttp://b.example/2";

class WindowWiring : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        InDir([] { TScrambledListFile::SaveWideList("stations.dat", {kOneUrl, kTwoUrls}, kListKey); });
        InDir([this] { PrepareProgramDir(); });
        auto fake = std::make_unique<FakeAudioLibrary>();
        fake_ = fake.get();
        for (const char* url :
             {"http://one.example/live", "http://a.example/1", "http://b.example/2", "http://clip.example/x"})
            fake_->SetScript(url, {});
        session_ = std::make_unique<TAppSession>(dir_.path(), FirstArgument(), std::move(fake));
        form_ = &session_->MainWindow();
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
    }
    // The program directory's other files, before the program starts there.
    virtual void PrepareProgramDir() {}
    virtual QString FirstArgument() const { return {}; }

    void TearDown() override {
        if (fake_) fake_->ReleaseAll();
        session_.reset();
        EXPECT_TRUE(WaitForConnectionWorkers(10s));
    }
    template <typename Fn> void InDir(Fn fn) {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        fn();
        QDir::setCurrent(old);
    }
    bool Exists(const char* name) const { return QDir(dir_.path()).exists(QString::fromLatin1(name)); }

    // A user's double click on the results row that shows name.
    void DoubleClick(const char* name) {
        ASSERT_TRUE(test_support::DoubleClickRowNamed(*form_->suiStringGrid4, QLatin1String(name))) << name;
    }
    // Waits until the attempt in progress has ended.
    void WaitForAttempt() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !session_->PlayerState().UrlMenuBusy; }, kWait));
    }
    size_t Calls(const char* name) const { return fake_->CallCount(name); }

    QTemporaryDir dir_;
    FakeAudioLibrary* fake_ = nullptr; // owned by the session
    std::unique_ptr<TAppSession> session_;
    TForm1* form_ = nullptr;
};

} // namespace lumaro::window_test
