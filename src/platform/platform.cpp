// The installed platform.
#include "platform/platform.h"

namespace vx {

Platform& platform() {
    static Platform installed;
    return installed;
}

int32_t clockNow() { return timeOfDay(platform().clock->now()); }

}  // namespace vx
