#include "settings/Installation.h"

#include "core/AppInfo.h"
#include "settings/Registry.h"

#include <QDir>

namespace Installation {

QString dataFolder()
{
    const QString folder = Registry::GetRegValue(QLatin1String(AppInfo::settingsPath),
                                                 QLatin1String(AppInfo::installDirSetting));
    if (folder.isEmpty() || folder == QLatin1String(Registry::unknownValue) ||
        QDir::isRelativePath(folder))
        return {};
    return folder + QStringLiteral("/data");
}

} // namespace Installation
