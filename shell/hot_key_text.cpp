#include "shell/hot_key_text.h"

#include "data/scrambled_list_file.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lumaro {

namespace {

struct KeyRow {
    int VirtualKey;
    std::string Name;
    int QtKey;
    bool Keypad;
    unsigned Keysym;
};

// Every key a hot key can use, in ascending virtual-key order: the order in
// which a name read from hotkey.dat is looked up, so a plain digit finds the
// main keyboard's key before the numeric pad's.
const std::vector<KeyRow>& KeyTable() {
    static const std::vector<KeyRow> table = [] {
        std::vector<KeyRow> rows = {
            {0x08, "BkSp", Qt::Key_Backspace, false, 0xFF08}, {0x09, "Tab", Qt::Key_Tab, false, 0xFF09},
            {0x0D, "Enter", Qt::Key_Return, false, 0xFF0D},   {0x13, "Pause", Qt::Key_Pause, false, 0xFF13},
            {0x1B, "Esc", Qt::Key_Escape, false, 0xFF1B},     {0x20, "Space", Qt::Key_Space, false, 0x0020},
            {0x21, "PgUp", Qt::Key_PageUp, false, 0xFF55},    {0x22, "PgDn", Qt::Key_PageDown, false, 0xFF56},
            {0x23, "End", Qt::Key_End, false, 0xFF57},        {0x24, "Home", Qt::Key_Home, false, 0xFF50},
            {0x25, "Left", Qt::Key_Left, false, 0xFF51},      {0x26, "Up", Qt::Key_Up, false, 0xFF52},
            {0x27, "Right", Qt::Key_Right, false, 0xFF53},    {0x28, "Down", Qt::Key_Down, false, 0xFF54},
            {0x2C, "Print", Qt::Key_Print, false, 0xFF61},    {0x2D, "Ins", Qt::Key_Insert, false, 0xFF63},
            {0x2E, "Del", Qt::Key_Delete, false, 0xFFFF},
        };
        for (int d = 0; d <= 9; ++d)
            rows.push_back(
                {0x30 + d, std::string(1, char('0' + d)), Qt::Key_0 + d, false, 0x30u + unsigned(d)});
        for (int l = 0; l < 26; ++l)
            rows.push_back(
                {0x41 + l, std::string(1, char('A' + l)), Qt::Key_A + l, false, 0x61u + unsigned(l)});
        rows.push_back({0x5D, "Menu", Qt::Key_Menu, false, 0xFF67});
        // the numeric pad's digits carry the plain digit's name
        for (int d = 0; d <= 9; ++d)
            rows.push_back(
                {0x60 + d, std::string(1, char('0' + d)), Qt::Key_0 + d, true, 0xFFB0u + unsigned(d)});
        rows.insert(rows.end(), {
                                    {0x6A, "Num *", Qt::Key_Asterisk, true, 0xFFAA},
                                    {0x6B, "Num +", Qt::Key_Plus, true, 0xFFAB},
                                    {0x6D, "Num -", Qt::Key_Minus, true, 0xFFAD},
                                    {0x6E, "Num .", Qt::Key_Period, true, 0xFFAE},
                                    {0x6F, "Num /", Qt::Key_Slash, true, 0xFFAF},
                                });
        for (int f = 1; f <= 24; ++f)
            rows.push_back(
                {0x6F + f, "F" + std::to_string(f), Qt::Key_F1 + f - 1, false, 0xFFBDu + unsigned(f)});
        rows.insert(rows.end(), {
                                    {0x91, "Scroll Lock", Qt::Key_ScrollLock, false, 0xFF14},
                                    {0xBA, ";", Qt::Key_Semicolon, false, 0x3B},
                                    {0xBB, "=", Qt::Key_Equal, false, 0x3D},
                                    {0xBC, ",", Qt::Key_Comma, false, 0x2C},
                                    {0xBD, "-", Qt::Key_Minus, false, 0x2D},
                                    {0xBE, ".", Qt::Key_Period, false, 0x2E},
                                    {0xBF, "/", Qt::Key_Slash, false, 0x2F},
                                    {0xC0, "`", Qt::Key_QuoteLeft, false, 0x60},
                                    {0xDB, "[", Qt::Key_BracketLeft, false, 0x5B},
                                    {0xDC, "\\", Qt::Key_Backslash, false, 0x5C},
                                    {0xDD, "]", Qt::Key_BracketRight, false, 0x5D},
                                    {0xDE, "'", Qt::Key_Apostrophe, false, 0x27},
                                });
        return rows;
    }();
    return table;
}

const KeyRow* RowOf(int virtualKey) {
    for (const KeyRow& row : KeyTable())
        if (row.VirtualKey == virtualKey) return &row;
    return nullptr;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool StartsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

THotKey DefaultHotKey() {
    return THotKey{0x7B, true, true, false};
}

std::string VirtualKeyName(int virtualKey) {
    const KeyRow* row = RowOf(virtualKey);
    return row ? row->Name : std::string();
}

std::string HotKeyText(const THotKey& hotKey) {
    const std::string name = VirtualKeyName(hotKey.VirtualKey);
    if (name.empty()) return {};
    std::string text;
    if (hotKey.Shift) text += "Shift+";
    if (hotKey.Ctrl) text += "Ctrl+";
    if (hotKey.Alt) text += "Alt+";
    return text + name;
}

THotKey ParseHotKeyText(std::string_view text) {
    THotKey hotKey;
    for (bool more = true; more;) {
        more = false;
        for (auto [prefix, flag] :
             std::array<std::pair<std::string_view, bool*>, 4>{{{"shift+", &hotKey.Shift},
                                                                {"ctrl+", &hotKey.Ctrl},
                                                                {"alt+", &hotKey.Alt},
                                                                {"^", &hotKey.Ctrl}}}) {
            if (StartsIgnoringCase(text, prefix)) {
                *flag = true;
                text.remove_prefix(prefix.size());
                more = true;
            }
        }
    }
    for (const KeyRow& row : KeyTable()) {
        if (EqualIgnoringCase(text, row.Name)) {
            hotKey.VirtualKey = row.VirtualKey;
            return hotKey;
        }
    }
    return THotKey{};
}

namespace {

// With Shift held, Qt names the character the key types ("!" for Shift+1,
// Backtab for Shift+Tab); the keys that type them on the usual layout.
int UnshiftedVirtualKey(int qtKey) {
    static constexpr std::pair<int, int> shifted[] = {
        {Qt::Key_Exclam, 0x31},     {Qt::Key_At, 0x32},         {Qt::Key_NumberSign, 0x33},
        {Qt::Key_Dollar, 0x34},     {Qt::Key_Percent, 0x35},    {Qt::Key_AsciiCircum, 0x36},
        {Qt::Key_Ampersand, 0x37},  {Qt::Key_Asterisk, 0x38},   {Qt::Key_ParenLeft, 0x39},
        {Qt::Key_ParenRight, 0x30}, {Qt::Key_Underscore, 0xBD}, {Qt::Key_Plus, 0xBB},
        {Qt::Key_BraceLeft, 0xDB},  {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Bar, 0xDC},
        {Qt::Key_Colon, 0xBA},      {Qt::Key_QuoteDbl, 0xDE},   {Qt::Key_Less, 0xBC},
        {Qt::Key_Greater, 0xBE},    {Qt::Key_Question, 0xBF},   {Qt::Key_AsciiTilde, 0xC0},
        {Qt::Key_Backtab, 0x09},
    };
    for (auto [key, virtualKey] : shifted)
        if (key == qtKey) return virtualKey;
    return 0;
}

} // namespace

int VirtualKeyFromQt(int qtKey, bool keypad) {
    if (qtKey == Qt::Key_Enter) return 0x0D;
    const KeyRow* plain = nullptr;
    for (const KeyRow& row : KeyTable()) {
        if (row.QtKey != qtKey) continue;
        if (row.Keypad == keypad) return row.VirtualKey;
        if (!row.Keypad && !plain) plain = &row;
    }
    // the numeric pad without NumLock sends the arrows, Home, End and the like
    if (keypad) return plain ? plain->VirtualKey : 0;
    return UnshiftedVirtualKey(qtKey);
}

THotKey RecordedHotKey(int virtualKey, Qt::KeyboardModifiers modifiers) {
    THotKey hotKey{virtualKey, bool(modifiers & Qt::ShiftModifier), bool(modifiers & Qt::ControlModifier),
                   bool(modifiers & Qt::AltModifier)};
    if (!hotKey.Shift && !hotKey.Ctrl && !hotKey.Alt) hotKey.Shift = hotKey.Ctrl = true;
    return hotKey;
}

THotKey HotKeyFromFile(const std::string& fileName) {
    std::string text;
    try {
        if (!FileExists(fileName)) return DefaultHotKey();
        text = ReadWholeFile(fileName);
    } catch (const ListFileError&) {
        return DefaultHotKey();
    }
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    if (text.empty()) return DefaultHotKey();
    return ParseHotKeyText(text);
}

unsigned KeysymFromVirtualKey(int virtualKey) {
    const KeyRow* row = RowOf(virtualKey);
    return row ? row->Keysym : 0;
}

} // namespace lumaro
