#pragma once
// The system-wide show/hide key: one combination registered at a time. The
// composition root holds one; where the desktop offers no key grabs the null
// one stands in and nothing happens.

#include "shell/hot_key_text.h"

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

// The X11 key grabs where the application runs on X11, else the null one.
std::unique_ptr<TGlobalHotKey> MakeGlobalHotKey();

} // namespace lumaro
