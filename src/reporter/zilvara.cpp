// The reporter's global record.
#include "reporter/zilvara.h"

namespace zilvara {

Global GLO;

}  // namespace zilvara
