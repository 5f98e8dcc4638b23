#include "settings/Installation.h"

#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// An absolute folder recorded under `name`, or an empty text.
QString recordedFolder(const char *name)
{
    const QString folder =
        Registry::GetRegValue(QLatin1String(AppInfo::settingsPath), QLatin1String(name));
    if (folder.isEmpty() || folder == QLatin1String(Registry::unknownValue) ||
        QDir::isRelativePath(folder))
        return {};
    return folder;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Installation", text);
}

} // namespace

namespace Installation {

QString dictionaryFolder()
{
    const QString folder = recordedFolder(AppInfo::installDirSetting);
    return folder.isEmpty() ? folder : folder + QStringLiteral("/data");
}

QString dataFolder()
{
    const QString own = recordedFolder(AppInfo::dataDirSetting);
    return own.isEmpty() ? dictionaryFolder() : QDir::fromNativeSeparators(own);
}

QString dataFolderProblem()
{
    const QString folder = dataFolder();
    if (folder.isEmpty())
        return {};
    const QFileInfo info(folder);
    const bool usable = info.isDir() ? info.isWritable() : QDir().mkpath(folder);
    if (usable)
        return {};
    return tr("Your remembered numbers are kept in %1, but that folder cannot be written. "
              "Numbers you store now are kept until Numbrill ends; nothing in the folder is "
              "changed. Make the folder writable, or change datadir in %2.")
        .arg(QDir::toNativeSeparators(folder),
             Registry::location(QLatin1String(AppInfo::settingsPath)));
}

QString perUserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/numbrill");
}

QString ownFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" NUMBRILL_BIN_TO_SHARE));
}

bool systemWide()
{
    return NUMBRILL_SYSTEM_INSTALL;
}

QString registerAt(const QString &installDir, bool perUser)
{
    const QString key = QLatin1String(AppInfo::settingsPath);
    const QDir installed(installDir + QStringLiteral("/data"));
    if (!installed.exists())
        return tr("%1 does not exist").arg(QDir::toNativeSeparators(installed.path()));

    const QString nativeInstall = QDir::toNativeSeparators(installDir);
    Registry::SetRegValue(key, QLatin1String(AppInfo::installDirSetting), nativeInstall);
    if (Registry::GetRegValue(key, QLatin1String(AppInfo::installDirSetting)) != nativeInstall)
        return tr("cannot store the installation folder in the settings");

    // A data folder already recorded holds the user's list and stays; without one, an
    // installation the user can write keeps the data beside the dictionary, as it
    // always did, and records nothing more.
    if (recordedFolder(AppInfo::dataDirSetting).isEmpty() &&
        (perUser || !QFileInfo(installed.path()).isWritable())) {
        const QString nativeData = QDir::toNativeSeparators(perUserDataFolder());
        Registry::SetRegValue(key, QLatin1String(AppInfo::dataDirSetting), nativeData);
        if (Registry::GetRegValue(key, QLatin1String(AppInfo::dataDirSetting)) != nativeData)
            return tr("cannot store the data folder in the settings");
    }
    const QString dataDir = dataFolder();
    if (!QDir().mkpath(dataDir))
        return tr("cannot create %1").arg(QDir::toNativeSeparators(dataDir));

    const QString list = QDir(dataDir).filePath(QStringLiteral("rv.db"));
    if (!QFile::exists(list)) {
        QFile file(list);
        // NewOnly: should a list appear meanwhile, it is left alone.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !QFile::exists(list))
            return tr("cannot create %1: %2")
                .arg(QDir::toNativeSeparators(list), file.errorString());
    }
    return {};
}

} // namespace Installation
