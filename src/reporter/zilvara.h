// The reporter's program module: its settings and state record GLOBAL
// (section DARiriza of ZEDOVoridi.ini).
#pragma once
#include <cstdint>

#include "base/text.h"

namespace zilvara {

struct Global {
    int16_t VRIJEME = 0;
    vx::Text<20> IPADRESA;
    vx::Text<20> IDIPSERVERA;
    vx::Text<20> NAZIVSERVERA;
    vx::Text<20> GRUPA;
    vx::Text<100> WEBADRESA;
    uint32_t RADILOGDATOTEKU = 0;
    int32_t ZADNJAKONTROLA = 0;
    uint32_t PRESTALOVRIJEME = 0;
    uint32_t SPREMIIPUTXT = 0;
    // GLO:EXPLODE is vx::GLO_EXPLODE of the shared module.
};

extern Global GLO;

inline constexpr const char* kDefaultWebAddress = "http://localhost/dns/";
inline constexpr const char* kHelpPage = "http://localhost/help/Zilvara_Podesavanje.html";
inline constexpr const char* kSection = "DARiriza";

}  // namespace zilvara
