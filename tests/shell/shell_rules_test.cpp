// The shell's rules that need no window: the hot key's toggle, snapping to
// the work area's edges, where the window goes when it becomes active, and
// reading hotkey.dat.

#include "shell/hot_key_text.h"
#include "shell/key_table.h"
#include "shell/window_mover.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

TEST(HotKeyToggle, SettingsFirstThenActiveOrNot) {
    EXPECT_EQ(HotKeyAction(true, true), THotKeyAction::Nothing);
    EXPECT_EQ(HotKeyAction(true, false), THotKeyAction::Nothing);
    EXPECT_EQ(HotKeyAction(false, true), THotKeyAction::HideToTray);
    EXPECT_EQ(HotKeyAction(false, false), THotKeyAction::ShowMainWindow);
}

TEST(SnapToEdges, EachEdgeWithinTenPixelsOfTheSameEdgeSnaps) {
    // a work area below a 24 px panel on a 1280 x 800 screen; the window 982 x 480
    const QRect area(0, 24, 1280, 776);
    const struct {
        const char* name;
        QPoint at;
        QPoint snapped;
    } cases[] = {
        {"far from every edge", {100, 100}, {100, 100}},
        {"left, 10 px in", {10, 100}, {0, 100}},
        {"left, 11 px in: free", {11, 100}, {11, 100}},
        {"left, beyond the edge", {-7, 100}, {0, 100}},
        {"top, under the panel's edge", {100, 30}, {100, 24}},
        {"top, over the panel", {100, 15}, {100, 24}},
        {"right edge 4 px short", {1280 - 982 - 4, 100}, {1280 - 982, 100}},
        {"right edge 10 px past", {1280 - 982 + 10, 100}, {1280 - 982, 100}},
        {"bottom edge 9 px short", {100, 800 - 480 - 9}, {100, 800 - 480}},
        {"a corner", {-3, 800 - 480 + 6}, {0, 800 - 480}},
        {"right 11 px short: free", {1280 - 982 - 11, 100}, {1280 - 982 - 11, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapToEdges(QRect(c.at, QSize(982, 480)), area), c.snapped) << c.name;
    // a window as wide as the area: the left edge wins
    EXPECT_EQ(SnapToEdges(QRect(5, 100, 1275, 480), QRect(0, 0, 1280, 800)), QPoint(0, 100));
}

TEST(ActivationPosition, ArgumentFirstThenTheRememberedPosition) {
    const std::optional<QPoint> remembered = QPoint(123, -45);
    const struct {
        const char* name;
        ByteList parts;
        bool remember;
        std::optional<QPoint> read;
        std::optional<QPoint> expected;
    } cases[] = {
        {"four parts", {"s", "12", "100", "250"}, true, remembered, QPoint(130, 280)},
        {"negative launcher", {"x", "1", "-2", "-300"}, false, std::nullopt, QPoint(28, -270)},
        {"four parts, position no number", {"s", "1", "left", "9"}, true, remembered, std::nullopt},
        {"two parts, remembering", {"s", "12"}, true, remembered, remembered},
        {"two parts, not remembering", {"s", "12"}, false, remembered, std::nullopt},
        {"no argument, remembering", {}, true, remembered, remembered},
        {"no argument, no settings.dat", {}, true, std::nullopt, std::nullopt},
        {"no argument, not remembering", {}, false, remembered, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ActivationPosition(c.parts, c.remember, c.read), c.expected) << c.name;
}

TEST(HotKeyFile, AbsentOrEmptyGivesTheDefaultANameOfNoKeyGivesNone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hotkey.dat");
    const struct {
        const char* name;
        std::optional<QByteArray> bytes; // none: no file
        THotKey expected;
    } cases[] = {
        {"no file", std::nullopt, DefaultHotKey()},
        {"empty", QByteArray(), DefaultHotKey()},
        {"only a line end", "\r\n", DefaultHotKey()},
        {"as written", "Shift+Ctrl+K\r\n", THotKey{'K', true, true, false}},
        {"without a line end, other order", "alt+^F3", THotKey{0x72, false, true, true}},
        {"only the first line", "Ctrl+F1\r\nShift+F2\r\n", THotKey{0x70, false, true, false}},
        {"no such key", "Shift+Ctrl+Wibble\r\n", THotKey{}},
        {"binary", QByteArray("\xff\x00\x13garbage", 10), THotKey{}},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        if (c.bytes) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(*c.bytes);
        }
        EXPECT_EQ(HotKeyFromFile(path.toStdString()), c.expected) << c.name;
    }
    // a directory of that name cannot be read: the default, quietly
    QFile::remove(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir("hotkey.dat"));
    EXPECT_EQ(HotKeyFromFile(path.toStdString()), DefaultHotKey());
}

} // namespace
