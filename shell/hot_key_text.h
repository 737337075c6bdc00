#pragma once
// The global hot key's combination and its text form, as hotkey.dat holds it:
// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name
// ("Shift+Ctrl+F12"). Keys are known by their Windows virtual-key codes, the
// order in which a name is looked up; the same table gives each key's Qt key
// and X11 keysym.

#include <Qt>

#include <string>
#include <string_view>

namespace lumaro {

struct THotKey {
    int VirtualKey = 0; // 0: no combination
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Empty() const { return VirtualKey == 0; }
    bool operator==(const THotKey&) const = default;
};

// Ctrl+Shift+F12, the combination before the user sets one.
THotKey DefaultHotKey();

// The text of a combination; empty for no combination.
std::string HotKeyText(const THotKey& hotKey);

// Reads the text back: the prefixes in any order and letter case, "^" for
// Ctrl, then a key name compared ignoring case with every key's name in
// ascending key-code order; the first match wins. Text that names no key
// gives no combination.
THotKey ParseHotKeyText(std::string_view text);

// The name of one key ("K", "F12", "PgUp"); empty for a key without one.
std::string VirtualKeyName(int virtualKey);

// The virtual-key code of a Qt key; keypad tells the numeric pad's keys from
// the main keyboard's. 0 for a key the hot key cannot use (a modifier alone,
// or one without a code).
int VirtualKeyFromQt(int qtKey, bool keypad);

// What the hot-key field records for a key press: the key with the modifiers
// held, or with Shift and Ctrl when none is.
THotKey RecordedHotKey(int virtualKey, Qt::KeyboardModifiers modifiers);

// The combination hotkey.dat holds: its first line read as text. No file, an
// unreadable or an empty one: the default combination; a line that names no
// key: no combination.
THotKey HotKeyFromFile(const std::string& fileName);

// The X11 keysym that produces the key, 0 when there is none.
unsigned KeysymFromVirtualKey(int virtualKey);

} // namespace lumaro
