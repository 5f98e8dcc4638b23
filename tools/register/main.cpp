// numbrill-register: tells the program where it is installed.
//
//   numbrill-register [INSTALLDIR]
//
// Writes the installation folder into the user's settings and gives the user an
// empty list of remembered numbers if they have none yet. An existing list is never
// touched. INSTALLDIR defaults to the folder this program was installed with.

#include "core/CommandLine.h"
#include "settings/Installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine commandLine(
        QStringLiteral("numbrill-register"), QStringLiteral(NUMBRILL_VERSION),
        QStringLiteral("Records the Numbrill installation in INSTALLDIR (by default the one this\n"
                       "program belongs to) in your settings, and gives you an empty list of\n"
                       "remembered numbers if you have none yet."),
        QStringLiteral("[INSTALLDIR]"));
    if (const std::optional<int> status = commandLine.parse(app.arguments(), 1))
        return *status;
    const QStringList args = commandLine.parser().positionalArguments();

    const QString given = args.isEmpty() ? Installation::ownFolder() : args.first();
    const QString installDir = QDir::cleanPath(QDir(given).absolutePath());
    const QString problem = Installation::registerAt(installDir, Installation::systemWide());
    if (!problem.isEmpty()) {
        QTextStream(stderr) << "numbrill-register: " << problem << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << "Numbrill is registered at " << QDir::toNativeSeparators(installDir) << '\n';
    if (Installation::dataFolder() != Installation::dictionaryFolder())
        out << "Your data lives in " << QDir::toNativeSeparators(Installation::dataFolder())
            << '\n';
    return 0;
}
