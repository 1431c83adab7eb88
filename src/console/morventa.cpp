// The console's global record, its settings, the relay address, the log
// lines, the sign-in and the unattended server mode.
#include "console/morventa.h"

#include <algorithm>

#include "console/morv001.h"
#include "platform/platform.h"
#include "shared/funkcije.h"
#include "shared/vxf_log.h"
#include "shared/vxwebupute.h"

namespace morventa {

Global GLO;
vx::Text<220> APP_WEBLOKACIJAHELPA;

namespace {

std::vector<std::string>& args() {
    static std::vector<std::string> a;
    return a;
}

std::string cwd() { return vx::platform().system->currentDirectory(); }

std::string readKey(const char* key, const char* def) {
    return vx::platform().profile->read(kSection, key, def, iniPath());
}

uint32_t readNumberKey(const char* key) {
    return static_cast<uint32_t>(vx::toNumber(readKey(key, "")));
}

bool isSpaceOrLineEnd(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

void setArguments(std::vector<std::string> a) { args() = std::move(a); }
const std::vector<std::string>& arguments() { return args(); }

void resetState() {
    GLO = Global{};
    APP_WEBLOKACIJAHELPA.clear();
    args().clear();
}

int say(const std::string& text) {
    ui::MessageSpec m;
    m.text = text;
    return ui::toolkit().message(m);
}

int ask(const std::string& text, const std::string& caption, ui::Icon icon) {
    ui::MessageSpec m;
    m.text = text;
    m.caption = caption;
    m.icon = icon;
    m.buttons = ui::BUTTON_YES | ui::BUTTON_NO;
    m.yesNoDaNe = true;
    return ui::toolkit().message(m);
}

void _main() {
    vx::System& system = *vx::platform().system;
    int LCURRENTFDSETTING = system.dragFullWindows();
    if (LCURRENTFDSETTING == 1) system.setDragFullWindows(0);
    MAIN();
    if (LCURRENTFDSETTING == 1) system.setDragFullWindows(1);
}

std::string iniPath() { return cwd() + "\\ZEDOVoridi.ini"; }

void readSettings() {
    GLO.IDKORISNIKA = readNumberKey("Glo:IDKorisnika");
    GLO.NAZIVKORISNIKA = readKey("Glo:NazivKorisnika", "");
    GLO.GRUPA = readKey("Glo:Grupa", "KOR");
    GLO.WEBADRESA = readKey("Glo:WebAdresa", kDefaultWebAddress);
    GLO.NAZIVSERVERA = readKey("Glo:NazivServera", "ZEDOVORIDI");
}

void readModeSettings() {
    GLO.SAMOCLIJENT = readNumberKey("Glo:SamoClijent");
    GLO.SAMOSERVER = readNumberKey("Glo:SamoServer");
}

std::string relayFromReply(std::string_view reply) {
    // The address goes into the VNC command lines unquoted: a reply must not
    // be able to add arguments there, and a file ending in a line break must
    // still give a working address.
    std::size_t b = 0, e = reply.size();
    while (b < e && isSpaceOrLineEnd(reply[b])) ++b;
    while (e > b && isSpaceOrLineEnd(reply[e - 1])) --e;
    std::string address(reply.substr(b, std::min<std::size_t>(e - b, 20)));
    for (char ch : address) {
        unsigned char u = static_cast<unsigned char>(ch);
        if (u <= 0x20 || u == 0x7F || ch == '"') return {};
    }
    return address;
}

void fetchRelayAddress() {
    // Always this name, whatever the server name setting holds.
    vx::setURL(GLO.WEBADRESA.clip() + "ZEDOVORIDI.txt");
    vx::VX_HTTP(1000000, 1);
    GLO.IPADRESA = relayFromReply(vx::reply());
}

std::string relayForCommand() { return vx::leftJustify(GLO.IPADRESA.clip()); }

std::string logStamp() {
    vx::LocalTime t = vx::platform().clock->now();
    return vx::logDate(t) + " " + vx::logTime(t);
}

std::string startLine() { return logStamp() + " Start programa "; }
std::string serverLine() { return logStamp() + " Server :" + vx::num(GLO.IDKORISNIKA); }
std::string viewerLine() { return logStamp() + " Viewer :" + vx::num(GLO.IDKORISNIKA); }

void logLine(const std::string& line) {
    vx::Text<255> LOG(line);  // LOC:LOG
    vx::VXF_LOG(LOG.view(), vx::GLO_LOGFILE.clip());
}

void unattendedServer() {
    vx::Processes& processes = *vx::platform().processes;
    vx::System& system = *vx::platform().system;
    // The runs of two spaces are part of the command lines the VNC programs
    // and the process killer are known to take; neither start is checked.
    processes.start("C:\\VXDNS\\Tkill.exe  winvnc.exe");
    system.sleepMs(350);
    processes.start("C:\\VXDNS\\winvnc.exe  -autoreconnect  -ID:" + vx::num(GLO.IDKORISNIKA) +
                    "  -connect " + relayForCommand() + ":5500  -run");
    system.sleepMs(350);
    logLine(serverLine());
    system.exitProcess(0);
}

void signIn() {
    vx::setURL(GLO.WEBADRESA.clip() + "dns.php");
    // Inserted as they stand: the registry takes the name unencoded.
    vx::setHREQUEST("id_user=" + vx::num(GLO.IDKORISNIKA) + "&zahtjev1=PRIJAVAVXRD&zahtjev2=" +
                    GLO.NAZIVKORISNIKA.clip());
    vx::VX_HTTP(1000000, 0);
}

std::string helpLink() {
    return vx::lower(APP_WEBLOKACIJAHELPA.clip() + "prikazuputa.php?veza=" + GLO.NAZIVAPP.clip() +
                     "_" + GLO.AKTIVNAPROC.clip());
}

void openHelpLink() { vx::VXWEBUPUTE(helpLink()); }

}  // namespace morventa
