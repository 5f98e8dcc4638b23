#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: a scratch folder for the files a parser reads, and a
// way to report a broken property so that libFuzzer keeps the input as a crash.
namespace FuzzSupport {

// A folder of this process, reused by every run of the target.
inline const QString &scratchDir()
{
    static QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: cannot create a temporary folder: %s\n",
                     qPrintable(dir.errorString()));
        std::abort();
    }
    static const QString path = dir.path();
    return path;
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline void writeFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        std::abort();
    }
}

// Reports a property the input broke and stops the run; libFuzzer saves the input.
[[noreturn]] inline void fail(const char *property, const QString &detail = {})
{
    std::fprintf(stderr, "\n*** %s\n", property);
    if (!detail.isEmpty())
        std::fprintf(stderr, "*** %s\n", detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

// Text for a report: control characters and quotes made visible.
inline QString visible(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == u'"' || c == u'\\')
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return u'"' + out + u'"';
}

} // namespace FuzzSupport
