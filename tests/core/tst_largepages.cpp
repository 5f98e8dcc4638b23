#include "core/LargePages.h"

#include <QFile>
#include <QTest>

#include <cstdlib>
#include <memory>

// Large pages asked for blocks the program did not allocate itself, as the table of
// rows a view keeps for a long list.
class TestLargePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLargeBlock();
};

namespace {

// Whether the system would back the mapping that holds `address` with large pages.
bool eligible(const void *address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return false;
    const auto at = reinterpret_cast<quintptr>(address);
    bool inside = false;
    // A file of the system's reports no size, so it is read to its end in one go.
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const qsizetype dash = line.indexOf('-');
        const qsizetype blank = line.indexOf(' ');
        // A mapping's first line starts with its range; its fields' names end in ':'.
        if (dash > 0 && blank > dash && line.at(blank - 1) != ':') {
            const quintptr start = line.left(dash).toULongLong(nullptr, 16);
            const quintptr end = line.mid(dash + 1, blank - dash - 1).toULongLong(nullptr, 16);
            inside = start <= at && at < end;
        } else if (inside && line.startsWith("THPeligible:")) {
            return line.mid(12).trimmed() == "1";
        }
    }
    return false;
}

} // namespace

void TestLargePages::everyLargeBlock()
{
    QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!setting.open(QIODevice::ReadOnly) || !setting.readAll().contains("[madvise]"))
        QSKIP("Large pages are given here either always, never, or not at all.");
    constexpr std::size_t large = std::size_t(64) << 20;
    constexpr std::size_t small = std::size_t(4) << 20;
    const std::unique_ptr<char, decltype(&std::free)> block(static_cast<char *>(std::malloc(large)),
                                                            &std::free);
    const std::unique_ptr<char, decltype(&std::free)> other(static_cast<char *>(std::malloc(small)),
                                                            &std::free);
    // Only whole large pages are asked for, so the block's middle is looked at.
    QVERIFY(!eligible(block.get() + large / 2));
    LargePages::preferForAllBlocks(large / 2);
    QVERIFY(eligible(block.get() + large / 2));
    QVERIFY(!eligible(other.get() + small / 2));
}

QTEST_GUILESS_MAIN(TestLargePages)
#include "tst_largepages.moc"
