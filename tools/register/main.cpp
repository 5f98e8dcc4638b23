// numbrill-register: tells the program where it is installed.
//
//   numbrill-register [INSTALLDIR]
//
// Writes the installation folder into the user's settings and gives the user an
// empty list of remembered numbers if they have none yet. An existing list is never
// touched. INSTALLDIR defaults to the folder this program was installed with.

#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() > 1 || (args.size() == 1 && args.first().startsWith(u'-'))) {
        err << "usage: numbrill-register [INSTALLDIR]\n";
        return 2;
    }

    const QString given = args.isEmpty() ? QCoreApplication::applicationDirPath() +
                                               QLatin1String("/" NUMBRILL_BIN_TO_SHARE)
                                         : args.first();
    const QString installDir = QDir::cleanPath(QDir(given).absolutePath());
    QDir dataDir(installDir + QLatin1String("/data"));
    if (!dataDir.exists()) {
        err << "numbrill-register: " << dataDir.path() << " does not exist\n";
        return 1;
    }

    Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                          QLatin1String(AppInfo::installDirSetting),
                          QDir::toNativeSeparators(installDir));
    if (Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                              QLatin1String(AppInfo::installDirSetting)) !=
        QDir::toNativeSeparators(installDir)) {
        err << "numbrill-register: cannot store the installation folder in the settings\n";
        return 1;
    }

    const QString list = dataDir.filePath(QStringLiteral("rv.db"));
    if (!QFile::exists(list)) {
        QFile file(list);
        // NewOnly: should a list appear meanwhile, it is left alone.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !QFile::exists(list)) {
            err << "numbrill-register: cannot create " << list << ": " << file.errorString()
                << '\n';
            return 1;
        }
    }

    QTextStream(stdout) << "Numbrill is registered at " << QDir::toNativeSeparators(installDir)
                        << '\n';
    return 0;
}
