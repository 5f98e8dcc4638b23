#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// What the three programs share on the command line: --help and --version answered
// on standard output, and an unknown option or a stray argument refused with a
// message on standard error and exit status 2. Works before any application object
// exists, so that the program with windows can answer without a display.
class CommandLine
{
public:
    // `synopsis` is the usage line after the program's name, such as "[INSTALLDIR]".
    CommandLine(const QString &program, const QString &version, const QString &description,
                const QString &synopsis);

    QCommandLineParser &parser() { return m_parser; }

    // Parses `arguments` (the program's name first). Returns the exit status when the
    // program should end here, after it printed what was asked for; nothing when it
    // should go on, with at most `maxPositional` arguments left for it.
    std::optional<int> parse(const QStringList &arguments, qsizetype maxPositional);

    static QStringList argumentsOf(int argc, char *argv[]);

private:
    QString usage() const;

    QCommandLineParser m_parser;
    QString m_program;
    QString m_version;
    QString m_description;
    QString m_synopsis;
};
