// The console's program module: its settings and state record GLOBAL
// (section VOZidavar of ZEDOVoridi.ini) and the values that live for the run.
#pragma once
#include <cstdint>

#include "base/text.h"

namespace morventa {

struct Global {
    vx::Text<55> AKTIVNAPROC;
    vx::Text<120> NAZIVAPP;
    uint32_t IDKORISNIKA = 0;
    vx::Text<50> NAZIVKORISNIKA;
    vx::Text<20> GRUPA;
    vx::Text<20> IPADRESA;
    vx::Text<20> NAZIVSERVERA;
    vx::Text<100> WEBADRESA;
    // GLO:EXPLODE is vx::GLO_EXPLODE of the shared module.
    uint32_t IDPARTNERA = 0;
    uint32_t SAMOCLIJENT = 0;
    uint32_t SAMOSERVER = 0;
    // GLO:LOGFILE is vx::GLO_LOGFILE of the shared module (the log owns it).
    vx::Text<20> KORGRUPE;
    vx::Text<20> KORPASWORD;
};

extern Global GLO;

// Base address of the instruction pages (set at start-up to the registry's).
extern vx::Text<220> APP_WEBLOKACIJAHELPA;

// The registry's base address when the settings name none.
inline constexpr const char* kDefaultWebAddress = "http://localhost/dns/";
inline constexpr const char* kSection = "VOZidavar";

}  // namespace morventa
