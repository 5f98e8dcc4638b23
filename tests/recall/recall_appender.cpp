// The recall history's writer on its own, for tests/kill-during-append.sh.
//
//   recall_appender append DATA_DIR COUNT   appends answers numbered on from those in
//                                           the log, printing each number once its
//                                           answer is on the disk
//   recall_appender check DATA_DIR          loads the log and prints how many answers
//                                           it holds; fails unless they are numbered
//                                           1, 2, 3... with no line unreadable
#include "KillTrialWriter.h"
#include "recall/RecallHistory.h"
#include "recall/RecallLog.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const KillTrialWriter trial(app.arguments());
    if (!trial.valid())
        return 2;

    RecallHistory history;
    history.startLoading(trial.dataDir());
    history.settle();
    const QList<RecallLog::Record> &answers = history.log().records;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const QString number = history.log().answer(i).number;
        if (number != QString::number(i + 1))
            return KillTrialWriter::fail(
                QStringLiteral("answer %1 holds number %2").arg(i + 1).arg(number));
    }
    if (!history.loadProblem().isEmpty())
        return KillTrialWriter::fail(history.loadProblem());
    if (trial.checking())
        return KillTrialWriter::held(answers.size());

    const qsizetype first = answers.size() + 1;
    for (qsizetype n = first; n < first + trial.count(); ++n) {
        RecallLog::Answer answer;
        answer.time = 1764582000000 + n * 1000;
        answer.grade = Fsrs::Grade::Good;
        answer.milliseconds = 1234;
        answer.right = true;
        answer.number = QString::number(n);
        answer.description = QStringLiteral("answer %1 of the kill trial").arg(n);
        QString error;
        if (!history.record(answer, &error))
            return KillTrialWriter::fail(error);
        KillTrialWriter::acknowledge(n);
    }
    return 0;
}
