#pragma once
// Every port of the playback controller in one test double: records what the
// window would show, what the recorder and the effect chain would be asked,
// with scripted answers for the questions.

#include "playback/playback_ports.h"

#include <functional>
#include <string>
#include <vector>

namespace lumaro::testing {

class RecordingView : public TPlaybackView, public TRecordingGate, public TStreamAdopter, public TRecentView {
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
    // The stream each ContinueRecording found current (recordedStream tells it).
    std::vector<engine::HSTREAM> continuedOn;
    std::function<engine::HSTREAM()> recordedStream;
    bool answerYes = true;
    int questions = 0;
    std::vector<std::u16string> messages;
    std::vector<engine::HSTREAM> effectStreams;
    std::function<void(engine::HSTREAM)> onApplyEffects;
    std::u16string clipboard;
    int recentChanges = 0;

    // This double as every port.
    TPlaybackPorts Ports() { return {*this, *this, *this, *this}; }

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
    void ContinueRecording() override { continuedOn.push_back(recordedStream ? recordedStream() : 0); }
    bool AskStopRecording() override {
        ++questions;
        return answerYes;
    }
    void ShowMessage(const std::u16string& text) override { messages.push_back(text); }
    void AdoptStream(engine::HSTREAM stream) override {
        effectStreams.push_back(stream);
        if (onApplyEffects) onApplyEffects(stream);
    }
    std::u16string ClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::u16string& text) override { clipboard = text; }
    void RecentChanged() override { ++recentChanges; }

    int Count(const std::vector<std::u16string>& history, const std::u16string& text) const {
        int n = 0;
        for (const auto& t : history)
            n += t == text;
        return n;
    }
};

} // namespace lumaro::testing
