#pragma once

#include <cstddef>

// Asks the system to back a large block of memory that is about to be filled with
// large pages where it can. Filling a list of a million entries touches tens of
// megabytes; with the usual small pages each one costs a fault of its own, which on
// some virtual machines makes the first fill of a block several times slower than
// copying into it. Harmless where large pages are not offered.
namespace LargePages {

void prefer(void *block, std::size_t bytes);

// The same for every block of private memory of at least `atLeast` bytes the process
// holds, its libraries' as well as its own. A view showing a long list keeps a table
// of its own with an item per row, which this program cannot reach otherwise; when
// the list grows, so does the table, into fresh memory.
void preferForAllBlocks(std::size_t atLeast);

} // namespace LargePages
