#include "settings/Registry.h"
#include "settings/win32_registry.h"

// On Windows the settings are real registry values below HKEY_CURRENT_USER.

namespace Registry {

static_assert(Win32Registry::maxTextLength == static_cast<std::size_t>(maxValueLength));

QString GetRegValue(const QString &keyPath, const QString &name)
{
    const std::optional<std::wstring> text =
        Win32Registry::readText(keyPath.toStdWString(), name.toStdWString());
    return text ? QString::fromStdWString(*text) : QString::fromLatin1(unknownValue);
}

void SetRegValue(const QString &keyPath, const QString &name, const QString &value)
{
    Win32Registry::writeText(keyPath.toStdWString(), name.toStdWString(), value.toStdWString());
}

QString location(const QString &keyPath)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + keyPath;
}

} // namespace Registry
