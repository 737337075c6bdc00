#pragma once
// What the playback layer needs from the main window. TForm1 implements it.
// Every method is called on the window's thread only.

#include "engine/audio_library.h"
#include "playback/url_menu.h"

#include <string>

namespace lumaro {

// The results view's side of the Favorites and Recent operations.
class TResultsViewHooks {
public:
    virtual ~TResultsViewHooks() = default;
    // Whether the results view shows the Favorites / the Recent list now.
    virtual bool ShowsFavorites() const = 0;
    virtual bool ShowsRecent() const = 0;
    // RefreshResultsView: rebuilds the results view from its list.
    virtual void RefreshResultsView() = 0;
    // suiStringGrid4Click for the row now selected.
    virtual void SelectionAction() = 0;
};

class TPlaybackView : public TResultsViewHooks {
public:
    // The three display lines: status (TntLabel3), title (TntLabel2) and
    // bit rate (Label5).
    virtual void SetStatusText(const std::u16string& text) = 0;
    virtual void SetTitleText(const std::u16string& text) = 0;
    virtual void SetBitrateText(const std::u16string& text) = 0;
    // The Play/Stop button's picture: active or idle.
    virtual void SetPlayPicture(bool active) = 0;
    // The level meter (DIBKnob1), 0..100.
    virtual void SetLevelMeter(int position) = 0;
    // The URL menu (PopupMenu1) and its label (Label13) changed: redraw them.
    virtual void ShowUrlMenu(const TUrlMenu& menu) = 0;
    // Open the URL menu at the mouse pointer.
    virtual void PopupUrlMenu() = 0;

    // The recorder: whether the Rec switch is on, StopRecording (no-op when
    // idle), and one blink of the "recording" label.
    virtual bool RecordingRuns() const = 0;
    virtual void StopRecording() = 0;
    virtual void ToggleRecordingLabel() = 0;

    // Modal Yes/No box owned by the window, title "Recording...", text
    // "Recording in progress. Stop it now?"; true for Yes.
    virtual bool AskStopRecording() = 0;
    // Plain message box with the application's title and an OK button.
    virtual void ShowMessage(const std::u16string& text) = 0;

    // The Settings dialog's connection time-out, seconds.
    virtual int TimeoutSeconds() const = 0;
    // Puts the effect settings on a newly opened stream before it plays.
    virtual void ApplyEffectChain(engine::HSTREAM stream) = 0;

    // The clipboard as plain text.
    virtual std::u16string ClipboardText() const = 0;
    virtual void SetClipboardText(const std::u16string& text) = 0;
};

} // namespace lumaro
