#pragma once
// The window as the recorder sees it, in one test double with the playback
// controller's ports (whose recording gate and effect hand-over the tests
// give to a TRecorder and a TEffectChain, as the composition root does).

#include "tests/playback/recording_view.h"

#include "recording/recorder.h"

#include <string>
#include <vector>

namespace lumaro::testing {

class RecorderWindow : public RecordingView, public TRecorderView {
public:
    bool recPicture = false;
    std::vector<bool> labelShown; // each visibility change
    std::vector<std::string> openedFolders;

    // Both the gate and the recorder's view ask the same question.
    bool AskStopRecording() override { return RecordingView::AskStopRecording(); }

    // TRecorderView.
    void SetRecPicture(bool on) override { recPicture = on; }
    void SetRecordingLabelVisible(bool visible) override { labelShown.push_back(visible); }
    void OpenFolder(const std::string& path) override { openedFolders.push_back(path); }
};

} // namespace lumaro::testing
