#include "core/CommandLine.h"

#include <QTextStream>

#include <cstdio>
CommandLine::CommandLine(const QString &program, const QString &version, const QString &description,
                         const QString &synopsis)
    : m_program(program), m_version(version), m_description(description), m_synopsis(synopsis)
{
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
}

QString CommandLine::usage() const
{
    // QCommandLineParser's own help text needs an application object, which the
    // program with windows does not have yet.
    return QStringLiteral("Usage: %1 [OPTIONS]%2%3\n\n%4\n\nOptions:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the version and exit.\n\n"
                          "See also: man %1\n")
        .arg(m_program, m_synopsis.isEmpty() ? QString() : QStringLiteral(" "), m_synopsis,
             m_description);
}

std::optional<int> CommandLine::parse(const QStringList &arguments, qsizetype maxPositional)
{
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    m_parser.addOption(help);
    m_parser.addOption(version);

    QTextStream err(stderr);
    const auto refuse = [&](const QString &problem) {
        err << m_program << ": " << problem << "\n"
            << "Try '" << m_program << " --help' for more information.\n";
        return 2;
    };
    if (!m_parser.parse(arguments)) {
        if (!m_parser.unknownOptionNames().isEmpty()) {
            const QString name = m_parser.unknownOptionNames().first();
            return refuse(
                QStringLiteral("unknown option '%1%2'")
                    .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        }
        return refuse(m_parser.errorText());
    }
    QTextStream out(stdout);
    if (m_parser.isSet(help)) {
        out << usage();
        return 0;
    }
    if (m_parser.isSet(version)) {
        out << m_program << ' ' << m_version << '\n';
        return 0;
    }
    if (m_parser.positionalArguments().size() > maxPositional)
        return refuse(QStringLiteral("unexpected argument '%1'")
                          .arg(m_parser.positionalArguments().at(maxPositional)));
    return std::nullopt;
}

QStringList CommandLine::argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}
