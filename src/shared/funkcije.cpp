// Request sender and reply splitter.
#include "shared/funkcije.h"

#include <cstring>

#include "platform/platform.h"
#include "ui/toolkit.h"

namespace vx {

char URL[255];
char HREQUEST[64000];
char MESSA[1000000];
int32_t POSTLENGTH;
ReplyFields GLO_EXPLODE;

static void copyCut(char* dst, std::size_t capacity, std::string_view s) {
    std::size_t n = s.size() < capacity - 1 ? s.size() : capacity - 1;
    std::memcpy(dst, s.data(), n);
    dst[n] = 0;
}

void setURL(std::string_view s) { copyCut(URL, sizeof URL, s); }
void setHREQUEST(std::string_view s) { copyCut(HREQUEST, sizeof HREQUEST, s); }

std::string reply() {
    std::size_t n = strnlen(MESSA, sizeof MESSA);
    return clip(std::string_view(MESSA, n));
}

void VX_HTTP(int32_t PL, int32_t PO) {
    POSTLENGTH = PL == 0 ? 2048 : PL;
    MESSA[0] = 0;
    const char* status = nullptr;
    auto send = [&] { status = platform().sender->send(URL, HREQUEST, MESSA, POSTLENGTH, PO); };
    // A window whose preparation waits for the reply is on the screen meanwhile.
    if (ui::Toolkit* kit = ui::installedToolkit()) kit->whileBlocked(send);
    else send();
    char result[33] = {0};  // kept for nothing: the callers learn only from MESSA
    if (status) std::strncpy(result, status, 32);
    (void)result;
}

void VX_EXPLODE(std::string_view STR, std::string_view DEL) {
    for (auto& field : GLO_EXPLODE.f) field.clear();
    std::string del = clip(DEL);
    // Field 1 is the text before the first delimiter; the rest is taken from
    // the first 1,024 characters after it. Without any delimiter the whole
    // text (its first 1,024 characters) lands in field 2.
    std::size_t first = del.empty() ? std::string_view::npos : STR.find(del);
    std::string_view rest;
    if (first == std::string_view::npos) {
        rest = STR;
    } else {
        GLO_EXPLODE[1] = STR.substr(0, first);
        rest = STR.substr(first + 1);
    }
    std::string remainder = fit(rest, 1024);  // LOC:PODATAK, space-padded
    std::string_view r(remainder);
    int BR = 2;
    std::size_t POZ_IN = 0;
    while (BR <= 30) {
        std::size_t at = del.empty() ? std::string_view::npos : r.find(del, POZ_IN);
        if (at == std::string_view::npos) {
            GLO_EXPLODE[BR] = r.substr(POZ_IN);
            break;
        }
        GLO_EXPLODE[BR] = r.substr(POZ_IN, at - POZ_IN);
        POZ_IN = at + 1;
        ++BR;
    }
}

std::recursive_mutex& requestLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace vx
