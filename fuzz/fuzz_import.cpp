// Import of an export file on any bytes, into a list that already holds one entry.
// What an import accepts must export again, and importing that export into an empty
// list must give the same entries.
#include "FuzzSupport.h"
#include "remembered/RememberedList.h"
#include "remembered/TransferFile.h"

#include <QSet>

namespace {

QStringList rows(const RememberedList &list)
{
    QStringList result;
    for (int position = 1; position <= list.entryCount(); ++position) {
        const RememberedEntry entry = list.entry(position);
        result.append(FuzzSupport::visible(entry.Value) + u' ' +
                      FuzzSupport::visible(entry.Description) + u' ' +
                      FuzzSupport::visible(entry.Words));
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString importPath = FuzzSupport::scratchDir() + QLatin1String("/in.txt");
    const QString exportPath = FuzzSupport::scratchDir() + QLatin1String("/out.txt");
    FuzzSupport::writeFile(importPath, FuzzSupport::bytesOf(data, size));

    RememberedList list;
    list.addEntry(QStringLiteral("314"), QStringLiteral("pi start"), QStringLiteral(" meter"));
    const TransferFile::ImportResult result = list.importFile(importPath);
    if (result.status == TransferFile::ImportResult::Unreadable)
        FuzzSupport::fail("import: a readable file was reported unreadable");
    if (list.entryCount() != 1 + result.imported)
        FuzzSupport::fail("import: the count of imported entries is wrong");

    // Import adds only what the list does not hold yet.
    const QStringList imported = rows(list);
    if (QSet<QString>(imported.cbegin(), imported.cend()).size() != imported.size())
        FuzzSupport::fail("import: an entry was added twice", imported.join(u'\n'));

    QString error;
    if (!TransferFile::exportList(list.rows(), exportPath, &error))
        FuzzSupport::fail("import: an imported list cannot be exported",
                          error + QLatin1String("\n*** imported entries:\n") +
                              imported.join(u'\n'));

    // An empty description exports as the word "empty" and comes back as that word.
    QStringList expected;
    for (int position = 1; position <= list.entryCount(); ++position) {
        RememberedEntry entry = list.entry(position);
        if (entry.Description.isEmpty())
            entry.Description = QLatin1String(TransferFile::emptyDescription);
        expected.append(FuzzSupport::visible(entry.Value) + u' ' +
                        FuzzSupport::visible(entry.Description) + u' ' +
                        FuzzSupport::visible(entry.Words));
    }
    expected.removeDuplicates();

    RememberedList again;
    const TransferFile::ImportResult reimport = again.importFile(exportPath);
    QStringList back = rows(again);
    expected.sort();
    back.sort();
    if (reimport.status != TransferFile::ImportResult::Completed || back != expected)
        FuzzSupport::fail("import: an export of the imported list reads back differently",
                          expected.join(u'\n') + QLatin1String("\n  ->\n") + back.join(u'\n'));
    return 0;
}
