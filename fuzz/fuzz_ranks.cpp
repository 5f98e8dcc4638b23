// The ranks file "ranks.db" on any bytes: read through the file as the program reads
// it, a file that loads must write back to bytes that load to the same ranks, and a
// file that does not load must leave no ranks behind.
#include "FuzzSupport.h"
#include "dictionary/WordRanks.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString installDir = FuzzSupport::scratchDir();
    QDir().mkpath(installDir + QLatin1String("/data"));
    const QString path = WordRanks::filePath(installDir);
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    FuzzSupport::writeFile(path, bytes);

    // Reused, so that nothing of the previous input may survive a load.
    static WordRanks ranks;
    QString problem;
    const bool loaded = ranks.load(path, &problem);
    if (!loaded) {
        if (!ranks.isEmpty())
            FuzzSupport::fail("ranks: a file that did not load left ranks behind");
        if (!problem.startsWith(path))
            FuzzSupport::fail("ranks: the problem does not name the file", problem);
        return 0;
    }
    if (!problem.isEmpty())
        FuzzSupport::fail("ranks: a whole file was reported as a problem", problem);

    const QByteArray written = ranks.toBytes();
    WordRanks again;
    if (!again.parse(written, &problem))
        FuzzSupport::fail("ranks: what was written does not load again", problem);
    if (!(again == ranks))
        FuzzSupport::fail("ranks: what was written loads to other ranks");
    if (again.toBytes() != written)
        FuzzSupport::fail("ranks: writing the same ranks twice gave other bytes");
    for (const QString &word : {QStringLiteral("tin"), QStringLiteral("ton")}) {
        const int rank = ranks.rank(word);
        if (rank < WordRanks::Picture || rank > WordRanks::Last)
            FuzzSupport::fail("ranks: a rank out of range", word);
    }
    return 0;
}
