#include "shell/tray_icon.h"

#include "ui/app_icon.h"

#include <QGuiApplication>
#include <QSystemTrayIcon>

namespace lumaro {

namespace {

class TQtTrayIcon : public TTrayIcon {
public:
    void Show(const QString& hint) override {
        icon_.setIcon(AppIcon());
        icon_.setToolTip(hint);
        icon_.show();
    }
    void OnActivated(std::function<void()> activated) override {
        QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                         [activated = std::move(activated)](QSystemTrayIcon::ActivationReason reason) {
                             // a double click starts with a click, which already showed the window
                             if (reason == QSystemTrayIcon::Trigger) activated();
                         });
    }
    void SetMenu(QMenu* menu) override { icon_.setContextMenu(menu); }
    void SetMinimizeToTray(bool on) override { minimizeToTray_ = on; }
    bool MinimizeToTray() const override { return minimizeToTray_; }

private:
    QSystemTrayIcon icon_;
    bool minimizeToTray_ = false;
};

} // namespace

std::unique_ptr<TTrayIcon> MakeTrayIcon() {
    // no desktop without a screen: nothing to dock into, now or later
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return std::make_unique<TNullTrayIcon>();
    return std::make_unique<TQtTrayIcon>();
}

} // namespace lumaro
