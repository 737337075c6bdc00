#include "playback/reconnect_schedule.h"

#include "engine/audio_library.h"

#include <QTimer>

#include <algorithm>
#include <array>
#include <cctype>

namespace lumaro {

namespace {

class TSystemReconnectClock : public TReconnectClock {
public:
    TSystemReconnectClock() { timer_.setSingleShot(true); }
    TReconnectTime Now() const override { return std::chrono::steady_clock::now(); }
    void Arm(std::chrono::milliseconds delay, std::function<void()> fire) override {
        Disarm();
        fire_ = std::move(fire);
        connection_ = QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto fire = std::move(fire_);
            fire_ = nullptr;
            if (fire) fire();
        });
        timer_.start(std::max(delay, std::chrono::milliseconds(0)));
    }
    void Disarm() override {
        timer_.stop();
        QObject::disconnect(connection_);
        fire_ = nullptr;
    }

private:
    QTimer timer_;
    QMetaObject::Connection connection_;
    std::function<void()> fire_;
};

} // namespace

std::unique_ptr<TReconnectClock> MakeSystemReconnectClock() {
    return std::make_unique<TSystemReconnectClock>();
}

std::chrono::seconds TReconnectSchedule::BaseDelay(int step) {
    static constexpr std::array<int, 7> kSeconds = {1, 2, 4, 8, 15, 30, 60};
    constexpr int kLast = static_cast<int>(kSeconds.size()) - 1;
    return std::chrono::seconds(kSeconds[static_cast<size_t>(std::clamp(step, 0, kLast))]);
}

void TReconnectSchedule::Dropped(TReconnectTime now) {
    if (running_) return;
    running_ = true;
    firstDrop_ = now;
    step_ = 0;
}

std::optional<std::chrono::milliseconds> TReconnectSchedule::NextDelay(TReconnectTime now) {
    if (!running_) Dropped(now);
    if (now - firstDrop_ >= kGiveUpAfter) return std::nullopt;
    const auto base = std::chrono::duration_cast<std::chrono::milliseconds>(BaseDelay(step_++));
    std::uniform_real_distribution<double> jitter(1.0 - kJitter, 1.0 + kJitter);
    return std::chrono::milliseconds(
        static_cast<long long>(static_cast<double>(base.count()) * jitter(random_)));
}

void TReconnectSchedule::Reset() {
    running_ = false;
    step_ = 0;
}

int ReplyStatusCode(std::string_view line) {
    auto startsNoCase = [&](std::string_view prefix) {
        if (line.size() < prefix.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
        return true;
    };
    if (!startsNoCase("HTTP/") && !startsNoCase("ICY ")) return 0;
    const size_t space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4) return 0;
    int code = 0;
    for (size_t i = space + 1; i < space + 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

bool MountMayReturn(std::string_view replyLine, bool urlWasOnAir,
                    std::chrono::steady_clock::duration sinceDrop) {
    const int status = ReplyStatusCode(replyLine);
    return urlWasOnAir && (status == 404 || status == 410) && sinceDrop < kMountReturnGrace;
}

bool IsPermanentFailure(int errorCode, std::string_view replyLine) {
    if (errorCode == engine::BASS_ERROR_SSL) return true;
    switch (ReplyStatusCode(replyLine)) {
    case 401:
    case 403:
    case 404:
    case 410:
        return true;
    default:
        return false;
    }
}

} // namespace lumaro
