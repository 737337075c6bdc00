#pragma once
// The Rec switch: records the current stream into numbered MP3 files in a
// folder per station, through the engine's encoder and the `lame` program.
// No widgets: the window forwards its events here and shows what
// TRecorderView is told; playback asks it through TRecordingGate. Window
// thread only, like everything it calls.

#include "engine/audio_library.h"
#include "playback/playback_ports.h"
#include "playback/player_state.h"

#include <string>

namespace lumaro {

// What the recorder needs from the main window.
class TRecorderView {
public:
    virtual ~TRecorderView() = default;
    // The Rec switch shows its recording picture (true) or its idle one.
    virtual void SetRecPicture(bool recording) = 0;
    // The "recording" label (Label23) shown or hidden.
    virtual void SetRecordingLabelVisible(bool visible) = 0;
    // Modal Yes/No box owned by the window, title "Recording...", text
    // "Recording in progress. Stop it now?", no icon; true for Yes.
    virtual bool AskStopRecording() = 0;
    // Opens a folder in the desktop's file browser; failures are not reported.
    virtual void OpenFolder(const std::string& path) = 0;
};

// The encoder's flags: 16-bit samples, freed with the stream.
inline constexpr engine::DWORD kRecordingEncodeFlags =
    engine::BASS_ENCODE_FP_16BIT | engine::BASS_ENCODE_AUTOFREE;

class TRecorder : public TRecordingGate {
public:
    // programDirectory: the directory made current again after each start
    // (the process's current directory in the program). recordingsFolder:
    // absolute, UTF-8, no trailing separator. library, state and view outlive
    // the recorder.
    TRecorder(engine::AudioLibrary& library, const TPlayerState& state, TRecorderView& view,
              std::string programDirectory, std::string recordingsFolder);
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    // The Rec switch: nothing while the current stream is not active;
    // otherwise flips the state and starts or stops a recording.
    void suiImageButton9Click();

    // Attaches the encoder to the current stream, writing the next numbered
    // file of the station's folder, tagged with the title and status lines as
    // playback last showed them. The encoder program starts in the process's
    // current directory, so this changes it for the duration of the call and
    // restores the program directory before returning.
    void StartRecording();
    // Ends the encoder's input (the program finishes the file by itself),
    // turns the switch off and hides the label. Harmless when idle.
    void StopRecording() override;
    // After a reconnect: the engine cannot carry an encoder over to another
    // stream, so the recording goes on into the station's next numbered file.
    void ContinueRecording() override {
        if (state_ == 1) StartRecording();
    }

    // Recording state of the Rec switch: 0 idle, 1 recording.
    int State() const { return state_; }
    bool RecordingRuns() const override { return state_ == 1; }
    // The question before a recording is ended; true for Yes.
    bool AskStopRecording() override { return view_.AskStopRecording(); }
    // One blink of the "recording" label: flips it while recording. The
    // status timer calls it every sixth tick (420 ms).
    void ToggleRecordingLabel() override;
    bool LabelVisible() const { return labelVisible_; }

    // The folder the station folders go into.
    void SetRecordingsFolder(std::string folder) { recordingsFolder_ = std::move(folder); }
    const std::string& RecordingsFolder() const { return recordingsFolder_; }

    // The close question: true lets the window close. While recording it asks
    // first; No keeps the window and the recording.
    bool FormCloseQuery();
    // The "Recordings" caption: opens the recordings folder (made when missing).
    void Label22Click();

    // The file name and command line of the last start (empty before), for
    // the window's diagnostics and the tests.
    const std::string& LastFileName() const { return lastFileName_; }
    const std::string& LastCommandLine() const { return lastCommandLine_; }

private:
    void MakeRecordingsFolder() const;

    engine::AudioLibrary& library_;
    const TPlayerState& player_;
    TRecorderView& view_;
    const std::string programDirectory_;
    std::string recordingsFolder_;
    int state_ = 0;
    bool labelVisible_ = false;
    std::string lastFileName_, lastCommandLine_;
};

} // namespace lumaro
