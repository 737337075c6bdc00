// The X11 hot key against a real X server (Xvfb), pressed through XTEST by
// xdotool as a user's keyboard would.
#include "shell/x11_hot_key.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <xcb/xcb.h>

namespace lumaro {
namespace {

constexpr int kKeyF11 = 0x7A, kKeyF12 = 0x7B, kKeyF24 = 0x87;

void RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ASSERT_TRUE(process.waitForFinished(10000)) << program.toStdString();
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << " " << args.join(' ').toStdString();
}
void Press(const char* keys) {
    RunTool("xdotool", {"key", "--clearmodifiers", QString::fromLatin1(keys)});
}

class X11HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKey = X11HotKey::Create();
        ASSERT_TRUE(hotKey) << "no X11 connection";
    }
    // Presses keys, then the hot key itself: the events come in order, so
    // once the hot key has arrived any press keys caused has arrived too.
    int PressesFor(const char* keys) {
        const int before = presses;
        Press(keys);
        Press("ctrl+shift+F12");
        EXPECT_TRUE(QTest::qWaitFor([&] { return presses > before; }, 5000));
        return presses - before - 1;
    }
    std::unique_ptr<X11HotKey> hotKey;
    int presses = 0;
    std::function<void()> count = [this] { ++presses; };
};

TEST_F(X11HotKeyTest, TheCombinationTogglesWhateverTheLockKeysAndNothingElseDoes) {
    ASSERT_TRUE(hotKey->Register(DefaultHotKey(), count));
    EXPECT_EQ(PressesFor("ctrl+shift+F12"), 1);
    EXPECT_EQ(PressesFor("ctrl+F12"), 0);
    EXPECT_EQ(PressesFor("ctrl+shift+alt+F12"), 0);
    EXPECT_EQ(PressesFor("F12"), 0);
    Press("Num_Lock");
    EXPECT_EQ(PressesFor("ctrl+shift+F12"), 1);
    Press("Caps_Lock");
    EXPECT_EQ(PressesFor("ctrl+shift+F12"), 1);
    Press("Num_Lock");
    Press("Caps_Lock");
}

TEST_F(X11HotKeyTest, ANewCombinationReplacesTheOldOne) {
    ASSERT_TRUE(hotKey->Register({0x4B, false, true, true}, count)); // Ctrl+Alt+K
    const int before = presses;
    Press("ctrl+shift+F12");
    Press("ctrl+alt+k");
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses > before; }, 5000));
    EXPECT_EQ(presses, before + 1);
    hotKey->Unregister();
    EXPECT_FALSE(hotKey->Grabbed());
}

TEST_F(X11HotKeyTest, ACombinationAnotherProgramHoldsIsNotRegistered) {
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    // F11's keycode on Xvfb's default map; Ctrl+Shift with the lock keys off
    xcb_generic_error_t* error = xcb_request_check(
        other, xcb_grab_key_checked(other, 0, root, XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL, 95,
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr);
    EXPECT_FALSE(hotKey->Register({kKeyF11, true, true, false}, count));
    EXPECT_FALSE(hotKey->Grabbed());
    xcb_disconnect(other);
    // once the other program has gone, the same combination registers
    EXPECT_TRUE(QTest::qWaitFor([&] { return hotKey->Register({kKeyF11, true, true, false}, count); }, 5000));
}

TEST_F(X11HotKeyTest, AKeyTheKeyboardLacksIsGrabbedOnceAMappingGivesIt) {
    EXPECT_FALSE(hotKey->Register({kKeyF24, true, true, false}, count));
    EXPECT_FALSE(hotKey->Grabbed());
    RunTool("xmodmap", {"-e", "keycode 93 = F24"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return hotKey->Grabbed(); }, 5000));
    const int before = presses;
    Press("ctrl+shift+F24");
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses > before; }, 5000));
    RunTool("xmodmap", {"-e", "keycode 93 ="});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hotKey->Grabbed(); }, 5000));
}

TEST(X11HotKeyElsewhere, NoX11MeansNoHotKey) {
    // run on the offscreen platform, which has no X connection to grab on
    EXPECT_EQ(X11HotKey::Create(), nullptr);
}

} // namespace
} // namespace lumaro
