#pragma once

#include <QString>

// The program's two settings (installation folder, first start) live as text values
// under one key of the current user: in the Windows registry, elsewhere in a small
// `name=value` file below the user's configuration folder. Every call opens, does its
// one access and closes, so nothing is cached between calls and a write from another
// program is seen at the next read.
namespace Registry {

// What a read gives when the value cannot be delivered: no such key or value, not
// text, or longer than maxValueLength.
inline constexpr char unknownValue[] = "Unknown";

// The longest value a read delivers.
inline constexpr qsizetype maxValueLength = 254;

// The text of `name` under `keyPath` (such as "software\kerravane"), or unknownValue.
QString GetRegValue(const QString &keyPath, const QString &name);

// Stores `value` as `name` under `keyPath`, creating the key when needed. Failures are
// silent: the caller has nothing sensible to tell the user.
void SetRegValue(const QString &keyPath, const QString &name, const QString &value);

// Where the values under `keyPath` are kept, in a form to show the user: the settings
// file, or the registry key's full name. Empty for a key path that cannot be stored.
QString location(const QString &keyPath);

} // namespace Registry
