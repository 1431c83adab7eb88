// The reporter's global record, the reading of its settings, the check
// PRIJAVA and the rule that decides when the next one is due.
#include "reporter/zilvara.h"

#include <mutex>

#include "platform/platform.h"
#include "shared/funkcije.h"
#include "ui/toolkit.h"

namespace zilvara {

Global GLO;

namespace {
LastCheck last;  // guarded by the request lock
}

std::string settingsPath() { return vx::platform().system->currentDirectory() + "\\ZEDOVoridi.ini"; }

void loadSettings() {
    vx::Profile& p = *vx::platform().profile;
    const std::string path = settingsPath();
    auto read = [&](const char* key, const char* def) { return p.read(kSection, key, def, path); };
    // Kept in 16 bits: the low 16 bits of the number read.
    GLO.VRIJEME = static_cast<int16_t>(static_cast<uint16_t>(vx::toNumber(read("Glo:Vrijeme", ""))));
    GLO.IDIPSERVERA = read("Glo:IDIPServera", "");
    GLO.NAZIVSERVERA = read("Glo:NazivServera", "ZEDOVORIDI");
    GLO.GRUPA = read("Glo:Grupa", "VXSERVERI");
    GLO.WEBADRESA = read("Glo:WebAdresa", kDefaultWebAddress);
    GLO.RADILOGDATOTEKU = static_cast<uint32_t>(vx::toNumber(read("Glo:RadiLogDatoteku", "0")));
}

int32_t serverId() { return static_cast<int32_t>(vx::toNumber(GLO.IDIPSERVERA.view())); }

void PRIJAVA() {
    // A server without an ID (blank, or no number) has no record yet: signing
    // in as 0 would report this server into record 0 and show that record's address.
    const int32_t id = serverId();
    if (id == 0) return;
    {
        // One check at a time: the timer's and a status window's share the buffers.
        std::lock_guard<std::recursive_mutex> lock(vx::requestLock());
        const std::string base = GLO.WEBADRESA.clip();
        vx::setURL(base + "dns.php");
        // "&&" before zahtjev2 and the constant 1 of zahtjev3 are what the registry expects.
        vx::setHREQUEST("id_user=" + vx::num(id) + "&zahtjev1=PRIJAVA&&zahtjev2=" +
                        GLO.NAZIVSERVERA.clip() + "&zahtjev3=1&zahtjev4=" + GLO.GRUPA.clip());
        vx::VX_HTTP(1000000, 0);
        vx::setURL(base + vx::num(id) + ".txt");
        vx::VX_HTTP(1000000, 1);
        vx::VX_EXPLODE(vx::reply(), "|");
        GLO.IPADRESA = vx::trim(vx::GLO_EXPLODE[15].view());
        GLO.ZADNJAKONTROLA = vx::clockNow();
        last.made = true;
        last.tickMs = vx::platform().clock->tickMs();
    }
    if (ui::Toolkit* kit = ui::installedToolkit())
        if (ui::Window* w = kit->currentWindow()) w->display(0, 0);
}

LastCheck lastCheck() {
    std::lock_guard<std::recursive_mutex> lock(vx::requestLock());
    return last;
}

void resetLastCheck() {
    std::lock_guard<std::recursive_mutex> lock(vx::requestLock());
    last = LastCheck{};
}

int64_t timeLeft(int16_t vrijeme, const LastCheck& check, uint64_t nowMs) {
    if (!check.made) return 0;
    const int64_t elapsed = static_cast<int64_t>((nowMs - check.tickMs) / 10);
    return int64_t(vrijeme) * 6000 - elapsed;
}

bool checkDue() {
    std::lock_guard<std::recursive_mutex> lock(vx::requestLock());
    // Without an ID a check would sign in as 0 and fetch 0.txt.
    if (serverId() == 0) return false;
    if (!last.made) return true;
    return timeLeft(GLO.VRIJEME, last, vx::platform().clock->tickMs()) < 0;
}

}  // namespace zilvara
