// The recall history's writer on its own, for tests/kill-during-append.sh.
//
//   recall_appender append DATA_DIR COUNT   appends answers numbered on from those in
//                                           the log, printing each number once its
//                                           answer is on the disk
//   recall_appender check DATA_DIR          loads the log and prints how many answers
//                                           it holds; fails unless they are numbered
//                                           1, 2, 3... with no line unreadable
#include "recall/RecallHistory.h"
#include "recall/RecallLog.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString dataDir = args.at(2);

    RecallHistory history;
    history.startLoading(dataDir);
    history.settle();
    const QList<RecallLog::Record> &answers = history.log().records;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const QString number = history.log().answer(i).number;
        if (number != QString::number(i + 1)) {
            std::fprintf(stderr, "answer %lld holds number %s\n", static_cast<long long>(i + 1),
                         qPrintable(number));
            return 1;
        }
    }
    if (!history.loadProblem().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(history.loadProblem()));
        return 1;
    }
    if (args.at(1) == QLatin1String("check")) {
        std::printf("%lld\n", static_cast<long long>(answers.size()));
        return 0;
    }

    const qsizetype count = args.size() > 3 ? args.at(3).toLongLong() : 1000;
    const qsizetype first = answers.size() + 1;
    for (qsizetype n = first; n < first + count; ++n) {
        RecallLog::Answer answer;
        answer.time = 1764582000000 + n * 1000;
        answer.grade = Fsrs::Grade::Good;
        answer.milliseconds = 1234;
        answer.right = true;
        answer.number = QString::number(n);
        answer.description = QStringLiteral("answer %1 of the kill trial").arg(n);
        QString error;
        if (!history.record(answer, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        // Acknowledged: the answer is on the disk.
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
    }
    return 0;
}
