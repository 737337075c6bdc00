#include "shell/x11_hot_key.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumaro {

namespace {

constexpr xcb_keysym_t kAltL = 0xFFE9, kAltR = 0xFFEA, kNumLock = 0xFF7F, kScrollLock = 0xFF14;
// XKB's MapNotify and NewKeyboardNotify: the keyboard's mapping changed
constexpr std::uint8_t kXkbNewKeyboardNotify = 0, kXkbMapNotify = 1;

template <typename T> struct Freed {
    T* p;
    ~Freed() { std::free(p); }
};

std::vector<xcb_window_t> Roots(xcb_connection_t* connection) {
    std::vector<xcb_window_t> roots;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it))
        roots.push_back(it.data->root);
    return roots;
}

} // namespace

std::unique_ptr<X11HotKey> X11HotKey::Create() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || xcb_connection_has_error(connection)) return nullptr;
    std::unique_ptr<X11HotKey> hotKey(new X11HotKey(connection));
    app->installNativeEventFilter(hotKey.get());
    return hotKey;
}

X11HotKey::X11HotKey(xcb_connection_t* connection)
    : connection_(connection), symbols_(xcb_key_symbols_alloc(connection)),
      context_(std::make_unique<QObject>()) {
    static const char kXkb[] = "XKEYBOARD";
    Freed<xcb_query_extension_reply_t> xkb{xcb_query_extension_reply(
        connection_, xcb_query_extension(connection_, sizeof kXkb - 1, kXkb), nullptr)};
    if (xkb.p && xkb.p->present) xkbFirstEvent_ = xkb.p->first_event;
    ReadModifierMasks();
}

X11HotKey::~X11HotKey() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    Ungrab();
    xcb_key_symbols_free(symbols_);
}

void X11HotKey::ReadModifierMasks() {
    altMask_ = numLockMask_ = scrollLockMask_ = 0;
    Freed<xcb_get_modifier_mapping_reply_t> map{
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr)};
    if (map.p) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.p);
        const int perModifier = map.p->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t code = codes[modifier * perModifier + i];
                if (code == 0) continue;
                for (int column = 0; column < 4; ++column) {
                    const xcb_keysym_t sym = xcb_key_symbols_get_keysym(symbols_, code, column);
                    const auto mask = static_cast<std::uint16_t>(1u << modifier);
                    if (sym == kAltL || sym == kAltR) altMask_ |= mask;
                    if (sym == kNumLock) numLockMask_ |= mask;
                    if (sym == kScrollLock) scrollLockMask_ |= mask;
                }
            }
        }
    }
    if (altMask_ == 0) altMask_ = XCB_MOD_MASK_1;
}

std::uint16_t X11HotKey::WantedModifiers() const {
    std::uint16_t mask = 0;
    if (hotKey_.Shift) mask |= XCB_MOD_MASK_SHIFT;
    if (hotKey_.Ctrl) mask |= XCB_MOD_MASK_CONTROL;
    if (hotKey_.Alt) mask |= altMask_;
    return mask;
}

bool X11HotKey::Register(const THotKey& hotKey, std::function<void()> pressed) {
    Ungrab();
    hotKey_ = hotKey;
    pressed_ = std::move(pressed);
    return Grab();
}

void X11HotKey::Unregister() {
    Ungrab();
    hotKey_ = THotKey{};
    pressed_ = nullptr;
}

bool X11HotKey::Grab() {
    const xcb_keysym_t sym = KeysymFromVirtualKey(hotKey_.VirtualKey);
    if (sym == 0) return false;
    std::vector<std::uint8_t> codes;
    {
        Freed<xcb_keycode_t> found{xcb_key_symbols_get_keycode(symbols_, sym)};
        for (const xcb_keycode_t* code = found.p; code && *code != XCB_NO_SYMBOL; ++code)
            if (std::find(codes.begin(), codes.end(), *code) == codes.end()) codes.push_back(*code);
    }
    if (codes.empty()) return false;

    // every state of the lock keys, each combination once
    std::vector<std::uint16_t> locks;
    const std::uint16_t lockKeys[] = {numLockMask_, XCB_MOD_MASK_LOCK, scrollLockMask_};
    for (unsigned subset = 0; subset < 8; ++subset) {
        std::uint16_t mask = 0;
        for (unsigned bit = 0; bit < 3; ++bit)
            if (subset & (1u << bit)) mask |= lockKeys[bit];
        if (std::find(locks.begin(), locks.end(), mask) == locks.end()) locks.push_back(mask);
    }

    const std::uint16_t wanted = WantedModifiers();
    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_window_t root : Roots(connection_))
        for (std::uint8_t code : codes)
            for (std::uint16_t lock : locks)
                cookies.push_back(xcb_grab_key_checked(connection_, 0, root, wanted | lock, code,
                                                       XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    keycodes_ = codes;
    bool grabbed = true;
    for (xcb_void_cookie_t cookie : cookies) {
        // another client holding the combination answers BadAccess
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            grabbed = false;
            std::free(error);
        }
    }
    if (!grabbed) Ungrab();
    return grabbed;
}

void X11HotKey::Ungrab() {
    if (keycodes_.empty()) return;
    for (xcb_window_t root : Roots(connection_))
        for (std::uint8_t code : keycodes_)
            xcb_ungrab_key(connection_, code, root, XCB_MOD_MASK_ANY);
    xcb_flush(connection_);
    keycodes_.clear();
    held_ = false;
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;

    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        if (std::find(keycodes_.begin(), keycodes_.end(), key->detail) == keycodes_.end()) return false;
        if (type == XCB_KEY_RELEASE) {
            held_ = false;
            return false;
        }
        const std::uint16_t modifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | altMask_;
        if ((key->state & modifiers) != WantedModifiers()) return false;
        // a held key repeats its presses without releases in between
        if (!held_ && pressed_) QTimer::singleShot(0, context_.get(), pressed_);
        held_ = true;
        return true;
    }

    const bool coreMapping = type == XCB_MAPPING_NOTIFY;
    // XKB's events share one type; the second byte tells which
    const bool xkbMapping = xkbFirstEvent_ != 0 && type == xkbFirstEvent_ &&
                            (event->pad0 == kXkbMapNotify || event->pad0 == kXkbNewKeyboardNotify);
    if ((coreMapping || xkbMapping) && !regrabQueued_) {
        // after Qt has seen the change too; several changes make one regrab
        regrabQueued_ = true;
        QTimer::singleShot(0, context_.get(), [this] {
            regrabQueued_ = false;
            xcb_key_symbols_free(symbols_); // read afresh from the server
            symbols_ = xcb_key_symbols_alloc(connection_);
            ReadModifierMasks();
            Ungrab();
            if (!hotKey_.Empty()) Grab();
        });
    }
    return false;
}

} // namespace lumaro
