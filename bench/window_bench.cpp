// The main window under load, with the real engine and a real X server or the
// offscreen platform:
//
//   lumaro-window-bench first-sound URL
//       One station with URL; once the event loop runs, its row is
//       double-clicked and the station plays until the process is stopped.
//       Run it under the shared playback bench, which times the first sound at
//       the sink from the process start; the time from the start to the double
//       click is printed on stderr, so the double click to first sound is the
//       difference.
//
//   lumaro-window-bench stalls [--requests N] [--seed S] URL [URL...]
//       A scripted run of N requests (double clicks on live, dead, hanging and
//       mixed stations, repeated double clicks, Play/Stop) at random intervals
//       of 0 to 400 ms. A second thread posts a call to the window's thread
//       every 2 ms; the delay before each is run is how long the event loop
//       was busy. Prints the longest and the 99th percentile, and what was
//       being done when the longest happened.
#include "data/scrambled_list_file.h"
#include "data/text_codec.h"
#include "engine/audio_library.h"
#include "playback/playback_controller.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "tests/support/free_port.h"
#include "tests/support/gui_actions.h"
#include "ui/skin_grid.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QApplication>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace lumaro;
using Clock = std::chrono::steady_clock;

namespace {

// Milliseconds since this process started, from its start time in /proc
// (10 ms resolution) and the boot-time clock it is counted on.
double MillisecondsSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // Fields after the command name start at field 3; the start time is field 22.
    size_t pos = close + 2;
    for (int field = 3; field < 22 && pos != std::string::npos; ++field)
        pos = stat.find(' ', pos) + 1;
    const double ticks = std::strtod(stat.c_str() + pos, nullptr);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// A loopback port that accepts connections (the kernel completes them) but
// never answers: an attempt on it runs into the connection time-out.
class SilentListener {
public:
    SilentListener() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 256);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { close(fd_); }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

std::u16string StationLine(const std::string& name, const std::vector<std::string>& urls) {
    std::string line = name + "\tBench station\tBench\tNowhere\tNone";
    for (const auto& url : urls)
        line += "\t" + url;
    return WideFromAnsi(line);
}

void DoubleClickRow(TForm1& form, int row) {
    test_support::DoubleClickRow(*form.suiStringGrid4, row);
}

// Closes message boxes the script runs into, as a user would.
void CloseModalBoxes(int* closed) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [closed] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
            ++*closed;
        }
    });
    timer->start(50);
}

int FirstSound(const std::string& url) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    TScrambledListFile::SaveWideList("stations.dat", {StationLine("Bench", {url})}, kListKey);
    TAppSession session(dir.path(), QString());
    TForm1& form = session.MainWindow();
    form.show();
    QTimer::singleShot(0, &form, [&form] {
        const double offset = MillisecondsSinceProcessStart();
        DoubleClickRow(form, 0);
        std::fprintf(stderr, "double click at %.0f ms after the process start (10 ms resolution)\n", offset);
    });
    return QApplication::exec();
}

struct Stalls {
    std::vector<double> delays; // ms, one per posted probe
    double worst = 0;
    std::string worstDuring;
    double worstInScript = 0; // after the window came up, before the wind-down
};

int StallRun(int requests, unsigned seed, const std::vector<std::string>& liveUrls) {
    SilentListener silent;
    const std::string dead = "http://127.0.0.1:" + std::to_string(test_support::FreeLoopbackPort()) + "/dead";
    const std::string hang = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/hang";
    const std::string& live1 = liveUrls.front();
    const std::string& live2 = liveUrls.back();
    const WideList stations = {
        StationLine("Live one", {live1}),
        StationLine("Live two", {live2}),
        StationLine("Dead then live", {dead, live1}),
        StationLine("Hanging then live", {hang, live2}),
        StationLine("Dead only", {dead}),
        StationLine("Hanging only", {hang}),
    };
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    TScrambledListFile::SaveWideList("stations.dat", stations, kListKey);
    TAppSession session(dir.path(), QString());
    TForm1& form = session.MainWindow();
    form.show();
    int boxesClosed = 0;
    CloseModalBoxes(&boxesClosed);

    Stalls stalls;
    std::string doing = "start";
    std::atomic<bool> probing{true};
    std::thread prober([&] {
        while (probing) {
            const auto posted = Clock::now();
            QMetaObject::invokeMethod(
                qApp,
                [&stalls, &doing, posted] {
                    const double ms =
                        std::chrono::duration<double, std::milli>(Clock::now() - posted).count();
                    stalls.delays.push_back(ms);
                    if (ms > 50 && std::getenv("LUMARO_BENCH_TRACE"))
                        std::fprintf(stderr, "%.1f ms during %s\n", ms, doing.c_str());
                    if (ms > stalls.worst) {
                        stalls.worst = ms;
                        stalls.worstDuring = doing;
                    }
                    if (doing != "start" && doing != "winding down")
                        stalls.worstInScript = std::max(stalls.worstInScript, ms);
                },
                Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    std::mt19937 random(seed);
    int done = 0;
    int playStops = 0, doubleClicks = 0;
    const auto started = Clock::now();
    double scriptSeconds = 0;
    QTimer windDown; // lets the last attempts end while the loop still serves their messages
    std::function<void()> next = [&] {
        if (done == requests) {
            scriptSeconds = std::chrono::duration<double>(Clock::now() - started).count();
            doing = "winding down";
            const auto deadline = Clock::now() + std::chrono::seconds(30);
            QObject::connect(&windDown, &QTimer::timeout, [deadline] {
                if (RunningConnectionWorkers() == 0 || Clock::now() > deadline) QApplication::quit();
            });
            windDown.start(50);
            return;
        }
        ++done;
        const auto handlerStart = Clock::now();
        const int kind = int(random() % 8);
        if (kind < 2) {
            doing = "Play/Stop, request " + std::to_string(done);
            ++playStops;
            QTest::mouseClick(form.suiImageButton8, Qt::LeftButton);
        } else {
            const int row = int(random() % stations.size());
            doing = "double click on \"" + AnsiFromWide(session.Catalogue().Line(size_t(row)).substr(0, 20)) +
                    "\", request " + std::to_string(done);
            ++doubleClicks;
            DoubleClickRow(form, row);
            if (kind == 2) DoubleClickRow(form, row); // the same line twice in a row
        }
        const double handlerMs =
            std::chrono::duration<double, std::milli>(Clock::now() - handlerStart).count();
        if (handlerMs > 20 && std::getenv("LUMARO_BENCH_TRACE"))
            std::fprintf(stderr, "handler took %.1f ms: %s\n", handlerMs, doing.c_str());
        QTimer::singleShot(int(random() % 400), &form, next);
    };
    QTimer::singleShot(200, &form, next);
    QApplication::exec();
    probing = false;
    prober.join();

    std::vector<double> sorted = stalls.delays;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double q) {
        return sorted.empty() ? 0.0 : sorted[size_t(q * double(sorted.size() - 1))];
    };
    const long over50 = std::count_if(sorted.begin(), sorted.end(), [](double ms) { return ms > 50; });
    std::printf("requests: %d (%d double clicks, %d Play/Stop) over %.1f s; message boxes closed: %d\n",
                requests, doubleClicks, playStops, scriptSeconds, boxesClosed);
    std::printf("event-loop probes: %zu; delay median %.2f ms, p99 %.2f ms, p99.9 %.2f ms, longest %.2f ms\n",
                sorted.size(), at(0.5), at(0.99), at(0.999), stalls.worst);
    std::printf("probes delayed over 50 ms: %ld; the longest came during: %s\n", over50,
                stalls.worstDuring.c_str());
    std::printf("longest delay while the requests ran: %.2f ms\n", stalls.worstInScript);
    std::printf("status line at the end: %s\n", form.TntLabel3->text().toUtf8().constData());
    return 0;
}

double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Times every event the window's thread delivers, so that a stall can be put
// down to the receiver and the kind of event that caused it.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (!trace_ || QThread::currentThread() != thread()) return QApplication::notify(receiver, event);
        // The receiver may be gone when the event returns.
        const std::string name = std::string(receiver->metaObject()->className()) + " \"" +
                                 receiver->objectName().toStdString() + "\"";
        const int type = event->type();
        const auto start = Clock::now();
        const double cpuStart = ThreadCpuMilliseconds();
        const bool result = QApplication::notify(receiver, event);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms > 20)
            std::fprintf(stderr, "event %d to %s took %.1f ms (%.1f ms on the CPU)\n", type, name.c_str(), ms,
                         ThreadCpuMilliseconds() - cpuStart);
        return result;
    }

private:
    bool trace_ = std::getenv("LUMARO_BENCH_TRACE") != nullptr;
};

int Usage() {
    std::fprintf(stderr, "usage: lumaro-window-bench first-sound URL\n"
                         "       lumaro-window-bench stalls [--requests N] [--seed S] URL [URL...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    engine::PrepareAudioOutput(); // as the program does, before Qt starts threads
    TimedApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "first-sound") return FirstSound(args[1]);
    if (args.empty() || args[0] != "stalls") return Usage();
    int requests = 100;
    unsigned seed = 1;
    std::vector<std::string> urls;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--requests" && i + 1 < args.size())
            requests = std::stoi(args[++i]);
        else if (args[i] == "--seed" && i + 1 < args.size())
            seed = unsigned(std::stoul(args[++i]));
        else
            urls.push_back(args[i]);
    }
    if (urls.empty() || requests < 1) return Usage();
    return StallRun(requests, seed, urls);
}
