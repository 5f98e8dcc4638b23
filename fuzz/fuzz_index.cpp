// The block index "num.db" on any bytes.
#include "FuzzSupport.h"
#include "dictionary/Dictionary.h"

#include <QDir>

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
