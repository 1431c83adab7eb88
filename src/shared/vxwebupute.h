// The web-instructions window (Funkcije's VXWEBUPUTE): an address line and an
// embedded web browser with back, forward, home and search.
#pragma once
#include <string_view>

#include "base/text.h"

namespace vx {

// The address shown and handed to the browser; keeps its last value.
extern Text<244> GL_URL_HLP;

void VXWEBUPUTE(std::string_view XDAT);

}  // namespace vx
