#pragma once
// The audio library as the player sees it: one abstract class whose operations
// are plain C-like calls with 32-bit handles. The real engine (MakeAudioEngine)
// and the scriptable fake of the playback tests both implement it.
//
// Conventions shared by every call:
//  - handles are 32-bit; 0 means failure and BASS_ErrorGetCode then gives the
//    reason (one of the BASS_ERROR_* codes below);
//  - 64-bit positions are all bits set (BASS_POSITION_FAILED) on failure;
//  - the last error code is kept per calling thread;
//  - every call may come from any thread; none of them waits for a thread that
//    may be blocked inside a callback;
//  - text is UTF-8.
#include "engine/dsp/effect_params.h"

#include <cstdint>
#include <memory>

namespace lumaro::engine {

using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using BOOL = int;
using HSTREAM = DWORD;
using HSYNC = DWORD;
using HDSP = DWORD;
using HFX = DWORD;
using HENCODE = DWORD;
using HPLUGIN = DWORD;

inline constexpr BOOL kTrue = 1;
inline constexpr BOOL kFalse = 0;

// Version: high word is the major/minor interface version callers check.
inline constexpr DWORD BASS_VERSION = 0x02040000;
inline constexpr QWORD BASS_POSITION_FAILED = ~QWORD{0};

// Config options (BASS_SetConfig).
inline constexpr DWORD BASS_CONFIG_FLOATDSP = 9;     // DSP callbacks always get 32-bit float; accepted as 0/1
inline constexpr DWORD BASS_CONFIG_NET_TIMEOUT = 11; // connect and open time-out, milliseconds (default 5000)
inline constexpr DWORD BASS_CONFIG_NET_PREBUF =
    15; // percent of the download buffer filled before open returns
inline constexpr DWORD BASS_CONFIG_NET_PLAYLIST = 21; // 0 = off, 1 = resolve playlist URLs (default 0)

// BASS_StreamCreateURL flags.
inline constexpr DWORD BASS_STREAM_STATUS = 0x800000; // pass the reply's status/header lines to the callback

// BASS_ChannelGetTags types.
inline constexpr DWORD BASS_TAG_HTTP = 3; // reply header lines, NUL-separated, ended by an empty string
inline constexpr DWORD BASS_TAG_ICY = 4;  // ICY header lines as sent, NUL-separated, ended by an empty string
inline constexpr DWORD BASS_TAG_META = 5; // latest metadata block, one string: StreamTitle='...';...
inline constexpr DWORD BASS_TAG_WMA = 8;  // header tags of a WMA stream, NUL-separated list
inline constexpr DWORD BASS_TAG_WMA_META = 11; // mid-stream WMA tag, one string

// BASS_StreamGetFilePosition modes.
inline constexpr DWORD BASS_FILEPOS_END = 2;           // download buffer length in bytes
inline constexpr DWORD BASS_FILEPOS_BUFFER = 5;        // bytes buffered ahead of the decoder
inline constexpr DWORD BASS_FILEPOS_WMA_BUFFER = 1000; // buffer fill in percent (0..100)

// Sync types.
inline constexpr DWORD BASS_SYNC_META = 4; // a new metadata block arrived

// BASS_ChannelIsActive results.
inline constexpr DWORD BASS_ACTIVE_STOPPED = 0; // also for 0 and freed handles
inline constexpr DWORD BASS_ACTIVE_PLAYING = 1;
inline constexpr DWORD BASS_ACTIVE_STALLED = 2; // playing but starved of data: still active
inline constexpr DWORD BASS_ACTIVE_PAUSED = 3;  // not produced by this engine (no pause call)

// Attributes.
inline constexpr DWORD BASS_ATTRIB_VOL = 2; // 0.0 silent .. 1.0 unchanged
inline constexpr DWORD BASS_ATTRIB_PAN = 3; // -1.0 left .. 0.0 centre .. 1.0 right (balance)

// Effect types.
inline constexpr DWORD BASS_FX_DX8_PARAMEQ = 7; // parameters: BASS_DX8_PARAMEQ
inline constexpr DWORD BASS_FX_DX8_REVERB = 8;  // parameters: BASS_DX8_REVERB

// Encoder flags.
inline constexpr DWORD BASS_ENCODE_FP_16BIT = 0x4;     // feed the encoder 16-bit integer PCM
inline constexpr DWORD BASS_ENCODE_AUTOFREE = 0x40000; // end the encoder when its channel is freed

// Error codes (BASS_ErrorGetCode). Texts for them live with the player.
inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_MEM = 1;      // memory error
inline constexpr int BASS_ERROR_FILEOPEN = 2; // can't open the file / URL
inline constexpr int BASS_ERROR_DRIVER = 3;   // no usable sound output
inline constexpr int BASS_ERROR_BUFLOST = 4;
inline constexpr int BASS_ERROR_HANDLE = 5; // invalid or freed handle
inline constexpr int BASS_ERROR_FORMAT = 6; // unsupported sample format
inline constexpr int BASS_ERROR_POSITION = 7;
inline constexpr int BASS_ERROR_INIT = 8; // BASS_Init has not been successfully called
inline constexpr int BASS_ERROR_START = 9;
inline constexpr int BASS_ERROR_SSL = 10;     // the server's TLS certificate was refused
inline constexpr int BASS_ERROR_ALREADY = 14; // already initialised / already done
inline constexpr int BASS_ERROR_NOTPAUSED = 16;
inline constexpr int BASS_ERROR_NOCHAN = 18;   // no free channel
inline constexpr int BASS_ERROR_ILLTYPE = 19;  // illegal type (tag, sync, effect, attribute, position mode)
inline constexpr int BASS_ERROR_ILLPARAM = 20; // illegal parameter
inline constexpr int BASS_ERROR_NO3D = 21;
inline constexpr int BASS_ERROR_NOEAX = 22;
inline constexpr int BASS_ERROR_DEVICE = 23; // illegal device number
inline constexpr int BASS_ERROR_NOPLAY = 24; // not playing
inline constexpr int BASS_ERROR_FREQ = 25;   // illegal sample rate
inline constexpr int BASS_ERROR_NOTFILE = 27;
inline constexpr int BASS_ERROR_NOHW = 29;
inline constexpr int BASS_ERROR_EMPTY = 31;
inline constexpr int BASS_ERROR_NONET = 32;  // no connection could be opened
inline constexpr int BASS_ERROR_CREATE = 33; // couldn't create (file, process)
inline constexpr int BASS_ERROR_NOFX = 34;
inline constexpr int BASS_ERROR_PLAYING = 35;
inline constexpr int BASS_ERROR_NOTAVAIL = 37; // requested data is not available
inline constexpr int BASS_ERROR_DECODE = 38;
inline constexpr int BASS_ERROR_DX = 39;
inline constexpr int BASS_ERROR_TIMEOUT = 40;  // connection timed out
inline constexpr int BASS_ERROR_FILEFORM = 41; // unsupported file format
inline constexpr int BASS_ERROR_SPEAKER = 42;
inline constexpr int BASS_ERROR_VERSION = 43;
inline constexpr int BASS_ERROR_CODEC = 44; // codec not available
inline constexpr int BASS_ERROR_UNKNOWN = -1;

// Channel information (BASS_ChannelGetInfo).
struct BASS_CHANNELINFO {
    DWORD freq = 0;    // sample rate of the output the channel delivers, Hz (44100)
    DWORD chans = 0;   // channels of the decoded source (1 mono, 2 stereo, ...)
    DWORD flags = 0;   // creation flags
    DWORD ctype = 0;   // codec type: 0 unknown, else an FFmpeg AVCodecID + 0x10000
    DWORD origres = 0; // bits per sample of the source when known, else 0
    HPLUGIN plugin = 0;
    DWORD sample = 0;
    const char* filename = nullptr; // the URL that was opened; valid while the channel lives
};

// Effect parameter records: BASS_DX8_PARAMEQ (type 7: fCenter Hz, fBandwidth
// semitones, fGain dB) and BASS_DX8_REVERB (type 8: fInGain dB, fReverbMix dB
// with -96 silent, fReverbTime ms, fHighFreqRTRatio), from the DSP blocks.

// Download callback. With BASS_STREAM_STATUS each raw status or header line of
// the server's reply arrives as (line, 0, user), exactly as sent, without CR LF.
// Runs on the stream's download thread while BASS_StreamCreateURL is waiting.
using DOWNLOADPROC = void(const void* buffer, DWORD length, void* user);

// Sync callback. For BASS_SYNC_META: runs on the stream's download thread each
// time a new metadata block arrives; data is 0. May call any engine function,
// BASS_StreamFree of its own channel included.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);

// DSP callback: buffer holds length bytes of interleaved 32-bit float stereo
// samples at 44100 Hz, changed in place. Runs on the audio output thread: it
// must not block. It may free its own channel or remove itself, but must not
// call BASS_Free (which waits for the output thread).
using DSPPROC = void(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user);

// Encoder callback (receives the encoder's output). The engine accepts only
// nullptr: the encoder program writes its own output.
using ENCODEPROC = void(HENCODE handle, DWORD channel, const void* buffer, DWORD length, void* user);

class AudioLibrary {
public:
    virtual ~AudioLibrary() = default;

    // ---- Engine ----
    // BASS_VERSION: high 16 bits 0x0204.
    virtual DWORD BASS_GetVersion() = 0;
    // device -1 = default output; freq 44100. Opens the sound output. 0 with
    // BASS_ERROR_DRIVER when no output can be opened, BASS_ERROR_ALREADY when
    // initialised, BASS_ERROR_DEVICE for another device number.
    virtual BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid) = 0;
    // Accepts the known format add-on names (formats come from FFmpeg); returns a
    // non-zero handle for them, 0 with BASS_ERROR_FILEOPEN for any other name.
    virtual HPLUGIN BASS_PluginLoad(const char* file, DWORD flags) = 0;
    // Options BASS_CONFIG_*; non-zero on success, 0 with BASS_ERROR_ILLTYPE for others.
    virtual BOOL BASS_SetConfig(DWORD option, DWORD value) = 0;
    // Releases every stream and encoder and closes the output. Returns at once.
    virtual BOOL BASS_Free() = 0;
    // The code of the last call made on the calling thread.
    virtual int BASS_ErrorGetCode() = 0;

    // ---- Stream ----
    // Blocks until the stream is open (decoder ready, not playing) or has failed,
    // at most the net time-out. url: http(s) URL, playlist URL, or .m3u8 HLS.
    // Errors: NONET 32 (no connection / HTTP error reply), TIMEOUT 40, FILEFORM 41
    // (no decodable audio), CODEC 44, FILEOPEN 2 (empty or malformed URL), INIT 8,
    // SSL 10 (the server's certificate was refused).
    virtual HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc,
                                         void* user) = 0;
    // Silences the stream at once and releases it; its threads end by themselves.
    // 0 and freed handles give 0 with BASS_ERROR_HANDLE. Safe inside callbacks.
    virtual BOOL BASS_StreamFree(HSTREAM handle) = 0;
    // mode BASS_FILEPOS_*; BASS_POSITION_FAILED on failure.
    virtual QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode) = 0;
    // BASS_TAG_*; nullptr when absent (BASS_ERROR_NOTAVAIL). The text stays valid
    // until the same tag type of the same channel changes or the channel is freed;
    // callers copy it at once.
    virtual const char* BASS_ChannelGetTags(DWORD handle, DWORD tags) = 0;
    // Only BASS_SYNC_META (type 4); param unused.
    virtual HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user) = 0;
    virtual BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) = 0;
    // Starts (or resumes) output of the channel; restart is ignored for live streams.
    virtual BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) = 0;
    // BASS_ACTIVE_*.
    virtual DWORD BASS_ChannelIsActive(DWORD handle) = 0;
    // Peak of about the last 20 ms of the channel's sound after its DSP
    // callbacks and effects (before volume and pan): left in the low word,
    // right in the high word, each 0..32768. All bits set on failure.
    virtual DWORD BASS_ChannelGetLevel(DWORD handle) = 0;

    // ---- Shaping ----
    // type BASS_FX_DX8_PARAMEQ or BASS_FX_DX8_REVERB.
    virtual HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) = 0;
    // params points at the record of the effect's type.
    virtual BOOL BASS_FXGetParameters(HFX handle, void* params) = 0;
    virtual BOOL BASS_FXSetParameters(HFX handle, const void* params) = 0;
    // BASS_ATTRIB_VOL or BASS_ATTRIB_PAN; changes ramp over one block.
    virtual BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) = 0;
    // DSP callbacks and effects run in one order: descending priority, equal
    // priorities in the order they were set.
    virtual HDSP BASS_ChannelSetDSP(DWORD handle, DSPPROC* proc, void* user, int priority) = 0;
    virtual BOOL BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp) = 0;

    // ---- Encoder ----
    // Runs the command line (Windows quoting rules, no shell, the caller's current
    // directory, LC_ALL=C.UTF-8) and feeds its standard input a WAV header and
    // 16-bit PCM (the only format; BASS_ENCODE_FP_16BIT is implied) of the
    // channel's output after its DSP callbacks and effects, before volume and
    // pan. The output thread queues the sound without waiting and a writer
    // thread of the encoder's own fills the pipe; sound that finds the queue
    // full (3 s behind) is dropped. Freeing the channel ends its encoders, with or
    // without BASS_ENCODE_AUTOFREE. proc must be null. Errors: HANDLE 5,
    // ILLPARAM 20 (empty command line, proc given), CREATE 33 (cannot start).
    virtual HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                                      void* user) = 0;
    // Closes the encoder's input of every encoder on the channel (or the encoder
    // handle given); the program finishes on its own and is reaped in the background.
    virtual BOOL BASS_Encode_Stop(DWORD handle) = 0;
};

// The real engine: FFmpeg decoding, PulseAudio or SDL2 output. One per process is expected.
std::unique_ptr<AudioLibrary> MakeAudioEngine();

// Puts the sound system's process-wide settings (environment variables read
// by the output libraries) in place. The environment must not change while
// other threads may read it, so a program calls this first thing in main.
void PrepareAudioOutput();

} // namespace lumaro::engine
