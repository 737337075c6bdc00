#pragma once
// The notification-area icon with its hint and menu. The composition root
// holds one; the null one shows nothing.

#include <QString>

#include <functional>

namespace lumaro {

class TTrayIcon {
public:
    virtual ~TTrayIcon() = default;
    // Shows the icon with its hint for the rest of the run.
    virtual void Show(const QString& hint) = 0;
    // A left click on the icon; the window's thread runs it.
    virtual void OnActivated(std::function<void()> activated) = 0;
    // Minimise-to-tray mode: while on, minimising the program hides the main
    // window and its task-bar entry, leaving only the icon.
    virtual void SetMinimizeToTray(bool on) = 0;
    virtual bool MinimizeToTray() const = 0;
};

class TNullTrayIcon : public TTrayIcon {
public:
    void Show(const QString&) override {}
    void OnActivated(std::function<void()>) override {}
    void SetMinimizeToTray(bool on) override { minimizeToTray_ = on; }
    bool MinimizeToTray() const override { return minimizeToTray_; }

private:
    bool minimizeToTray_ = false;
};

} // namespace lumaro
