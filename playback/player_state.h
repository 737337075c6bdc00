#pragma once
// Playback state shared by the connection workers, the window's timers, the
// effect chain and the recorder. The composition root makes it; the playback
// controller (its window-thread methods and its workers) is its one writer,
// everyone else reads. Each field names the code that writes it and its
// thread; "Lock": a worker reads or writes it only while holding Lock.

#include "data/station_record.h"
#include "engine/audio_library.h"
#include "playback/url_menu.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace lumaro {

using engine::HSTREAM;

struct TPlayerState {
    // The current stream, 0 = none. Written by the worker of the current
    // attempt, under Lock; read by anyone.
    std::atomic<HSTREAM> Stream{0};
    // The handle of each finished attempt of the current request (0 for a failed
    // one), oldest first. Appended by each attempt's worker, emptied by the
    // controller's FreeAllStreams; Lock.
    std::vector<HSTREAM> OpenedStreams;
    // Record line of the current station; empty = none chosen yet. Written by
    // the controller on the window's thread under Lock; the window's thread
    // reads it freely.
    std::u16string StationLine;
    // StationLine split by SplitStationLine, by the controller as an attempt
    // starts and for the start station. Window thread.
    TStationRecord StationFields;
    // URL of the marked URL entry as last taken by the URL menu, or the URL
    // played from the clipboard (UTF-8). The controller's URL menu. Window thread.
    std::string CurrentUrl;
    // Attempt number of the current request; the attempt uses URL field
    // 5 + AttemptNumber. The controller. Window thread.
    int AttemptNumber = 0;
    // A failed attempt is followed by the next one. The controller. Window thread.
    bool AutoRetry = false;
    // The current station is a URL played from the clipboard. The controller.
    // Window thread.
    bool ClipboardMode = false;
    // An attempt of the current request is between its start and its end.
    // Set by the controller when it starts the attempt, cleared by that
    // attempt's worker.
    std::atomic<bool> Connecting{false};
    // Channel information of the current stream, written by the worker before
    // the effect chain is applied. Lock.
    engine::BASS_CHANNELINFO ChannelInfo;
    // The window the engine is bound to (handed to BASS_Init); opaque here.
    // The controller's InitAudioEngine.
    void* MainWindow = nullptr;
    // The Play/Stop button shows its active picture. The controller. Window thread.
    bool PlayActive = false;
    // An attempt is being prepared or runs: the URL menu does not open. The
    // controller. Window thread.
    bool UrlMenuBusy = false;
    // The URL menu's entries and label. The controller. Window thread.
    TUrlMenu UrlMenu;
    // The status line (by then the station's name) and the title line as the
    // controller last showed them; the recorder tags its files with them.
    // Window thread.
    std::u16string StatusText, TitleText;

    // Stamp of the current play request: bumped by the controller on the
    // window's thread (under Lock) at every attempt, change of StationLine and
    // stop. A worker or message whose stamp differs belongs to a superseded
    // request.
    std::uint32_t Generation = 0;
    // Guards StationLine, OpenedStreams, ChannelInfo and Generation between the
    // workers and the window's thread; held only for a few assignments.
    mutable std::mutex Lock;
};

} // namespace lumaro
