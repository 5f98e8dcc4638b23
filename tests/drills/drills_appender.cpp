// The drill history's writer on its own, for tests/kill-during-append.sh.
//
//   drills_appender append DATA_DIR COUNT   appends results numbered on from those in
//                                           the history, printing each number once its
//                                           result is on the disk
//   drills_appender check DATA_DIR          loads the history and prints how many
//                                           results it holds; fails unless they are
//                                           numbered 1, 2, 3... with no line unreadable
#include "KillTrialWriter.h"
#include "drills/DrillHistory.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const KillTrialWriter trial(app.arguments());
    if (!trial.valid())
        return 2;

    DrillHistory history;
    history.load(trial.dataDir());
    const QList<DrillLog::Result> &results = history.results();
    // A result's number is the digits it counts.
    for (qsizetype i = 0; i < results.size(); ++i) {
        if (results.at(i).digits != i + 1)
            return KillTrialWriter::fail(
                QStringLiteral("result %1 holds number %2").arg(i + 1).arg(results.at(i).digits));
    }
    if (!history.loadProblem().isEmpty())
        return KillTrialWriter::fail(history.loadProblem());
    if (trial.checking())
        return KillTrialWriter::held(results.size());

    const qsizetype first = results.size() + 1;
    for (qsizetype n = first; n < first + trial.count(); ++n) {
        DrillLog::Result result;
        result.time = 1764582000000 + n * 1000;
        result.drill = DrillLog::Drill::Speed;
        result.rowLength = 40;
        result.allowed = 300000;
        result.milliseconds = 281000;
        result.digits = int(n);
        result.score = int(n / 2);
        QString error;
        if (!history.record(result, &error))
            return KillTrialWriter::fail(error);
        KillTrialWriter::acknowledge(n);
    }
    return 0;
}
