#include "core/LargePages.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <memory>
#include <sys/mman.h>

// Large pages asked for blocks the program did not allocate itself, as the table of
// rows a view keeps for a long list. Linux only.
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
    // A small block and a large one with a gap between, so that the system cannot
    // join them into one mapping, as it does with neighbours alike.
    constexpr std::size_t small = std::size_t(4) << 20;
    constexpr std::size_t gap = std::size_t(4) << 20;
    constexpr std::size_t large = std::size_t(64) << 20;
    constexpr std::size_t all = small + gap + large;
    void *reserved = ::mmap(nullptr, all, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    QVERIFY(reserved != MAP_FAILED);
    const std::unique_ptr<void, std::function<void(void *)>> unmap(
        reserved, [](void *block) { ::munmap(block, all); });
    char *const smallBlock = static_cast<char *>(reserved);
    char *const largeBlock = smallBlock + small + gap;
    QCOMPARE(::mprotect(smallBlock, small, PROT_READ | PROT_WRITE), 0);
    QCOMPARE(::mprotect(largeBlock, large, PROT_READ | PROT_WRITE), 0);

    // Only whole large pages are asked for, so the blocks' middles are looked at.
    QVERIFY(!eligible(largeBlock + large / 2));
    LargePages::preferForAllBlocks(large / 2);
    QVERIFY(eligible(largeBlock + large / 2));
    QVERIFY(!eligible(smallBlock + small / 2));
}

QTEST_GUILESS_MAIN(TestLargePages)
#include "tst_largepages.moc"
