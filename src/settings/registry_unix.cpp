#include "settings/Registry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <optional>

// Without a registry, a key "software\<a>\<b>" is the file "<a>/<b>.conf" below the
// user's configuration folder, holding one `name=value` line per value in UTF-8.
// Lines this code does not understand belong to someone else and survive every write.

namespace {

constexpr QLatin1StringView keyRoot("software\\");
constexpr QByteArrayView utf8Bom("\xEF\xBB\xBF");

QString configFolder()
{
    // A relative XDG_CONFIG_HOME would make the file depend on the working folder;
    // the XDG rules say to ignore it then.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        return QDir::homePath() + QLatin1StringView("/.config");
    return folder;
}

// The file for a key path, or nothing when the path could reach outside the
// configuration folder or name something other than a plain file below it.
std::optional<QString> fileForKey(const QString &keyPath)
{
    if (!keyPath.startsWith(keyRoot, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringList parts = keyPath.sliced(keyRoot.size()).split(u'\\');
    for (const QString &part : parts) {
        if (part.isEmpty() || part == u"." || part == u".." || part.contains(u'/') ||
            part.contains(QChar::Null))
            return std::nullopt;
    }
    return configFolder() + u'/' + parts.join(u'/') + QLatin1StringView(".conf");
}

bool isStorableName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'=') && !name.contains(u'\n') &&
           !name.contains(u'\r') && !name.contains(QChar::Null) && name.isValidUtf16();
}

bool isStorableValue(const QString &value)
{
    // A NUL would not survive the registry either, and a lone surrogate has no UTF-8
    // form: storing them would read back something else.
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar::Null) &&
           value.isValidUtf16();
}

QString unknown()
{
    return QString::fromLatin1(Registry::unknownValue);
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    // Stateless, so that a sequence cut off at the end is an error rather than left
    // pending; and a leading U+FEFF is part of the text here, not a byte order mark.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The lines of a settings file as stored, so that a rewrite can give back every
// line it did not change byte for byte.
struct SettingsFile
{
    QByteArray bom;
    QList<QByteArray> lines;
    bool endsWithNewline = false;

    static SettingsFile parse(QByteArray bytes)
    {
        SettingsFile file;
        if (bytes.startsWith(utf8Bom)) {
            file.bom = utf8Bom.toByteArray();
            bytes.remove(0, utf8Bom.size());
        }
        if (bytes.isEmpty())
            return file;
        file.endsWithNewline = bytes.endsWith('\n');
        if (file.endsWithNewline)
            bytes.chop(1);
        file.lines = bytes.split('\n');
        return file;
    }

    QByteArray serialize() const
    {
        QByteArray bytes = bom + lines.join('\n');
        if (!lines.isEmpty() && endsWithNewline)
            bytes += '\n';
        return bytes;
    }

    // The index of the line that holds `name`: the last one, as that is the one
    // a read returns.
    qsizetype lastLineOf(const QString &name) const
    {
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            const qsizetype equals = lines.at(i).indexOf('=');
            if (equals < 0)
                continue;
            const std::optional<QString> lineName = decodeUtf8(lines.at(i).first(equals));
            if (lineName && lineName->compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QByteArrayView valueAt(qsizetype index) const
    {
        QByteArrayView line = lines.at(index);
        if (line.endsWith('\r'))
            line.chop(1);
        return line.sliced(line.indexOf('=') + 1);
    }
};

// The bytes of the file, an empty array when there is no file, nothing when it
// exists but cannot be read: a write must not replace a file it could not read.
std::optional<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.exists() ? std::nullopt : std::optional<QByteArray>(QByteArray());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

namespace Registry {

QString GetRegValue(const QString &keyPath, const QString &name)
{
    const std::optional<QString> path = fileForKey(keyPath);
    if (!path || !isStorableName(name))
        return unknown();
    const std::optional<QByteArray> bytes = readBytes(*path);
    if (!bytes)
        return unknown();

    const SettingsFile file = SettingsFile::parse(*bytes);
    const qsizetype index = file.lastLineOf(name);
    if (index < 0)
        return unknown();
    const std::optional<QString> value = decodeUtf8(file.valueAt(index));
    if (!value || value->size() > maxValueLength)
        return unknown();
    return *value;
}

void SetRegValue(const QString &keyPath, const QString &name, const QString &value)
{
    const std::optional<QString> path = fileForKey(keyPath);
    if (!path || !isStorableName(name) || !isStorableValue(value))
        return;
    const std::optional<QByteArray> bytes = readBytes(*path);
    if (!bytes)
        return;

    SettingsFile file = SettingsFile::parse(*bytes);
    const qsizetype index = file.lastLineOf(name);
    if (index < 0) {
        file.lines.append(name.toUtf8() + '=' + value.toUtf8());
    } else {
        // Keep the spelling already stored: names are the same whatever their case.
        QByteArray &line = file.lines[index];
        line = line.first(line.indexOf('=') + 1) + value.toUtf8();
    }
    file.endsWithNewline = true;

    if (!QDir().mkpath(QFileInfo(*path).absolutePath()))
        return;
    QSaveFile out(*path);
    const QByteArray text = file.serialize();
    if (out.open(QIODevice::WriteOnly) && out.write(text) == text.size())
        out.commit();
}

QString location(const QString &keyPath)
{
    return QDir::toNativeSeparators(fileForKey(keyPath).value_or(QString()));
}

} // namespace Registry
