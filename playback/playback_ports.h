#pragma once
// What the playback controller asks of the layers around it: one port per
// need, each handed in by the composition root. Every method is called on the
// window's thread.

#include "engine/audio_library.h"
#include "playback/url_menu.h"

#include <string>

namespace lumaro {

// The window's face of playback: the display, a message box and the clipboard.
class TPlaybackView {
public:
    virtual ~TPlaybackView() = default;
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
    // Plain message box with the application's title and an OK button.
    virtual void ShowMessage(const std::u16string& text) = 0;
    // The clipboard as plain text.
    virtual std::u16string ClipboardText() const = 0;
    virtual void SetClipboardText(const std::u16string& text) = 0;
};

// The recorder, as playback must see it before it stops or replaces a stream.
class TRecordingGate {
public:
    virtual ~TRecordingGate() = default;
    virtual bool RecordingRuns() const = 0;
    // Ends a recording; harmless when none runs.
    virtual void StopRecording() = 0;
    // The modal question "Recording in progress. Stop it now?"; true for Yes.
    virtual bool AskStopRecording() = 0;
    // One blink of the "recording" label: the status timer's every sixth tick.
    virtual void ToggleRecordingLabel() = 0;
    // A reconnect has put a new current stream in place of the one that was
    // recorded when it dropped: record on from it.
    virtual void ContinueRecording() = 0;
};

// Takes each newly opened stream before it plays: the effect settings go on it.
class TStreamAdopter {
public:
    virtual ~TStreamAdopter() = default;
    virtual void AdoptStream(engine::HSTREAM stream) = 0;
};

// Told after a play request has put its station on top of Recent.
class TRecentView {
public:
    virtual ~TRecentView() = default;
    virtual void RecentChanged() = 0;
};

// The controller's ports; each outlives the controller.
struct TPlaybackPorts {
    TPlaybackView& View;
    TRecordingGate& Recording;
    TStreamAdopter& NewStreams;
    TRecentView& Recent;
};

} // namespace lumaro
