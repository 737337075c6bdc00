#pragma once
// The recorder's side of the main window: the Rec switch's picture, the
// blinking "recording" label, the close question and the Recordings caption's
// folder.

#include "recording/recorder.h"

namespace lumaro {

class TForm1;

class TRecorderPanel : public TRecorderView {
public:
    explicit TRecorderPanel(TForm1& form) : form_(form) {}

    void SetRecPicture(bool recording) override;
    void SetRecordingLabelVisible(bool visible) override;
    // Modal box owned by the window, title "Recording...", no icon.
    bool AskStopRecording() override;
    void OpenFolder(const std::string& path) override;

private:
    TForm1& form_;
};

} // namespace lumaro
