#pragma once
// The playback display of the main window: the status, title and bit-rate
// lines, the Play/Stop picture, the level meter, the URL menu and its label,
// the message boxes and the clipboard. It is what playback shows through.

#include "playback/audio_engine_setup.h"
#include "playback/playback_ports.h"

#include <QObject>

namespace lumaro {

class TAppSession;
class TForm1;

class TPlaybackDisplay : public QObject, public TPlaybackView {
    Q_OBJECT
public:
    // The controls are form's; the URL menu's entries go to session's player.
    TPlaybackDisplay(TForm1& form, TAppSession& session);

    // TPlaybackView
    void SetStatusText(const std::u16string& text) override;
    void SetTitleText(const std::u16string& text) override;
    void SetBitrateText(const std::u16string& text) override;
    void SetPlayPicture(bool active) override;
    void SetLevelMeter(int position) override;
    void ShowUrlMenu(const TUrlMenu& menu) override;
    void PopupUrlMenu() override;
    void ShowMessage(const std::u16string& text) override;
    std::u16string ClipboardText() const override;
    void SetClipboardText(const std::u16string& text) override;

    // The engine's start-up failure in its box; the program ends when the
    // outcome says so, saving nothing.
    void ShowEngineStart(const TEngineStartResult& result);

signals:
    // Each text the status line is given, as it is given (also those a later
    // one replaces before the window is drawn again).
    void statusShown(const QString& text);
    // Each text the title line is given (titles, emptied lines, failure texts).
    void titleShown(const QString& text);
    // The Play/Stop picture as set: active while a station is to play.
    void playPictureShown(bool active);

private:
    TForm1& form_;
    TAppSession& session_;
};

} // namespace lumaro
