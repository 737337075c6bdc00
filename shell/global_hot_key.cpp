#include "shell/global_hot_key.h"

#include "shell/portal_hot_key.h"
#include "shell/x11_hot_key.h"

#include <QDBusMessage>
#include <QGuiApplication>

namespace lumaro {

namespace {

// Tells the portal our application id, which it cannot learn from an
// unsandboxed process: the desktop lists the shortcut under it. Only the
// first portal call of a connection may do so; a portal without the
// registry, or one that knows us already, refuses and nothing changes.
void RegisterApplicationId(QDBusConnection& bus) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    call << QStringLiteral(LUMARO_APP_ID) << QVariantMap();
    bus.send(call);
}

} // namespace

THotKeyDesktop CurrentHotKeyDesktop() {
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE") == "wayland" ||
                         QGuiApplication::platformName() == QLatin1String("wayland");
    THotKeyDesktop desktop;
    desktop.Wayland = wayland;
    if (wayland) desktop.Bus = QDBusConnection::sessionBus();
    return desktop;
}

std::unique_ptr<TGlobalHotKey> MakeGlobalHotKey(const THotKeyDesktop& desktop) {
    if (desktop.Wayland && desktop.Bus.isConnected()) {
        QDBusConnection bus = desktop.Bus;
        RegisterApplicationId(bus);
        if (PortalOffersGlobalShortcuts(bus)) return std::make_unique<TPortalHotKey>(bus);
    }
    if (std::unique_ptr<X11HotKey> x11 = X11HotKey::Create()) return x11;
    return std::make_unique<TNullHotKey>();
}

std::unique_ptr<TGlobalHotKey> MakeGlobalHotKey() {
    return MakeGlobalHotKey(CurrentHotKeyDesktop());
}

} // namespace lumaro
