#pragma once
// The notification-area icon with its hint and menu. The composition root
// holds one; the null one shows nothing.

#include <QString>

#include <functional>
#include <memory>

class QMenu;

namespace lumaro {

class TTrayIcon {
public:
    virtual ~TTrayIcon() = default;
    // Shows the icon with its hint for the rest of the run.
    virtual void Show(const QString& hint) = 0;
    // A left click on the icon; the window's thread runs it.
    virtual void OnActivated(std::function<void()> activated) = 0;
    // The menu a right click opens at the pointer.
    virtual void SetMenu(QMenu* menu) = 0;
    // Minimise-to-tray mode: while on, minimising the program hides the main
    // window and its task-bar entry, leaving only the icon.
    virtual void SetMinimizeToTray(bool on) = 0;
    virtual bool MinimizeToTray() const = 0;
};

class TNullTrayIcon : public TTrayIcon {
public:
    void Show(const QString&) override {}
    void OnActivated(std::function<void()>) override {}
    void SetMenu(QMenu*) override {}
    void SetMinimizeToTray(bool on) override { minimizeToTray_ = on; }
    bool MinimizeToTray() const override { return minimizeToTray_; }

private:
    bool minimizeToTray_ = false;
};

// The desktop's notification area: a StatusNotifierItem where a host
// watches for one, else an XEmbed icon, which docks as soon as a tray appears.
std::unique_ptr<TTrayIcon> MakeTrayIcon();

} // namespace lumaro
