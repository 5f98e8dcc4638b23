// The remembered numbers as the program keeps them, for tests/kill-during-append.sh:
// numbers are stored into a long list (generated at the first start) until the
// program is killed, and each one counts as stored once its store has ended. Every
// number acknowledged must come back, in order, however the kill met the journal and
// the saves of the whole list that go on beside the stores.
//
//   numbers_storer append DATA_DIR COUNT   stores numbers on from those held, printing
//                                          each once its store has ended
//   numbers_storer check DATA_DIR          prints how many numbers are held; fails
//                                          unless they are 1, 2, 3...
// NUMBRILL_TRIAL_ENTRIES sets the length of the generated list (20,000 unless set).
#include "KillTrialWriter.h"
#include "core/QuotedLineFile.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

const QString stored = QStringLiteral("kill trial ");

QString descriptionOf(qsizetype n)
{
    return stored + QStringLiteral("%1").arg(n, 9, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const KillTrialWriter trial(app.arguments());
    if (!trial.valid())
        return 2;
    const QString dataDir = trial.dataDir();
    if (!QFile::exists(RememberedFile::filePath(dataDir)) &&
        !QFile::exists(RememberedFile::workingCopyPath(dataDir))) {
        const qsizetype entries = qEnvironmentVariableIsSet("NUMBRILL_TRIAL_ENTRIES")
                                      ? qgetenv("NUMBRILL_TRIAL_ENTRIES").toLongLong()
                                      : 20000;
        QByteArray list;
        for (qsizetype i = 0; i < entries; ++i)
            list += "\"" + QByteArray::number(i) + ":entry " + QByteArray::number(i) +
                    ":meter tin\"\r\n";
        QString error;
        if (!QuotedLineFile::writeBytes(RememberedFile::filePath(dataDir), list, &error))
            return KillTrialWriter::fail(error);
    }

    RememberedNumbers numbers;
    numbers.setDataDir(dataDir);
    numbers.load();
    numbers.drain();
    if (numbers.model()->lastError().size() > 0 && !numbers.isLoaded())
        return KillTrialWriter::fail(numbers.model()->lastError());
    // The numbers stored, sorted by their descriptions.
    const RememberedList *list = numbers.model();
    const int first = list->findDescription(stored, 1, numbers.entryCount());
    qsizetype held = 0;
    for (int position = first; first > 0 && position <= numbers.entryCount(); ++position) {
        const RememberedEntry entry = numbers.entry(position);
        if (!entry.Description.startsWith(stored))
            break;
        ++held;
        if (entry.Value != QString::number(held) || entry.Description != descriptionOf(held))
            return KillTrialWriter::fail(
                QStringLiteral("number %1 reads as %2").arg(held).arg(entry.Value));
    }
    if (trial.checking()) {
        numbers.setDiscarded(true);
        return KillTrialWriter::held(held);
    }

    const qsizetype count = trial.count();
    QObject::connect(&numbers, &RememberedNumbers::saved, [](bool saved, const QString &error) {
        if (!saved)
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    for (qsizetype n = held + 1; n <= held + count; ++n) {
        const int before = numbers.entryCount();
        numbers.store({QString::number(n), descriptionOf(n), QStringLiteral(" tin")});
        // The store has ended, its number in the journal, once the row is there; the
        // saves of the whole list go on meanwhile.
        while (numbers.entryCount() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        KillTrialWriter::acknowledge(n);
        QCoreApplication::processEvents();
    }
    numbers.drain();
    return 0;
}
