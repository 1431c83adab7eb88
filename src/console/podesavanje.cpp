// PODESAVANJE: the console's settings window. Edits the seven settings in
// place; "Spremi podatke" writes them, signs in and closes.
#include "console/morv001.h"
#include "console/morventa.h"
#include "platform/platform.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kRename = 6, kSave = 18 };

WindowDef settingsDef() {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 348;
    d.h = 172;
    d.font = Font{"Calibri", 11, false, true};
    d.systemMenu = true;
    d.bg = kNearWhite;
    d.controls = {
        /* 1 */ prompt("Podešavanja  VO Zidavara").at(8, 3, 200, 14).withFont(calibri(14, true, kNavy)),
        /* 2 */ box().at(6, 20, 336, 58).colours(kSilver).with(Rounded),
        /* 3 */ entry(Var::of(GLO.IDKORISNIKA), Format::digits(5)).at(110, 26, 50, 12).with(Right),
        /* 4 */ prompt("ID   Korisnika").at(12, 27, 90, 10),
        /* 5 */ entry(Var::of(GLO.NAZIVKORISNIKA), Format::text(50)).at(110, 42, 136, 12),
        /* 6 */ button("Izmjena naziva korisnika", "VXVeza.ico").at(250, 24, 88, 30).with(Flat | Skip),
        /* 7 */ prompt("Naziv korisnika:").at(12, 43, 90, 10),
        /* 8 */ entry(Var::of(GLO.GRUPA), Format::text(20)).at(110, 58, 90, 12),
        /* 9 */ prompt("Grup u kojoj se nalazi  korisnika").at(12, 59, 96, 10),
        /* 10 */ box().at(6, 82, 336, 46).colours(kSilver).with(Rounded),
        /* 11 */ entry(Var::of(GLO.NAZIVSERVERA), Format::text(20)).at(110, 88, 90, 12),
        /* 12 */ prompt("Naziv servera u Web evidenciji").at(12, 89, 96, 10),
        /* 13 */ entry(Var::of(GLO.WEBADRESA), Format::text(100)).at(12, 112, 324, 12),
        /* 14 */ box().at(6, 132, 200, 36).colours(kSilver).with(Rounded),
        /* 15 */ check("Starta se samo klijent", Var::of(GLO.SAMOCLIJENT)).at(12, 152, 150, 11),
        /* 16 */ check("Starta se samo  server ", Var::of(GLO.SAMOSERVER)).at(12, 138, 150, 11),
        /* 17 */ prompt("Web adresa za prijavu (Lokacija Web servera)").at(12, 101, 220, 10),
        /* 18 */ button("Spremi podatke", "VXPribadaca.ico").at(230, 140, 104, 20).with(Flat | Skip),
    };
    return d;
}

class Settings : public WindowProcedure {
public:
    Settings() : WindowProcedure(settingsDef()) {}

protected:
    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == kRename) NAZIVKORISNIKA();
        if (e.field == kSave) {
            save();
            signIn();
            say("Spremljeno");
            post(EVENT_CloseWindow);
        }
    }

private:
    static void save() {
        vx::Profile& ini = *vx::platform().profile;
        const std::string path = iniPath();
        auto put = [&](const char* key, const std::string& value) { ini.write(kSection, key, value, path); };
        put("Glo:IDKorisnika", vx::num(GLO.IDKORISNIKA));
        put("Glo:NazivKorisnika", GLO.NAZIVKORISNIKA.clip());
        put("Glo:Grupa", GLO.GRUPA.clip());
        put("Glo:WebAdresa", GLO.WEBADRESA.clip());
        put("Glo:NazivServera", GLO.NAZIVSERVERA.clip());
        put("Glo:SamoClijent", vx::num(GLO.SAMOCLIJENT));
        put("Glo:SamoServer", vx::num(GLO.SAMOSERVER));
    }
};

}  // namespace

void PODESAVANJE() {
    Settings window;
    window.run();
}

}  // namespace morventa
