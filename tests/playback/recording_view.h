#pragma once
// A TPlaybackView that records what the window would show, with scripted
// answers for the questions it would ask.

#include "playback/playback_view.h"

#include <functional>
#include <string>
#include <vector>

namespace lumaro::testing {

class RecordingView : public TPlaybackView {
public:
    // What was shown, latest last.
    std::vector<std::u16string> statusHistory, titleHistory, bitrateHistory;
    std::u16string status, title, bitrate;
    bool playPicture = false;
    std::vector<int> meter;
    TUrlMenu menu;
    int menuShown = 0, popups = 0;
    bool recording = false;
    int stopRecordingCalls = 0, labelToggles = 0;
    bool answerYes = true;
    int questions = 0;
    std::vector<std::u16string> messages;
    int timeout = 5;
    std::vector<engine::HSTREAM> effectStreams;
    std::function<void(engine::HSTREAM)> onApplyEffects;
    std::u16string clipboard;
    bool showsFavorites = false, showsRecent = false;
    int refreshes = 0, selections = 0;
    // The hooks in the order they were called ("refresh", "select").
    std::vector<std::string> hookOrder;

    void SetStatusText(const std::u16string& t) override {
        status = t;
        statusHistory.push_back(t);
    }
    void SetTitleText(const std::u16string& t) override {
        title = t;
        titleHistory.push_back(t);
    }
    void SetBitrateText(const std::u16string& t) override {
        bitrate = t;
        bitrateHistory.push_back(t);
    }
    void SetPlayPicture(bool active) override { playPicture = active; }
    void SetLevelMeter(int position) override { meter.push_back(position); }
    void ShowUrlMenu(const TUrlMenu& m) override {
        menu = m;
        ++menuShown;
    }
    void PopupUrlMenu() override { ++popups; }
    bool RecordingRuns() const override { return recording; }
    void StopRecording() override {
        ++stopRecordingCalls;
        recording = false;
    }
    void ToggleRecordingLabel() override { ++labelToggles; }
    bool AskStopRecording() override {
        ++questions;
        return answerYes;
    }
    void ShowMessage(const std::u16string& text) override { messages.push_back(text); }
    int TimeoutSeconds() const override { return timeout; }
    void ApplyEffectChain(engine::HSTREAM stream) override {
        effectStreams.push_back(stream);
        if (onApplyEffects) onApplyEffects(stream);
    }
    std::u16string ClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::u16string& text) override { clipboard = text; }
    bool ShowsFavorites() const override { return showsFavorites; }
    bool ShowsRecent() const override { return showsRecent; }
    void RefreshResultsView() override {
        ++refreshes;
        hookOrder.push_back("refresh");
    }
    void SelectionAction() override {
        ++selections;
        hookOrder.push_back("select");
    }

    int Count(const std::vector<std::u16string>& history, const std::u16string& text) const {
        int n = 0;
        for (const auto& t : history)
            n += t == text;
        return n;
    }
};

} // namespace lumaro::testing
