#pragma once
// The system-wide show/hide key: one combination registered at a time. The
// composition root holds one; where the desktop offers no key grabs the null
// one stands in and nothing happens.

#include <functional>

namespace lumaro {

// A key with its modifiers, as Qt names them.
struct TKeyCombination {
    int Key = 0;
    int Modifiers = 0; // Qt::KeyboardModifiers
};

class TGlobalHotKey {
public:
    virtual ~TGlobalHotKey() = default;
    // Releases the combination held, then registers this one; pressed runs on
    // the window's thread at each press. False when it could not be registered.
    virtual bool Register(TKeyCombination combination, std::function<void()> pressed) = 0;
    // Releases the combination held, if any.
    virtual void Unregister() = 0;
};

// Registers nothing and never fires.
class TNullHotKey : public TGlobalHotKey {
public:
    bool Register(TKeyCombination, std::function<void()>) override { return false; }
    void Unregister() override {}
};

} // namespace lumaro
