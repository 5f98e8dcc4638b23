// The drill history's writer on its own, for tests/kill-during-append.sh.
//
//   drills_appender append DATA_DIR COUNT   appends results numbered on from those in
//                                           the history, printing each number once its
//                                           result is on the disk
//   drills_appender check DATA_DIR          loads the history and prints how many
//                                           results it holds; fails unless they are
//                                           numbered 1, 2, 3... with no line unreadable
#include "drills/DrillHistory.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;

    DrillHistory history;
    history.load(args.at(2));
    const QList<DrillLog::Result> &results = history.results();
    // A result's number is the digits it counts.
    for (qsizetype i = 0; i < results.size(); ++i) {
        if (results.at(i).digits != i + 1) {
            std::fprintf(stderr, "result %lld holds number %d\n", static_cast<long long>(i + 1),
                         results.at(i).digits);
            return 1;
        }
    }
    if (!history.loadProblem().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.loadProblem()));
        return 1;
    }
    if (args.at(1) == QLatin1String("check")) {
        std::printf("%lld\n", static_cast<long long>(results.size()));
        return 0;
    }

    const qsizetype count = args.size() > 3 ? args.at(3).toLongLong() : 1000;
    const qsizetype first = results.size() + 1;
    for (qsizetype n = first; n < first + count; ++n) {
        DrillLog::Result result;
        result.time = 1764582000000 + n * 1000;
        result.drill = DrillLog::Drill::Speed;
        result.rowLength = 40;
        result.allowed = 300000;
        result.milliseconds = 281000;
        result.digits = int(n);
        result.score = int(n / 2);
        QString error;
        if (!history.record(result, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        // Acknowledged: the result is on the disk.
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
    }
    return 0;
}
