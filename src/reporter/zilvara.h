// The reporter's program module: its settings and state record GLOBAL
// (section DARiriza of ZEDOVoridi.ini), the check PRIJAVA and its timer
// rule, and the procedures of its windows.
#pragma once
#include <cstdint>
#include <string>

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
inline constexpr const char* kTrayTip = "VX Kontrola ip adrese na Webu";
inline constexpr const char* kTrayMenu = "Podešavanje|Status|Povijest|-|O programu|-|Izlaz|-";

// The settings file: the current directory, a backslash, ZEDOVoridi.ini.
std::string settingsPath();
// Reads the six keys of DARiriza into GLO.
void loadSettings();

// GLO:IDIPSERVERA read as a whole number (blank or not a number: 0).
int32_t serverId();

// One check: signs the server in, fetches its record and keeps field 15 as
// the address and the time of day as the time of the check. Without a
// server ID (0) it makes no request and changes nothing.
void PRIJAVA();

// The monotonic moment of the last check (the time of day alone cannot
// tell how long ago it was once midnight has passed).
struct LastCheck {
    bool made = false;
    uint64_t tickMs = 0;
};
// A copy taken under the request lock.
LastCheck lastCheck();
// Forgets every check (start-up state; tests).
void resetLastCheck();

// The timer's rule: a check is due when the server has an ID and no check
// has been made yet, or more than GLO:VRIJEME minutes have passed since the last.
bool checkDue();
// Hundredths of a second to the next check (negative when overdue).
int64_t timeLeft(int16_t vrijeme, const LastCheck& last, uint64_t nowMs);

// Entry procedure and main procedure (the application frame in the tray).
void _main();
void MAIN();

// Windows and procedures started from the tray menu, each on its own thread.
void PODESAVANJE();
int32_t PRVAREGISTRACIJANAWEB(const std::string& XNAZIV, const std::string& XGRUPA);
void STATUS();
void POVIJEST();
void OPROGRAMU();
void IZLAZ();  // ends the process

}  // namespace zilvara
