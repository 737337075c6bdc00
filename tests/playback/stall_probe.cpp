// Prints how long the window's thread is kept from its event loop during a
// scripted run of a hundred play requests against the engine fake: connects,
// failures with retries, supersessions and Play/Stop. A figure, not a test.

#include "fake_audio_library.h"
#include "recording_view.h"

#include "playback/playback_controller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace lumaro;
using namespace lumaro::testing;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    FakeAudioLibrary fake;
    RecordingView view;
    TRecentList recent;
    auto controller = std::make_unique<TPlaybackController>(fake, view.Ports(), recent);

    FakeAudioLibrary::Script buffering;
    buffering.buffered = {5, 20, 40, 60, 80};
    buffering.tags[BASS_TAG_ICY] = TagList({"icy-name:Probe", "icy-br:128"});
    fake.SetScript("http://ok", buffering);
    FakeAudioLibrary::Script gated;
    gated.gate = "slow";
    fake.SetScript("http://slow", gated);
    FakeAudioLibrary::Script failing;
    failing.openFails = true;
    fake.SetScript("http://fail", failing);

    // The longest gap between two turns of the event loop, measured by a 1 ms timer.
    qint64 longestGap = 0, longestHandler = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    probe.start();

    auto timed = [&](auto fn) {
        QElapsedTimer t;
        t.start();
        fn();
        longestHandler = std::max(longestHandler, t.elapsed());
    };
    const std::u16string kinds[] = {
        u"\tD\tS\tC\tL\thttp://ok",                // buffers and plays
        u"\tD\tS\tC\tL\thttp://fail\thttp://ok",   // fails once, plays on the second URL
        u"\tD\tS\tC\tL\thttp://fail\thttp://fail", // thirteen failing attempts
        u"\tD\tS\tC\tL\thttp://slow",              // still connecting when superseded
    };
    for (int i = 0; i < 100; ++i) {
        const std::u16string line = u"Station " + WideFromAnsi(std::to_string(i)) + kinds[i % 4];
        timed([&] { controller->PlayStation(line); });
        QTest::qWait(15);
        if (i % 5 == 4) {
            timed([&] { controller->suiImageButton8Click(); });
            QTest::qWait(5);
            timed([&] { controller->suiImageButton8Click(); });
        }
        timed([&] { controller->Timer1Timer(); });
    }
    // Let the last retries settle; the gated attempts wait for the release below.
    (void)QTest::qWaitFor([] { return RunningConnectionWorkers() <= 25; }, 10000);
    controller.reset();
    fake.ReleaseAll();
    WaitForConnectionWorkers(std::chrono::seconds(10));
    std::printf("requests 100, engine calls %zu, opens %zu\n", fake.Calls().size(),
                fake.CallCount("BASS_StreamCreateURL"));
    std::printf("longest event-loop gap %lld ms, longest handler %lld ms\n",
                static_cast<long long>(longestGap), static_cast<long long>(longestHandler));
    return 0;
}
