#include "app/SessionBus.h"

namespace SessionBus {

void connectEarly() {}

} // namespace SessionBus
