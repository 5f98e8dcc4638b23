#include "core/LargePages.h"

namespace LargePages {

// Large pages need a privilege on Windows that a desktop program does not have.
void prefer(void *, std::size_t) {}
void preferForAllBlocks(std::size_t) {}

} // namespace LargePages
