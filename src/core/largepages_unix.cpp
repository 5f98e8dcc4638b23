#include "core/LargePages.h"

#include <cstdint>
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

} // namespace LargePages
