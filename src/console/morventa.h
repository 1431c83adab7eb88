// The console's program module: its settings and state record GLOBAL
// (section VOZidavar of ZEDOVoridi.ini), the entry procedure and start-up.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The program's command-line parameters, without the program name; main()
// hands them over before _main runs.
void setArguments(std::vector<std::string> args);
const std::vector<std::string>& arguments();

// Everything of the run back to its start state (tests).
void resetState();

// The entry procedure: the drag setting around MAIN.
void _main();
// The console's main procedure: start-up, the main window, the close-down.
void MAIN();

// --- start-up pieces, also used by the windows ---
// The current directory followed directly by "\ZEDOVoridi.ini".
std::string iniPath();
// Keys 1 to 5, then keys 6 and 7 of section VOZidavar.
void readSettings();
void readModeSettings();
// The relay address made from the fetched reply: white space around it
// dropped, cut to 20; blank when what is left could not be a host name.
std::string relayFromReply(std::string_view reply);
// Fetches ZEDOVORIDI.txt under the base address into GLO.IPADRESA.
void fetchRelayAddress();
// GLO:IPADRESA as the VNC command lines carry it.
std::string relayForCommand();
// The log line forms: date, " ", time, then the words.
std::string logStamp();
std::string startLine();
std::string serverLine();
std::string viewerLine();
// Appends a line to the connection log.
void logLine(const std::string& line);
// The unattended server mode ("S"): starts the VNC server and ends the process.
[[noreturn]] void unattendedServer();
// The console's sign-in ("PRIJAVAVXRD") to dns.php.
void signIn();
// The web-instructions link of every console window, and opening it.
std::string helpLink();
void openHelpLink();

}  // namespace morventa
