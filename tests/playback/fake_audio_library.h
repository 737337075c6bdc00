#pragma once
// A scriptable stand-in for the audio engine: each URL has a script (open
// succeeds or fails with a code, at once or when a named gate is released;
// tags; buffer fill sequence; activity; levels). Every call is recorded with
// its arguments. Thread-safe: workers, engine-like threads and the test's
// thread call it at once.

#include "engine/audio_library.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace lumaro::testing {

using namespace lumaro::engine;

// A tag block as the engine hands it out: NUL-separated strings ended by an
// empty string.
inline std::string TagList(const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& line : lines)
        block += line + '\0';
    return block + '\0';
}

class FakeAudioLibrary : public AudioLibrary {
public:
    struct Script {
        bool openFails = false;
        int openError = BASS_ERROR_NONET;
        std::string gate;                    // open waits until Release(gate)
        std::vector<std::string> replyLines; // sent to the download callback during open
        std::map<DWORD, std::string> tags;   // tag type -> block (TagList, or one string + NUL)
        QWORD fileLength = 100;              // BASS_FILEPOS_END
        QWORD wmaBuffer = 0;                 // BASS_FILEPOS_WMA_BUFFER
        std::vector<QWORD> buffered{100};    // successive BASS_FILEPOS_BUFFER polls; the last repeats
        DWORD activeWhenPlaying = BASS_ACTIVE_PLAYING;
        std::vector<DWORD> levels{0}; // successive level reads; the last repeats
    };

    struct Call {
        Call(std::string n, DWORD h = 0, std::string t = {}, long long v = 0)
            : name(std::move(n)), handle(h), text(std::move(t)), value(v) {}
        std::string name;
        DWORD handle = 0;
        std::string text;
        long long value = 0;
    };

    // ---- Script and observation (any thread) ----
    void SetScript(const std::string& url, Script script) {
        std::lock_guard lock(m_);
        scripts_[url] = std::move(script);
    }
    void Release(const std::string& gate) {
        std::lock_guard lock(m_);
        released_.insert(gate);
        cv_.notify_all();
    }
    void ReleaseAll() {
        std::lock_guard lock(m_);
        releaseAll_ = true;
        cv_.notify_all();
    }
    std::vector<Call> Calls(const std::string& name = {}) const {
        std::lock_guard lock(m_);
        std::vector<Call> out;
        for (const Call& c : calls_)
            if (name.empty() || c.name == name) out.push_back(c);
        return out;
    }
    size_t CallCount(const std::string& name) const { return Calls(name).size(); }
    // URLs passed to BASS_StreamCreateURL, in order.
    std::vector<std::string> OpenedUrls() const {
        std::vector<std::string> urls;
        for (const Call& c : Calls("BASS_StreamCreateURL"))
            urls.push_back(c.text);
        return urls;
    }
    // Blocks (without running any event loop) until a call named name has been
    // made count times.
    bool WaitForCalls(const std::string& name, size_t count, int timeoutMs = 10000) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            size_t n = 0;
            for (const Call& c : calls_)
                n += c.name == name;
            return n >= count;
        });
    }
    // The handle of the most recent stream opened for url, 0 when none.
    DWORD HandleFor(const std::string& url) const {
        std::lock_guard lock(m_);
        DWORD found = 0;
        for (const auto& [h, s] : streams_)
            if (s.url == url) found = h;
        return found;
    }
    bool IsFreed(DWORD h) const {
        std::lock_guard lock(m_);
        const auto it = streams_.find(h);
        return it != streams_.end() && it->second.freed;
    }
    bool WasPlayed(DWORD h) const {
        std::lock_guard lock(m_);
        const auto it = streams_.find(h);
        return it != streams_.end() && it->second.played;
    }
    // Handles that were played and are not freed.
    std::vector<DWORD> Audible() const {
        std::lock_guard lock(m_);
        std::vector<DWORD> out;
        for (const auto& [h, s] : streams_)
            if (s.played && !s.freed) out.push_back(h);
        return out;
    }
    void SetActive(DWORD h, DWORD active) {
        std::lock_guard lock(m_);
        streams_[h].script.activeWhenPlaying = active;
    }
    void SetLevels(DWORD h, std::vector<DWORD> levels) {
        std::lock_guard lock(m_);
        auto& s = streams_[h];
        s.script.levels = std::move(levels);
        s.levelIndex = 0;
    }
    // As the engine's download thread does when a new metadata block arrives:
    // replaces the stream's metadata tag, then runs its metadata callbacks.
    void FireMeta(DWORD h, const std::string& meta) {
        std::vector<std::pair<SYNCPROC*, void*>> syncs;
        {
            std::lock_guard lock(m_);
            auto& s = streams_[h];
            s.script.tags[BASS_TAG_META] = meta + '\0';
            syncs = s.syncs;
        }
        for (auto [proc, user] : syncs)
            proc(1, h, 0, user);
    }

    // Engine start-up knobs.
    DWORD version = BASS_VERSION;
    bool initFails = false;
    int initError = BASS_ERROR_DRIVER;

    // ---- AudioLibrary ----
    DWORD BASS_GetVersion() override {
        Record({"BASS_GetVersion"});
        return version;
    }
    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void*) override {
        Record({"BASS_Init", 0,
                std::to_string(device) + "/" + std::to_string(freq) + "/" + std::to_string(flags),
                static_cast<long long>(reinterpret_cast<std::uintptr_t>(window))});
        return initFails ? Fail(initError) : kTrue;
    }
    HPLUGIN BASS_PluginLoad(const char* file, DWORD) override {
        Record({"BASS_PluginLoad", 0, file});
        return 1;
    }
    BOOL BASS_SetConfig(DWORD option, DWORD value) override {
        Record({"BASS_SetConfig", option, {}, value});
        return kTrue;
    }
    BOOL BASS_Free() override {
        Record({"BASS_Free"});
        return kTrue;
    }
    int BASS_ErrorGetCode() override { return lastError_; }

    HSTREAM BASS_StreamCreateURL(const char* url, DWORD, DWORD flags, DOWNLOADPROC* proc,
                                 void* user) override {
        Record({"BASS_StreamCreateURL", 0, url, flags});
        Script script;
        {
            std::unique_lock lock(m_);
            const auto it = scripts_.find(url);
            if (it == scripts_.end()) {
                lock.unlock();
                return Fail(*url ? BASS_ERROR_NONET : BASS_ERROR_FILEOPEN);
            }
            script = it->second;
            if (!script.gate.empty())
                cv_.wait(lock, [&] { return releaseAll_ || released_.count(script.gate) > 0; });
        }
        if (proc)
            for (const std::string& line : script.replyLines)
                proc(line.c_str(), 0, user);
        if (script.openFails) return Fail(script.openError);
        std::lock_guard lock(m_);
        const DWORD h = nextHandle_++;
        Stream& stream = streams_[h];
        stream.url = url;
        stream.script = script;
        lastError_ = BASS_OK;
        return h;
    }
    BOOL BASS_StreamFree(HSTREAM h) override {
        Record({"BASS_StreamFree", h});
        std::lock_guard lock(m_);
        const auto it = streams_.find(h);
        if (it == streams_.end() || it->second.freed) return Fail(BASS_ERROR_HANDLE);
        it->second.freed = true;
        return kTrue;
    }
    QWORD BASS_StreamGetFilePosition(HSTREAM h, DWORD mode) override {
        Record({"BASS_StreamGetFilePosition", h, {}, mode});
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) {
            Fail(BASS_ERROR_HANDLE);
            return BASS_POSITION_FAILED;
        }
        switch (mode) {
        case BASS_FILEPOS_END:
            return s->script.fileLength;
        case BASS_FILEPOS_WMA_BUFFER:
            return s->script.wmaBuffer;
        case BASS_FILEPOS_BUFFER: {
            const auto& seq = s->script.buffered;
            const QWORD v = seq.empty() ? 0 : seq[std::min(s->bufferIndex, seq.size() - 1)];
            ++s->bufferIndex;
            if (v == BASS_POSITION_FAILED) lastError_ = BASS_ERROR_NOTAVAIL;
            return v;
        }
        default: {
            Fail(BASS_ERROR_ILLTYPE);
            return BASS_POSITION_FAILED;
        }
        }
    }
    const char* BASS_ChannelGetTags(DWORD h, DWORD type) override {
        Record({"BASS_ChannelGetTags", h, {}, type});
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) {
            Fail(BASS_ERROR_HANDLE);
            return nullptr;
        }
        const auto it = s->script.tags.find(type);
        if (it == s->script.tags.end()) {
            Fail(BASS_ERROR_NOTAVAIL);
            return nullptr;
        }
        // A stable copy per read, kept for the life of the fake.
        handedOut_.push_back(it->second);
        return handedOut_.back().c_str();
    }
    HSYNC BASS_ChannelSetSync(DWORD h, DWORD type, QWORD, SYNCPROC* proc, void* user) override {
        Record({"BASS_ChannelSetSync", h, {}, type});
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) return Fail(BASS_ERROR_HANDLE);
        s->syncs.emplace_back(proc, user);
        return static_cast<HSYNC>(s->syncs.size());
    }
    BOOL BASS_ChannelGetInfo(DWORD h, BASS_CHANNELINFO* info) override {
        Record({"BASS_ChannelGetInfo", h});
        std::lock_guard lock(m_);
        if (!Live(h)) return Fail(BASS_ERROR_HANDLE);
        info->freq = 44100;
        info->chans = 2;
        return kTrue;
    }
    BOOL BASS_ChannelPlay(DWORD h, BOOL restart) override {
        Record({"BASS_ChannelPlay", h, {}, restart});
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) return Fail(BASS_ERROR_HANDLE);
        s->played = true;
        return kTrue;
    }
    DWORD BASS_ChannelIsActive(DWORD h) override {
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) return BASS_ACTIVE_STOPPED;
        return s->played ? s->script.activeWhenPlaying : BASS_ACTIVE_STOPPED; // opened, not played
    }
    DWORD BASS_ChannelGetLevel(DWORD h) override {
        std::lock_guard lock(m_);
        Stream* s = Live(h);
        if (!s) {
            Fail(BASS_ERROR_HANDLE);
            return ~DWORD{0};
        }
        const auto& seq = s->script.levels;
        const DWORD v = seq.empty() ? 0 : seq[std::min(s->levelIndex, seq.size() - 1)];
        ++s->levelIndex;
        return v;
    }
    HFX BASS_ChannelSetFX(DWORD h, DWORD type, int) override {
        Record({"BASS_ChannelSetFX", h, {}, type});
        return 1;
    }
    BOOL BASS_FXGetParameters(HFX, void*) override { return kTrue; }
    BOOL BASS_FXSetParameters(HFX, const void*) override { return kTrue; }
    BOOL BASS_ChannelSetAttribute(DWORD h, DWORD attrib, float) override {
        Record({"BASS_ChannelSetAttribute", h, {}, attrib});
        return kTrue;
    }
    HDSP BASS_ChannelSetDSP(DWORD, DSPPROC*, void*, int) override { return 1; }
    BOOL BASS_ChannelRemoveDSP(DWORD, HDSP) override { return kTrue; }
    HENCODE BASS_Encode_Start(DWORD h, const char* cmdline, DWORD flags, ENCODEPROC*, void*) override {
        Record({"BASS_Encode_Start", h, cmdline, flags});
        return 1;
    }
    BOOL BASS_Encode_Stop(DWORD h) override {
        Record({"BASS_Encode_Stop", h});
        return kTrue;
    }

private:
    struct Stream {
        std::string url;
        Script script;
        bool freed = false;
        bool played = false;
        size_t bufferIndex = 0;
        size_t levelIndex = 0;
        std::vector<std::pair<SYNCPROC*, void*>> syncs;
    };

    void Record(Call call) {
        std::lock_guard lock(m_);
        calls_.push_back(std::move(call));
        cv_.notify_all();
    }
    int Fail(int code) {
        lastError_ = code;
        return 0;
    }
    Stream* Live(DWORD h) {
        const auto it = streams_.find(h);
        return it == streams_.end() || it->second.freed ? nullptr : &it->second;
    }

    mutable std::mutex m_;
    std::condition_variable cv_;
    std::map<std::string, Script> scripts_;
    std::set<std::string> released_;
    bool releaseAll_ = false;
    std::map<DWORD, Stream> streams_;
    DWORD nextHandle_ = 100;
    std::vector<Call> calls_;
    std::deque<std::string> handedOut_; // stable addresses
    static inline thread_local int lastError_ = BASS_OK;
};

// A URL whose open fails with code, after the server's reply lines.
inline FakeAudioLibrary::Script Fails(int code, std::vector<std::string> reply = {}) {
    FakeAudioLibrary::Script s;
    s.openFails = true;
    s.openError = code;
    s.replyLines = std::move(reply);
    return s;
}

} // namespace lumaro::testing
