// The installed tray seam: the Win32 one in the program, a fake in tests.
#include "platform/tray.h"

#include <stdexcept>

namespace vx {
namespace {
Tray* installed = nullptr;
}

Tray& tray() {
    if (!installed) throw std::logic_error("no tray seam installed");
    return *installed;
}

void setTray(Tray* t) { installed = t; }

}  // namespace vx
