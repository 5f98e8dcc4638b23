#include "app/FontWarmUp.h"

namespace FontWarmUp {

// Windows keeps its fonts loaded for every program; there is nothing to read ahead.
std::jthread start()
{
    return {};
}

} // namespace FontWarmUp
