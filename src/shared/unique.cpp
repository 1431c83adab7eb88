// Single-instance guard.
#include "shared/unique.h"

#include <string>

#include "base/text.h"
#include "platform/platform.h"

namespace vx {

int32_t BEGINUNIQUE(std::string_view SAPPNAME) {
    std::string SZEVENTNAME = (clip(SAPPNAME) + "_UEvent").substr(0, 259);
    uint32_t lastError = 0;
    intptr_t HEVENT = platform().events->create(SZEVENTNAME, lastError);
    if (HEVENT == 0) return 0;
    if (lastError == 183) return 0;  // another process holds it; its handle stays open
    return static_cast<int32_t>(HEVENT);
}

}  // namespace vx
