#include "app/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace FontWarmUp {

std::jthread start()
{
    // Qt's font database calls FcInit() itself and then finds the configuration
    // loaded; fontconfig makes a second, concurrent load harmless.
    return std::jthread([] { FcInit(); });
}

} // namespace FontWarmUp
