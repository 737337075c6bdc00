#pragma once
// The system-wide show/hide key: one combination registered at a time. The
// composition root holds one; where the desktop offers neither the portal's
// shortcuts nor key grabs the null one stands in and nothing happens.

#include "shell/hot_key_text.h"

#include <QDBusConnection>
#include <QString>

#include <functional>
#include <memory>

namespace lumaro {

class TGlobalHotKey {
public:
    virtual ~TGlobalHotKey() = default;
    // Releases the combination held, then registers this one; pressed runs on
    // the window's thread, from the event loop, at each press. False when it
    // could not be registered (no such key, or another program holds it).
    virtual bool Register(const THotKey& hotKey, std::function<void()> pressed) = 0;
    // Releases the combination held, if any.
    virtual void Unregister() = 0;
};

// Registers nothing and never fires.
class TNullHotKey : public TGlobalHotKey {
public:
    bool Register(const THotKey&, std::function<void()>) override { return false; }
    void Unregister() override {}
};

// What decides between the hot keys: whether the session is a Wayland one,
// and the bus where its desktop portal would answer.
struct THotKeyDesktop {
    bool Wayland = false;
    QDBusConnection Bus{QString()};
};

// The running desktop: Wayland when WAYLAND_DISPLAY is set, XDG_SESSION_TYPE
// says so or Qt runs on its Wayland platform; then the session bus.
THotKeyDesktop CurrentHotKeyDesktop();

// On a Wayland desktop whose portal offers global shortcuts, the portal's;
// else the X11 grabs where the application runs on X11; else the null one.
// Costs start-up at most a short wait for the portal's answer.
std::unique_ptr<TGlobalHotKey> MakeGlobalHotKey(const THotKeyDesktop& desktop);
std::unique_ptr<TGlobalHotKey> MakeGlobalHotKey();

} // namespace lumaro
