#include "recording/recorder.h"

#include "data/station_record.h"
#include "data/text_codec.h"
#include "recording/recording_files.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace lumaro {

using namespace engine;

TRecorder::TRecorder(AudioLibrary& library, const TPlayerState& state, TRecorderView& view,
                     std::string programDirectory, std::string recordingsFolder)
    : library_(library), player_(state), view_(view), programDirectory_(std::move(programDirectory)),
      recordingsFolder_(std::move(recordingsFolder)) {}

void TRecorder::suiImageButton9Click() {
    // A stalled stream counts as active; a stopped or missing one does not.
    if (library_.BASS_ChannelIsActive(player_.Stream.load()) == BASS_ACTIVE_STOPPED) return;
    state_ = state_ ? 0 : 1;
    view_.SetRecPicture(state_ == 1);
    if (state_ == 0)
        StopRecording();
    else
        StartRecording();
}

void TRecorder::StartRecording() {
    const HSTREAM stream = player_.Stream.load();
    library_.BASS_Encode_Stop(stream); // at most one encoder per stream
    // The same fields StationFields holds, split afresh: playback owns those.
    const TStationRecord fields = SplitStationLine(player_.StationLine);
    const std::u16string stationName = fields.empty() ? std::u16string() : fields[0];

    // The encoder writes its file relative to the current directory, so the
    // station folder is made current for the start and left again at once.
    // Failures leave the file one level up: in the recordings folder, or
    // where the current directory was. A recordings folder not there yet (an
    // installed player makes it at its first recording, or the user removed
    // it) is made first.
    MakeRecordingsFolder();
    (void)::chdir(recordingsFolder_.c_str());
    const std::u16string folder = StationFolderName(stationName); // never "", "." or ".."
    if (!folder.empty()) {
        const std::string name = AnsiFromWide(folder);
        ::mkdir(name.c_str(), 0777); // an existing folder is fine
        (void)::chdir(name.c_str());
    }
    lastFileName_ = NextRecordingFileName(ListMp3Files("."));
    lastCommandLine_ = BuildEncoderCommandLine(lastFileName_, player_.TitleText, player_.StatusText);
    library_.BASS_Encode_Start(stream, lastCommandLine_.c_str(), kRecordingEncodeFlags, nullptr, nullptr);
    (void)::chdir(programDirectory_.c_str());
}

void TRecorder::StopRecording() {
    library_.BASS_Encode_Stop(player_.Stream.load());
    state_ = 0;
    view_.SetRecPicture(false);
    labelVisible_ = false;
    view_.SetRecordingLabelVisible(false);
}

void TRecorder::ToggleRecordingLabel() {
    if (state_ != 1) return;
    labelVisible_ = !labelVisible_;
    view_.SetRecordingLabelVisible(labelVisible_);
}

bool TRecorder::FormCloseQuery() {
    // Yes closes; the recording then ends with the engine's release.
    return state_ != 1 || view_.AskStopRecording();
}

void TRecorder::MakeRecordingsFolder() const {
    std::error_code error; // a folder that cannot be made: the start reports nothing
    std::filesystem::create_directories(recordingsFolder_, error);
}

void TRecorder::Label22Click() {
    MakeRecordingsFolder(); // the file browser shows the folder even before the first recording
    view_.OpenFolder(recordingsFolder_);
}

} // namespace lumaro
