// The console's main window MAIN: start-up, granting and requesting access
// through the VNC programs, the tool buttons and the close-down.
#include <string>
#include <vector>

#include "console/morv001.h"
#include "console/morventa.h"
#include "platform/platform.h"
#include "shared/funkcije.h"
#include "shared/unique.h"
#include "shared/vxf_log.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

constexpr uint32_t kButton = Flat | Transparent | Skip;

Font verdana(int points = 0, bool bold = false) { return Font{"Verdana", points, bold, true}; }

WindowDef mainWindowDef() {
    WindowDef d;
    d.title = "VO Zidavar";
    d.w = 313;
    d.h = 155;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.statusZones = {350};
    const char* groupsTip = "Formiranje grupa | Pregled i unos novih grupa";
    d.controls = {
        /* 1 */ image("Gradient.bmp").at(0, 28, 313, 127),
        /* 2 */ display(Var::of(GLO.IDKORISNIKA), Format::digits(7))
                    .at(34, 82, 86, 15).withFont(verdana(14, true)).with(Right | Transparent),
        /* 3 */ box().at(4, 55, 150, 73).with(Rounded),
        /* 4 */ image("Naslov.jpg").at(0, 0, 313, 28),
        /* 5 */ string("  VO Zidavar  10.1").at(236, 2, 74, 9).withFont(verdana(8, true)).with(Transparent),
        /* 6 */ button("VX server / status", "VXWeb.ico").at(232, 31, 78, 12)
                    .withFont(Font{"Tahoma", 8, false, true}).withTip(groupsTip).with(kButton),
        /* 7 */ string("Unesite ID vašeg partnera ").at(166, 60, 138, 9).withFont(verdana(8)).with(Transparent),
        /* 8 */ string("a zatim pritisnite Odobravam pristup").at(10, 68, 140, 9).withFont(verdana(8)).with(Transparent),
        /* 9 */ string("Molimo da partneru javite Vaš ID Broj").at(10, 59, 140, 9).withFont(verdana(8)).with(Transparent),
        /* 10 */ string("ID:").at(10, 83, 24, 14).withFont(verdana(14, true)).with(Transparent),
        /* 11 */ button("", "vx_setup.ico").at(290, 128, 18, 16).withTip("Podešavanje programa").with(kButton),
        /* 12 */ button("", "VXRadnik.ico").at(230, 128, 18, 16).withTip(groupsTip).with(kButton),
        /* 13 */ button("", "VXdo.ico").at(250, 128, 18, 16).withTip("Nadogradnja nove verzije ").with(kButton),
        /* 14 */ button("", "VXVeza.ico").at(284, 72, 18, 16)
                    .withTip("Pregled trenutno spojenih ID_a na serveru").with(kButton),
        /* 15 */ button("", "VXTxt.ico").at(270, 128, 18, 16).withTip("O programu").with(kButton),
        /* 16 */ button("", "VXPlan.ico").at(210, 128, 18, 16).withTip("Pregled spajanja ").with(kButton),
        /* 17 */ button("Odobravam  pristup", "Key.ico").at(10, 104, 112, 17).withFont(verdana(9, true)).with(kButton),
        /* 18 */ box().at(160, 55, 149, 68).with(Rounded),
        /* 19 */ button("", "VXKey.ico").at(126, 104, 22, 17).with(kButton | Hidden),
        /* 20 */ display(Var::of(GLO.IPADRESA), Format::text(20)).at(8, 133, 110, 9)
                    .withFont(verdana(8)).with(Transparent),
        /* 21 */ prompt("ID  Partnera:").at(166, 76, 56, 10).withFont(verdana(9)).with(Transparent),
        /* 22 */ entry(Var::of(GLO.IDPARTNERA), Format::number(8)).at(224, 75, 56, 12)
                    .withFont(verdana(9, true)).with(Right),
        /* 23 */ button("Pokreni spajanje", "11_ok.ico").at(166, 101, 112, 17).withFont(verdana(9, true)).with(kButton),
        /* 24 */ button("Button 9", "Key.ico").at(282, 101, 22, 17).with(kButton | Hidden),
        /* 25 */ image("lime.bmp").at(4, 4, 10, 10),
        /* 26 */ image("red.bmp").at(4, 4, 10, 10),
        /* 27 */ string("Status").at(17, 5, 30, 9).withFont(verdana(8)).with(Transparent),
        /* 28 */ display(Var::of(GLO.NAZIVKORISNIKA), Format::text(50)).at(110, 11, 200, 9)
                    .withFont(verdana(8, true)).with(Right | Transparent),
        /* 29 */ display(Var::of(GLO.GRUPA), Format::text(20)).at(200, 20, 110, 9)
                    .withFont(verdana(8)).with(Right | Transparent),
        /* 30 */ string("Podaci o  vašem Desktopu (ID broju)").at(6, 45, 148, 9)
                    .withFont(verdana(8, true)).with(Transparent),
        /* 31 */ string("Spoj sa udaljenim računalom").at(162, 45, 140, 9)
                    .withFont(verdana(8, true)).with(Transparent),
    };
    return d;
}

enum Field {
    kStatusPage = 6,
    kSettings = 11,
    kGroups = 12,
    kNewVersion = 13,
    kActive = 14,
    kAbout = 15,
    kViewLog = 16,
    kGrant = 17,
    kGrantAgain = 19,
    kPartner = 22,
    kConnect = 23,
    kConnectAgain = 24,
    kLime = 25,
    kRed = 26,
};

std::string cwd() { return vx::platform().system->currentDirectory(); }

// Starts a program; a failure is shown after the given prefix.
void startOrReport(const std::string& commandLine, const std::string& prefix) {
    vx::StartResult r = vx::platform().processes->start(commandLine);
    if (!r.ok) say(prefix + r.error);
}

class MainWindow : public WindowProcedure {
public:
    MainWindow() : WindowProcedure(mainWindowDef()) {}

protected:
    std::vector<FileUse*> files() override { return {&vx::LOGFILE()}; }

    void entrySteps() override {
        // 2. One console per logon session.
        if (!vx::BEGINUNIQUE("Morventa.exe")) {
            MessageSpec m;
            m.text = "Program je već startan|Provjerite na traci dolje |"
                     "Program se ne smije više puta startati na istom računalu|";
            m.caption = "Kontrola";
            m.icon = Icon::WinLogo;
            toolkit().message(m);
            vx::platform().system->exitProcess(0);
        }
        // 3., 4.
        vx::GLO_LOGFILE = cwd() + "\\vxlog.log";
        const std::vector<std::string>& a = arguments();
        COMMAND = a.empty() ? std::string() : a[0];
    }

    // The frame's prepare step with the console's start-up woven in, so that
    // the log is opened (5) before the settings and the relay address are
    // read (6 to 8) and the server mode (9) runs before the window shows.
    void PREPAREPROCEDURE() override {
        for (FileUse* f : files()) {
            if (f->usedCount() == 0) f->openGuarded();
            ++f->usedCount();
        }
        FILESOPENED = 1;
        GLO.AKTIVNAPROC = "Main";
        GLO.NAZIVAPP = "Morventa";
        readSettings();
        APP_WEBLOKACIJAHELPA = GLO.WEBADRESA.clip();
        fetchRelayAddress();
        // Compared as a text of 20: "S" followed only by spaces.
        if (COMMAND.view() == vx::fit("S", 20) || COMMAND.view() == vx::fit("s", 20)) unattendedServer();
        BINDFIELDS();
        window().open();
        WINDOWOPENED = 1;
        ownPreparation();
        DEFINELISTBOXSTYLE();
    }

    void ownPreparation() override {
        readModeSettings();
        hide(GLO.IPADRESA.blank() ? kLime : kRed);
        display();
        if (GLO.IDKORISNIKA == 0) {
            NAZIVKORISNIKA();
            if (GLO.IDKORISNIKA == 0) GLO.IDKORISNIKA = vx::platform().random->between(9999, 99999);
        }
        setStatusText(1, "IP Adresa servera:" + GLO.IPADRESA.clip());
        if (GLO.SAMOCLIJENT) disable(kGrant);
        if (GLO.SAMOSERVER) {
            for (int f : {kPartner, kConnect, kGroups, kAbout, kActive}) disable(f);
        }
        vx::VXF_LOG("OTVORI", vx::GLO_LOGFILE.clip());
        logLine(startLine());
    }

    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        switch (e.field) {
            case kGrant: grantAccess(); break;
            case kGrantAgain: enable(kGrant); break;
            case kConnect: startConnection(); break;
            case kConnectAgain: enable(kConnect); break;
            case kStatusPage: statusPage(); break;
            case kViewLog: viewLog(); break;
            case kSettings: PODESAVANJE(); break;
            case kGroups: GRUPE(); break;
            case kNewVersion: NOVAVERZIJA(); break;
            case kActive:
                GLO.IDPARTNERA = AKTIVNI();
                display();
                break;
            case kAbout: OPROGRAMU(); break;
            default: break;
        }
    }

    // The frame has closed the log and the window; the close-down follows.
    void returnSteps() override {
        vx::VXF_LOG("ZATVORI");
        MessageSpec m;
        m.text = "Dali da ostavim program na čekanju ?";
        m.icon = Icon::Question;
        m.buttons = BUTTON_YES | BUTTON_NO;
        m.yesNoDaNe = true;
        if (toolkit().message(m) == 2) startOrReport(cwd() + "\\Tkill.exe  winvnc.exe", "Greška 1:  |");
    }

private:
    // The VNC server line: what is started carries five spaces before "-run",
    // what is shown two; both are the forms the helpers know from before.
    std::string serverCommand(const char* beforeRun) const {
        return cwd() + "\\winvnc.exe  -autoreconnect  -ID:" + vx::num(GLO.IDKORISNIKA) + "  -connect " +
               relayForCommand() + ":5500" + beforeRun + "-run";
    }

    void grantAccess() {
        // A VNC server still running is stopped first (two spaces: the protocol).
        startOrReport(cwd() + "\\Tkill.exe  winvnc.exe", "Greška 1:  |");
        if (ask("Odobravam pristup računalu udaljenom korisniku|", "Kontrola", Icon::WinLogo) != 1) {
            say("Pristup računalu nije dozvoljen...");
            return;
        }
        vx::StartResult r = vx::platform().processes->start(serverCommand("     "));
        std::string shown = serverCommand("  ");
        MessageSpec m;
        m.text = shown;
        m.defaultButton = BUTTON_OK;
        m.copyable = true;
        toolkit().message(m);
        if (!r.ok) say("Greška 2 :" + r.error + "|||" + shown + " ");
        disable(kGrant);
        unhide(kGrantAgain);
        logLine(serverLine());
        signIn();
    }

    void startConnection() {
        startOrReport(cwd() + "\\Tkill.exe  vncviewer.exe", "Greška 2:  |");
        if (GLO.IDPARTNERA == 0) {
            say("Unesite ID broj ---");
            return;
        }
        if (ask("Start spajanja sa :|ID:" + vx::num(GLO.IDPARTNERA), "Kontrola", Icon::WinLogo) != 1) return;
        vx::StartResult r = vx::platform().processes->start(
            cwd() + "\\vncviewer.exe ID:" + vx::num(GLO.IDPARTNERA) + " -proxy " + GLO.IPADRESA.clip() + ":5900");
        if (!r.ok) say(r.error);
        disable(kConnect);
        unhide(kConnectAgain);
        logLine(viewerLine());
    }

    void statusPage() {
        // Two spaces, then the page quoted: the browser's own command line.
        vx::platform().processes->start("C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe  \"" +
                                        vx::trim(GLO.IPADRESA.view()) + ":9001/index.html\"");
    }

    void viewLog() {
        // The viewer gets the file closed; the next line appended opens it again.
        vx::closeLogFile();
        vx::platform().processes->start("Write.exe    " + vx::GLO_LOGFILE.clip());
    }

    vx::Text<20> COMMAND;  // LOC:COMMAND
};

}  // namespace

void MAIN() {
    MainWindow window;
    window.run();
}

}  // namespace morventa
