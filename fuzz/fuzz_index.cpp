// The block index "num.db" on any bytes.
#include "FuzzSupport.h"
#include "dictionary/Dictionary.h"

#include <QDir>

#include <optional>

namespace {

// The position a line of the index gives when it is written the way the index is
// written: a number of up to nine digits in quotes. Nothing for any other line.
std::optional<qint32> plainPosition(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() < 3 || line.size() > 11 || !line.startsWith('"') || !line.endsWith('"'))
        return std::nullopt;
    qint32 position = 0;
    for (const char c : line.sliced(1, line.size() - 2)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        position = position * 10 + (c - '0');
    }
    return position;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString installDir = FuzzSupport::scratchDir();
    QDir().mkpath(installDir + QLatin1String("/data"));
    Dictionary dictionary(installDir);
    FuzzSupport::writeFile(dictionary.indexFilePath(), FuzzSupport::bytesOf(data, size));
    // No word file: a lookup through any index must find nothing and stop there.
    QFile::remove(dictionary.wordFilePath());

    dictionary.loadIndex();
    const Dictionary::BlockIndex &index = dictionary.blockIndex();
    for (int slot = 0; slot < Dictionary::slotCount; ++slot) {
        if (index[slot] < 0)
            FuzzSupport::fail("index: a negative position was loaded",
                              QString::number(slot) + u' ' + QString::number(index[slot]));
    }
    if (index[Dictionary::slotCount - 1] != 0)
        FuzzSupport::fail("index: the slot that belongs to no key was filled");

    // Lines written as the index writes them give their slot's position, line by line
    // (checked where no lone CR makes the line ends a matter of reading).
    QByteArray bytes = FuzzSupport::bytesOf(data, size);
    if (!bytes.replace("\r\n", "\n").contains('\r')) {
        const QList<QByteArray> lines = bytes.split('\n');
        for (int slot = 0; slot < Dictionary::slotCount - 1 && slot < lines.size(); ++slot) {
            const std::optional<qint32> position = plainPosition(lines.at(slot));
            if (position && index[slot] != *position)
                FuzzSupport::fail("index: a slot does not hold the position of its line",
                                  QString::number(slot) + u' ' + QString::number(index[slot]) +
                                      QLatin1String(" instead of ") + QString::number(*position));
        }
    }

    for (const char *digits : {"0", "42", "314", "31415"}) {
        if (!dictionary.lookupWords(QString::fromLatin1(digits)).isEmpty())
            FuzzSupport::fail("index: words found without a word file");
    }

    // A dictionary that loaded another index before (the previous input's) gives the
    // same index: nothing of an earlier load survives.
    static Dictionary reused(installDir);
    reused.loadIndex();
    if (reused.blockIndex() != index)
        FuzzSupport::fail("index: a load kept slots of an earlier index");
    return 0;
}
