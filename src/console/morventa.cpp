// The console's global record.
#include "console/morventa.h"

namespace morventa {

Global GLO;
vx::Text<220> APP_WEBLOKACIJAHELPA;

}  // namespace morventa
