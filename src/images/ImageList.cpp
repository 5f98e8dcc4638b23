#include "images/ImageList.h"

#include "core/Cp1252.h"
#include "core/PlainNumber.h"
#include "core/QuotedLineFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr QByteArrayView header = "numbrill images 1";
constexpr QByteArrayView threeDigitsSetting = "threedigits:";
constexpr QByteArrayView endMark = "end:";

QString tr(const char *text)
{
    return QCoreApplication::translate("ImageList", text);
}

// The field of a line that is one quoted field and nothing else.
bool quotedField(QByteArrayView line, QByteArrayView *field)
{
    if (line.size() < 2 || !line.startsWith('"') || !line.endsWith('"'))
        return false;
    *field = line.sliced(1, line.size() - 2);
    return !field->contains('"');
}

bool isDigits(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

QStringList ImageList::keys(int digits)
{
    QStringList result;
    if (digits < 1 || digits > 3)
        return result;
    const int first = digits == 1 ? 0 : digits == 2 ? 10 : 110;
    const int count = digits == 1 ? 10 : digits == 2 ? 100 : 1000;
    result.reserve(count);
    for (int slot = first; slot < first + count; ++slot)
        result.append(keyOf(slot));
    return result;
}

bool ImageList::isKey(QStringView key)
{
    return slotOf(key) >= 0;
}

int ImageList::slotOf(QStringView key)
{
    const int number = PlainNumber::read(key, 3);
    if (number < 0)
        return -1;
    return key.size() == 1 ? number : key.size() == 2 ? 10 + number : 110 + number;
}

QString ImageList::keyOf(int slot)
{
    if (slot < 10)
        return QString::number(slot);
    if (slot < 110)
        return QStringLiteral("%1").arg(slot - 10, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1").arg(slot - 110, 3, 10, QLatin1Char('0'));
}

QString ImageList::image(const QString &key) const
{
    const int slot = slotOf(key);
    return slot < 0 ? QString() : m_images[size_t(slot)];
}

void ImageList::setImage(const QString &key, const QString &word)
{
    const int slot = slotOf(key);
    if (slot >= 0)
        m_images[size_t(slot)] = word;
}

int ImageList::size() const
{
    return int(std::count_if(m_images.cbegin(), m_images.cend(),
                             [](const QString &word) { return !word.isEmpty(); }));
}

bool ImageList::canHold(QStringView word)
{
    return QuotedLineFile::canWrite(word);
}

QString ImageList::fileName()
{
    return QStringLiteral("images.db");
}

QString ImageList::filePath(const QString &dataDir)
{
    return QDir(dataDir).filePath(fileName());
}

ImageList::LoadResult ImageList::load(const QString &dataDir)
{
    if (dataDir.isEmpty()) {
        *this = ImageList();
        return {};
    }
    return loadFile(filePath(dataDir));
}

ImageList::LoadResult ImageList::loadFile(const QString &path)
{
    *this = ImageList();
    LoadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        result.status = LoadStatus::Unreadable;
        result.problem =
            tr("Could not read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    QString problem;
    result.status = parse(bytes, &problem);
    if (result.status != LoadStatus::Loaded)
        result.problem = tr("%1, %2").arg(QDir::toNativeSeparators(path), problem);
    return result;
}

ImageList::LoadStatus ImageList::parse(QByteArrayView bytes, QString *problem)
{
    *this = ImageList();
    // Only the first problem is told; every line that can be read is kept.
    QString first;
    const auto damaged = [&first](qsizetype line, const QString &why) {
        if (first.isEmpty())
            first = tr("line %1: %2").arg(line).arg(why);
    };

    if (bytes.isEmpty())
        damaged(1, tr("the file is empty"));
    qsizetype lineNumber = 0;
    int previousSlot = -1;
    int imageLines = 0;
    bool ended = false;
    while (!bytes.isEmpty()) {
        ++lineNumber;
        // CR LF, LF or a lone CR ends a line; a line without an end was cut short.
        const auto end =
            std::find_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
        if (end == bytes.end()) {
            damaged(lineNumber, tr("the file is cut short"));
            break;
        }
        const qsizetype lineEnd = end - bytes.begin();
        const QByteArrayView line = bytes.first(lineEnd);
        const qsizetype next = lineEnd + (bytes.at(lineEnd) == '\r' && lineEnd + 1 < bytes.size() &&
                                                  bytes.at(lineEnd + 1) == '\n'
                                              ? 2
                                              : 1);
        bytes = bytes.sliced(next);

        QByteArrayView field;
        const bool quoted = quotedField(line, &field);
        if (lineNumber == 1) {
            if (!quoted || field != header) {
                *this = ImageList();
                if (problem)
                    *problem = tr("line 1: not a list of images");
                return LoadStatus::Unreadable;
            }
            continue;
        }
        if (ended) {
            damaged(lineNumber, tr("lines after the end"));
            break;
        }
        if (!quoted) {
            damaged(lineNumber, tr("not a quoted field"));
            continue;
        }
        if (lineNumber == 2) {
            if (field.startsWith(threeDigitsSetting)) {
                const QByteArrayView shown = field.sliced(threeDigitsSetting.size());
                m_threeDigitKeysShown = shown == QByteArrayView("yes");
                if (!m_threeDigitKeysShown && shown != QByteArrayView("no"))
                    damaged(lineNumber, tr("the threedigits setting is neither yes nor no"));
                continue;
            }
            // Read on as an image line.
            damaged(lineNumber, tr("the threedigits setting is missing"));
        }
        if (field.startsWith(endMark)) {
            ended = true;
            const QByteArrayView count = field.sliced(endMark.size());
            if (count.isEmpty() || count.size() > 4 || !isDigits(count) ||
                (count.size() > 1 && count.startsWith('0')) || count.toInt() != imageLines)
                damaged(lineNumber, tr("the count at the end does not match"));
            continue;
        }
        const qsizetype colon = field.indexOf(':');
        const QByteArrayView key = colon < 0 ? field : field.first(colon);
        const int slot = colon < 0 ? -1 : slotOf(Cp1252::decode(key));
        if (slot < 0 || colon + 1 == field.size()) {
            damaged(lineNumber, tr("not a key and its word"));
            continue;
        }
        if (slot <= previousSlot) {
            damaged(lineNumber, tr("a key out of order or repeated"));
            continue;
        }
        previousSlot = slot;
        ++imageLines;
        m_images[size_t(slot)] = Cp1252::decode(field.sliced(colon + 1));
    }
    if (!ended)
        damaged(lineNumber + 1, tr("the file is cut short"));
    if (problem)
        *problem = first;
    return first.isEmpty() ? LoadStatus::Loaded : LoadStatus::Damaged;
}

QByteArray ImageList::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(32 * keyCount);
    const auto line = [&bytes](QByteArrayView field) {
        bytes += '"';
        bytes += field;
        bytes += "\"\r\n";
    };
    line(header);
    line(threeDigitsSetting.toByteArray() + (m_threeDigitKeysShown ? "yes" : "no"));
    int written = 0;
    for (int slot = 0; slot < keyCount; ++slot) {
        const QString &word = m_images[size_t(slot)];
        if (word.isEmpty())
            continue;
        line(keyOf(slot).toLatin1() + ':' + Cp1252::encode(word));
        ++written;
    }
    line(endMark.toByteArray() + QByteArray::number(written));
    return bytes;
}

bool ImageList::save(const QString &dataDir, QString *error) const
{
    if (dataDir.isEmpty()) {
        if (error)
            *error = tr("No data folder is set for your images.");
        return false;
    }
    const QString path = filePath(dataDir);
    const auto unwritable = std::find_if(m_images.cbegin(), m_images.cend(),
                                         [](const QString &word) { return !canHold(word); });
    QString reason;
    if (unwritable != m_images.cend())
        reason = QuotedLineFile::unwritableError(*unwritable);
    else if (QuotedLineFile::writeBytes(path, toBytes(), &reason))
        return true;
    if (error)
        *error = tr("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

void ImageList::removeStaleTemporaries(const QString &dataDir)
{
    QuotedLineFile::removeLeftovers(dataDir, {fileName()});
}
