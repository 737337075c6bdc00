#pragma once
// A system-wide hot key on X11: passive key grabs on every root window, for
// every keycode that produces the key and with every combination of NumLock,
// CapsLock and ScrollLock, so the lock keys never get in the way. Grabbed
// again when the keyboard mapping changes. Window thread only.

#include "shell/global_hot_key.h"

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace lumaro {

class X11HotKey : public TGlobalHotKey, public QAbstractNativeEventFilter {
public:
    // Nothing when the application does not run on X11 (Wayland without
    // Xwayland's grabs, the offscreen platform).
    static std::unique_ptr<X11HotKey> Create();
    ~X11HotKey() override;
    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    // Releases the grabs held, then grabs hotKey. False, holding nothing,
    // when the key has no keycode on this keyboard or another client holds
    // one of the grabs; a key the keyboard lacks is grabbed once a new
    // mapping gives it one. A held key's repeats do not count as presses.
    bool Register(const THotKey& hotKey, std::function<void()> pressed) override;
    void Unregister() override;
    // Whether the grabs of the registered combination are held now.
    bool Grabbed() const { return !keycodes_.empty(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    explicit X11HotKey(xcb_connection_t* connection);
    // Grabs hotKey_ with the mapping as it stands; false (holding nothing) on failure.
    bool Grab();
    void Ungrab();
    void ReadModifierMasks();
    std::uint16_t WantedModifiers() const;

    xcb_connection_t* connection_;
    _XCBKeySymbols* symbols_ = nullptr; // xcb_key_symbols_t
    std::uint8_t xkbFirstEvent_ = 0;    // 0: no XKB extension
    std::uint16_t altMask_ = 0, numLockMask_ = 0, scrollLockMask_ = 0;
    THotKey hotKey_;
    std::vector<std::uint8_t> keycodes_; // grabbed now
    bool held_ = false;
    bool regrabQueued_ = false;
    // the receiver of the calls queued for the event loop
    std::unique_ptr<QObject> context_;
    std::function<void()> pressed_;
};

} // namespace lumaro
