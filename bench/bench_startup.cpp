// Start-up of the whole program against an empty Qt window, measured from outside:
// each run starts the process and waits until X maps its first top-level window.
// The two programs are started in turn, 15 times each, and the medians and their
// ratio are printed. Needs an X server without a window manager (xvfb-run does):
//
//   cmake --build build --target bench_startup numbrill
//   xvfb-run -a build/bench/bench_startup
//
// NUMBRILL_BENCH_RUNS sets the number of runs; NUMBRILL_BENCH_PROGRAM starts another
// build of the program instead (an older one, to compare). The program runs on the shipped
// dictionary with an empty list, registered in settings of the benchmark's own.
//
// Both are measured twice: in the environment given, and with a private session bus, as
// on a desktop. The program connects to the bus before it builds its window; an empty
// window connects only once it is mapped, when its accessibility is first asked for.

#include "TestPaths.h"
#include "core/AppInfo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

// Waits for the next top-level window to be mapped; false after `timeoutMs`.
bool waitForMap(xcb_connection_t *connection, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(xcb_poll_for_event(connection),
                                                                    &free);
        if (!event) {
            if (xcb_connection_has_error(connection))
                return false;
            // Sleeps until X has something to say: polling in a loop would take a
            // processor from the program being measured.
            pollfd socket = {xcb_get_file_descriptor(connection), POLLIN, 0};
            ::poll(&socket, 1, int(timeoutMs - waited.elapsed()));
            continue;
        }
        if ((event->response_type & ~0x80) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event.get());
            if (!map->override_redirect)
                return true;
        }
    }
    return false;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

struct Program
{
    const char *name;
    QString program;
    QStringList arguments;
};

// Starts each program in turn and prints the medians and their ratio; false when one
// of them showed no window.
bool compare(xcb_connection_t *connection, const QProcessEnvironment &environment,
             const Program (&programs)[2], int runs)
{
    QList<double> times[2];
    // One unmeasured start of each, so that both find their files in the page cache.
    for (int run = -1; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            QProcess process;
            process.setProcessEnvironment(environment);
            QElapsedTimer clock;
            clock.start();
            process.start(programs[which].program, programs[which].arguments);
            const bool mapped = waitForMap(connection, 10000);
            const double ms = clock.nsecsElapsed() / 1e6;
            process.terminate();
            process.waitForFinished(5000);
            if (!mapped) {
                std::fprintf(stderr, "bench_startup: %s showed no window\n", programs[which].name);
                return false;
            }
            if (run >= 0)
                times[which].append(ms);
        }
    }
    for (int which = 0; which < 2; ++which)
        std::printf("%-16s median %6.1f ms, best %6.1f ms (%d runs)\n", programs[which].name,
                    median(times[which]),
                    *std::min_element(times[which].begin(), times[which].end()), runs);
    std::printf("ratio            %.2f x\n", median(times[1]) / median(times[0]));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--empty") == 0) {
        QApplication app(argc, argv);
        QWidget window;
        window.resize(400, 300);
        window.show();
        return app.exec();
    }

    QCoreApplication app(argc, argv);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "bench_startup: no X display; run it under xvfb-run\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    QTemporaryDir home;
    const QString install = home.filePath(QStringLiteral("install"));
    QDir().mkpath(install + QStringLiteral("/data"));
    for (const char *name : {"/data/num1.db", "/data/num.db"})
        QFile::copy(QLatin1String(TestPaths::buildShareDir) + QLatin1String(name),
                    install + QLatin1String(name));
    QFile(install + QStringLiteral("/data/rv.db")).open(QIODevice::WriteOnly);
    QDir().mkpath(home.filePath(QStringLiteral("config")));
    QFile settings(home.filePath(QStringLiteral("config/kerravane.conf")));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write(QStringLiteral("%1=%2\n%3=no\n")
                       .arg(QLatin1String(AppInfo::installDirSetting), install,
                            QLatin1String(AppInfo::firstTimeSetting))
                       .toUtf8());
    settings.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

    const Program programs[] = {
        {"empty Qt window", QCoreApplication::applicationFilePath(), {QStringLiteral("--empty")}},
        {"Numbrill",
         qEnvironmentVariableIsSet("NUMBRILL_BENCH_PROGRAM")
             ? qEnvironmentVariable("NUMBRILL_BENCH_PROGRAM")
             : QLatin1String(TestPaths::binDir) + QStringLiteral("/numbrill"),
         {}},
    };
    const int runs = qEnvironmentVariableIsSet("NUMBRILL_BENCH_RUNS")
                         ? qEnvironmentVariableIntValue("NUMBRILL_BENCH_RUNS")
                         : 15;
    const bool busGiven = environment.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    std::printf("%s\n", busGiven ? "with the session bus given" : "without a session bus");
    if (!compare(connection, environment, programs, runs))
        return 1;

    if (busGiven)
        return 0;
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    if (bus.waitForReadyRead(5000)) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QString::fromLocal8Bit(bus.readLine().trimmed()));
        std::printf("\nwith a session bus of its own, as on a desktop\n");
        if (!compare(connection, environment, programs, runs))
            return 1;
    }
    bus.terminate();
    bus.waitForFinished(5000);
    xcb_disconnect(connection);
    return 0;
}
