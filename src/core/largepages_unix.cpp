#include "core/LargePages.h"

#include <cstdint>
#include <cstdio>
#include <sys/mman.h>

namespace LargePages {

void prefer(void *block, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    // Only whole large pages inside the block can be given; a block smaller than two
    // of them gains nothing.
    constexpr std::uintptr_t large = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + large - 1) & ~(large - 1);
    const std::uintptr_t end = (start + bytes) & ~(large - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

void preferForAllBlocks(std::size_t atLeast)
{
#ifdef __linux__
    // Each line: start-end perms offset device inode [name]. Private memory is
    // writable, belongs to no file (inode 0) and has no name ([heap] and [stack] do).
    std::FILE *maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return;
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long long start = 0, end = 0, inode = 0;
        char perms[5] = {};
        int nameAt = 0;
        if (std::sscanf(line, "%llx-%llx %4s %*s %*s %llu %n", &start, &end, perms, &inode,
                        &nameAt) < 4)
            continue;
        const bool named = nameAt > 0 && line[nameAt] != '\0' && line[nameAt] != '\n';
        // Ranges of many gigabytes, as a sanitizer's shadow memory, are touched here
        // and there; large pages would fill them.
        constexpr unsigned long long atMost = 1ULL << 32;
        if (perms[0] == 'r' && perms[1] == 'w' && perms[3] == 'p' && inode == 0 && !named &&
            end - start >= atLeast && end - start <= atMost)
            prefer(reinterpret_cast<void *>(start), std::size_t(end - start));
    }
    std::fclose(maps);
#else
    (void)atLeast;
#endif
}

} // namespace LargePages
