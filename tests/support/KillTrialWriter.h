#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// The command line and the output of the writers that the kill trials
// (tests/kill-during-append.sh, tests/kill-during-image-save.sh) start and kill:
//     WRITER append DATA_DIR [COUNT]   (or save) writes COUNT times (1000 unless given),
//                                      printing the number of each write once it is
//                                      on the disk
//     WRITER check DATA_DIR            prints how many writes the file holds
// A writer first checks what the file holds, and fails with a message on stderr (exit
// status 1) when it is not what the writes acknowledged so far left; 2 means too few
// arguments.
class KillTrialWriter
{
public:
    explicit KillTrialWriter(QStringList arguments) : m_arguments(std::move(arguments)) {}

    bool valid() const { return m_arguments.size() >= 3; }
    bool checking() const { return m_arguments.at(1) == QLatin1String("check"); }
    QString dataDir() const { return m_arguments.at(2); }
    qsizetype count() const
    {
        return m_arguments.size() > 3 ? m_arguments.at(3).toLongLong() : 1000;
    }

    static int fail(const QString &message)
    {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    // What a check prints: how many writes the file holds.
    static int held(qsizetype count)
    {
        std::printf("%lld\n", static_cast<long long>(count));
        return 0;
    }
    // Write `n` is on the disk: the trial counts it from here on.
    static void acknowledge(qsizetype n)
    {
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
    }

private:
    QStringList m_arguments;
};
