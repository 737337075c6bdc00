#pragma once
// The window as the recorder and the playback controller see it: the playback
// test view, with the recording hooks forwarded to a TRecorder and the effect
// hand-over to a TEffectChain, as TForm1 wires them.

#include "tests/playback/recording_view.h"

#include "effects/effect_chain.h"
#include "recording/recorder.h"

#include <string>
#include <vector>

namespace lumaro::testing {

class RecorderWindow : public RecordingView, public TRecorderView {
public:
    TRecorder* recorder = nullptr;
    TEffectChain* chain = nullptr;
    std::string recordingsFolder;
    bool recPicture = false;
    std::vector<bool> labelShown; // each visibility change
    std::vector<std::string> openedFolders;

    // TPlaybackView's recording hooks.
    bool RecordingRuns() const override { return recorder && recorder->RecordingRuns(); }
    void StopRecording() override {
        RecordingView::StopRecording();
        if (recorder) recorder->StopRecording();
    }
    void ToggleRecordingLabel() override {
        RecordingView::ToggleRecordingLabel();
        if (recorder) recorder->ToggleRecordingLabel();
    }
    void ApplyEffectChain(engine::HSTREAM stream) override {
        RecordingView::ApplyEffectChain(stream);
        if (chain) chain->ApplyEffectChain(stream);
    }
    // Both interfaces ask the same question.
    bool AskStopRecording() override { return RecordingView::AskStopRecording(); }

    // TRecorderView.
    std::u16string TitleText() const override { return title; }
    std::u16string StatusText() const override { return status; }
    std::string RecordingsFolder() const override { return recordingsFolder; }
    void SetRecPicture(bool on) override { recPicture = on; }
    void SetRecordingLabelVisible(bool visible) override { labelShown.push_back(visible); }
    void OpenFolder(const std::string& path) override { openedFolders.push_back(path); }
};

} // namespace lumaro::testing
