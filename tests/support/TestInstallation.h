#pragma once

#include "TestPaths.h"
#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A temporary installation with the small fixture dictionary, registered in the
// test's private settings, for tests that start real windows.
class TestInstallation
{
public:
    explicit TestInstallation(const QByteArray &rememberedNumbers = {}, bool withDictionary = true)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        if (withDictionary) {
            const QString fixture =
                QString::fromUtf8(TestPaths::dataDir) + QStringLiteral("/dictionary/data/");
            for (const char *name : {"num1.db", "num.db"})
                QFile::copy(fixture + QLatin1String(name), dataFile(QLatin1String(name)));
        }
        if (!rememberedNumbers.isNull())
            write(QStringLiteral("rv.db"), rememberedNumbers);
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                              QLatin1String(AppInfo::installDirSetting), m_dir.path());
        // The list lives beside the dictionary, whatever an earlier test recorded.
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                              QLatin1String(AppInfo::dataDirSetting), QString());
        // Not a first start: no notice to wait for.
        Registry::SetRegValue(QLatin1String(AppInfo::settingsPath),
                              QLatin1String(AppInfo::firstTimeSetting), QStringLiteral("no"));
    }

    QString path() const { return m_dir.path(); }
    QString dataFile(const QString &name) const
    {
        return m_dir.filePath(QStringLiteral("data/") + name);
    }

    QByteArray read(const QString &name) const
    {
        QFile file(dataFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dataFile(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir m_dir;
};
