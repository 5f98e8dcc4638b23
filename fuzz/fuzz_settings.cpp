// The settings file on any bytes, read through the settings store and then written
// to: reads deliver one line or "Unknown", a write is read back, and a write changes
// no other value of the file.
#include "FuzzSupport.h"
#include "settings/Registry.h"

#include <QDir>
#include <QList>
#include <QPair>

#include <cstdlib>

namespace {

const QString keyPath = QStringLiteral("software\\kerravane");

QString settingsFile()
{
    return FuzzSupport::scratchDir() + QLatin1String("/kerravane.conf");
}

// The names the file mentions (the text before '=' of each line), and the two the
// program uses.
QStringList namesIn(const QByteArray &bytes)
{
    QStringList names{QStringLiteral("instaldir"), QStringLiteral("firsttime")};
    for (const QByteArray &line : bytes.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && names.size() < 32)
            names.append(QString::fromUtf8(line.left(equals)));
    }
    names.removeDuplicates();
    return names;
}

void checkDelivered(const QString &name, const QString &value)
{
    if (value.size() > Registry::maxValueLength || value.contains(u'\n'))
        FuzzSupport::fail("settings: a read delivered an impossible value",
                          FuzzSupport::visible(name) + QLatin1String(" = ") +
                              FuzzSupport::visible(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool redirected = [] {
        return ::setenv("XDG_CONFIG_HOME", qPrintable(FuzzSupport::scratchDir()), 1) == 0;
    }();
    if (!redirected)
        FuzzSupport::fail("settings: cannot redirect the configuration folder");

    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    FuzzSupport::writeFile(settingsFile(), bytes);

    const QStringList names = namesIn(bytes);
    QList<QPair<QString, QString>> before;
    for (const QString &name : names) {
        const QString value = Registry::GetRegValue(keyPath, name);
        checkDelivered(name, value);
        before.append({name, value});
    }

    // Write each kind of value the program stores: plain, empty, and beyond ASCII.
    for (const QString &value : {QStringLiteral("no"), QString(), QStringLiteral("C:\\é€ x")}) {
        Registry::SetRegValue(keyPath, QStringLiteral("firsttime"), value);
        const QString read = Registry::GetRegValue(keyPath, QStringLiteral("firsttime"));
        if (read != value)
            FuzzSupport::fail("settings: a written value did not read back",
                              FuzzSupport::visible(value) + QLatin1String(" -> ") +
                                  FuzzSupport::visible(read));
        for (const auto &[name, old] : std::as_const(before)) {
            if (name.compare(QLatin1String("firsttime"), Qt::CaseInsensitive) == 0)
                continue;
            const QString now = Registry::GetRegValue(keyPath, name);
            if (now != old)
                FuzzSupport::fail("settings: writing firsttime changed another value",
                                  FuzzSupport::visible(name) + QLatin1String(": ") +
                                      FuzzSupport::visible(old) + QLatin1String(" -> ") +
                                      FuzzSupport::visible(now));
        }
    }
    return 0;
}
