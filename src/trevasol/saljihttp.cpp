// Trevasol.dll: the HTTP sender.
#include "trevasol/saljihttp.h"

TREVASOL_API const char* __stdcall saljihttp(const char*, const char*, char* reply, int32_t length,
                                             int32_t) {
    if (reply && length > 0) reply[0] = 0;
    return "ERR";
}
