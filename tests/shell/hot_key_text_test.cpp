#include "shell/hot_key_text.h"

#include <gtest/gtest.h>

namespace lumaro {
namespace {

constexpr int kKeyK = 0x4B, kKeyF12 = 0x7B, kKeySpace = 0x20;

TEST(HotKeyText, EveryNamedKeyIsWrittenByItsName) {
    const std::pair<int, const char*> named[] = {
        {0x08, "BkSp"}, {0x09, "Tab"}, {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"}, {0x21, "PgUp"},
        {0x22, "PgDn"}, {0x23, "End"}, {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
        {0x28, "Down"}, {0x2D, "Ins"}, {0x2E, "Del"},   {0x30, "0"},    {0x39, "9"},     {0x41, "A"},
        {0x5A, "Z"},    {0x60, "0"},   {0x65, "5"},     {0x70, "F1"},   {0x7B, "F12"},   {0x87, "F24"},
    };
    for (auto [key, name] : named)
        EXPECT_EQ(HotKeyText({key, false, false, false}), name) << std::hex << key;
}

TEST(HotKeyText, ModifiersAreWrittenShiftCtrlAltInThatOrder) {
    struct Case {
        THotKey hotKey;
        const char* text;
    } cases[] = {
        {DefaultHotKey(), "Shift+Ctrl+F12"},
        {{kKeyK, true, true, true}, "Shift+Ctrl+Alt+K"},
        {{kKeyK, false, true, true}, "Ctrl+Alt+K"},
        {{kKeyK, false, false, true}, "Alt+K"},
        {{0x65, true, true, false}, "Shift+Ctrl+5"},
        {{}, ""},
        {{0x07, true, true, false}, ""}, // a code without a key
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotKeyText(c.hotKey), c.text);
}

TEST(HotKeyText, ReadingTakesPrefixesInAnyOrderAndCase) {
    struct Case {
        const char* text;
        THotKey hotKey;
    } cases[] = {
        {"Shift+Ctrl+F12", DefaultHotKey()},
        {"ctrl+SHIFT+f12", DefaultHotKey()},
        {"^K", {kKeyK, false, true, false}},
        {"Alt+^shift+space", {kKeySpace, true, true, true}},
        {"k", {kKeyK, false, false, false}},
        {"Ctrl+Num +", {0x6B, false, true, false}},
        {"Shift+Ctrl+-", {0xBD, true, true, false}},
        // a digit is the main keyboard's, whichever key wrote it
        {"Shift+Ctrl+5", {0x35, true, true, false}},
        // no key named: no combination at all
        {"", {}},
        {"Shift+Ctrl+", {}},
        {"Shift+Ctrl+F25", {}},
        {"Shift+Ctrl+Foo", {}},
        {"Ctrl+Shift+F12 ", {}},
        {"Meta+K", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHotKeyText(c.text), c.hotKey) << c.text;
}

TEST(HotKeyText, EveryKeyComesBackFromItsText) {
    for (int key = 1; key < 0x100; ++key) {
        const THotKey hotKey{key, true, false, true};
        const std::string text = HotKeyText(hotKey);
        if (text.empty()) continue;
        const bool padDigit = key >= 0x60 && key <= 0x69;
        const THotKey back = ParseHotKeyText(text);
        EXPECT_EQ(back.VirtualKey, padDigit ? key - 0x60 + 0x30 : key) << text;
        EXPECT_TRUE(back.Shift && back.Alt && !back.Ctrl) << text;
    }
}

TEST(HotKeyText, TheFieldRecordsAKeyWithItsModifiersOrWithShiftAndCtrl) {
    EXPECT_EQ(RecordedHotKey(kKeyK, Qt::NoModifier), (THotKey{kKeyK, true, true, false}));
    EXPECT_EQ(RecordedHotKey(kKeyK, Qt::KeypadModifier), (THotKey{kKeyK, true, true, false}));
    EXPECT_EQ(RecordedHotKey(kKeyK, Qt::AltModifier), (THotKey{kKeyK, false, false, true}));
    EXPECT_EQ(RecordedHotKey(kKeyF12, Qt::ShiftModifier | Qt::ControlModifier), DefaultHotKey());
}

TEST(HotKeyText, QtKeysMapToTheirCodes) {
    struct Case {
        int qtKey;
        bool keypad;
        int virtualKey;
    } cases[] = {
        {Qt::Key_K, false, kKeyK},
        {Qt::Key_F12, false, kKeyF12},
        {Qt::Key_5, false, 0x35},
        {Qt::Key_5, true, 0x65},
        {Qt::Key_Home, true, 0x24},
        {Qt::Key_Plus, true, 0x6B},
        {Qt::Key_Minus, false, 0xBD},
        {Qt::Key_Enter, true, 0x0D},
        {Qt::Key_Return, false, 0x0D},
        {Qt::Key_Shift, false, 0},
        {Qt::Key_Control, false, 0},
        {Qt::Key_VolumeUp, false, 0},
        // with Shift held Qt names the character typed: the key that types it
        {Qt::Key_Exclam, false, 0x31},
        {Qt::Key_ParenRight, false, 0x30},
        {Qt::Key_Plus, false, 0xBB},
        {Qt::Key_Underscore, false, 0xBD},
        {Qt::Key_Question, false, 0xBF},
        {Qt::Key_Backtab, false, 0x09},
        {Qt::Key_Asterisk, false, 0x38},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.keypad), c.virtualKey) << std::hex << c.qtKey;
}

TEST(HotKeyText, KeysymsForTheX11Grab) {
    EXPECT_EQ(KeysymFromVirtualKey(kKeyF12), 0xFFC9u);
    EXPECT_EQ(KeysymFromVirtualKey(kKeyK), 0x6Bu);
    EXPECT_EQ(KeysymFromVirtualKey(0x65), 0xFFB5u);
    EXPECT_EQ(KeysymFromVirtualKey(0x87), 0xFFD5u); // F24
    EXPECT_EQ(KeysymFromVirtualKey(0), 0u);
}

} // namespace
} // namespace lumaro
