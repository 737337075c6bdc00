#pragma once
// Playback state shared by the connection workers, the window, its timers, the
// effect chain and the recorder. Each field says which thread owns it; "Lock"
// means the worker reads or writes it only while holding Lock.

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
    // The current stream, 0 = none. Published by the worker of the current
    // attempt under Lock; read by anyone.
    std::atomic<HSTREAM> Stream{0};
    // The handle of each finished attempt of the current request (0 for a failed
    // one), oldest first. Lock.
    std::vector<HSTREAM> OpenedStreams;
    // Record line of the current station; empty = none chosen yet. Written on the
    // window's thread under Lock; the window's thread reads it freely.
    std::u16string StationLine;
    // StationLine split by SplitStationLine. Window thread.
    TStationRecord StationFields;
    // URL of the marked URL entry as last taken by the URL menu, or the URL
    // played from the clipboard (UTF-8). Window thread.
    std::string CurrentUrl;
    // Attempt number of the current request; the attempt uses URL field
    // 5 + AttemptNumber. Window thread.
    int AttemptNumber = 0;
    // A failed attempt is followed by the next one. Window thread.
    bool AutoRetry = false;
    // The current station is a URL played from the clipboard. Window thread.
    bool ClipboardMode = false;
    // An attempt of the current request is between its start and its end.
    // Set by the window's thread when it starts the attempt, cleared by that
    // attempt's worker.
    std::atomic<bool> Connecting{false};
    // Channel information of the current stream, written by the worker before
    // the effect chain is applied. Lock.
    engine::BASS_CHANNELINFO ChannelInfo;
    // The window the engine is bound to (handed to BASS_Init); opaque here.
    void* MainWindow = nullptr;
    // The Play/Stop button shows its active picture. Window thread.
    bool PlayActive = false;
    // An attempt is being prepared or runs: the URL menu does not open. Window thread.
    bool UrlMenuBusy = false;
    // The URL menu's entries and label. Window thread.
    TUrlMenu UrlMenu;

    // Stamp of the current play request: bumped on the window's thread (under
    // Lock) by every attempt, by a change of StationLine and by a stop. A worker
    // or message whose stamp differs belongs to a superseded request.
    std::uint32_t Generation = 0;
    // Guards StationLine, OpenedStreams, ChannelInfo and Generation between the
    // workers and the window's thread; held only for a few assignments.
    mutable std::mutex Lock;
};

} // namespace lumaro
