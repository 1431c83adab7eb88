// The settings window PODESAVANJE: edits GLO in place, the first
// registration PRVAREGISTRACIJANAWEB, the help page and the save of DARiriza.
#include <mutex>

#include "platform/platform.h"
#include "reporter/look.h"
#include "reporter/zilvara.h"
#include "shared/funkcije.h"
#include "shared/vxwebupute.h"
#include "ui/frame.h"

namespace zilvara {
namespace {

void show(const std::string& text) {
    ui::MessageSpec m;
    m.text = text;
    ui::toolkit().message(m);
}

ui::WindowDef windowDefinition() {
    using namespace ui;
    WindowDef d = look::smallWindow(351, 146);
    d.controls = {
        look::heading("Podešavanja  IP servera").at(8, 5, 200, 14),                          // 1
        look::flatButton("", "VXUpute.ico").withTip("Upute za proceduru na Webu").at(322, 4, 22, 18),  // 2
        entry(Var::of(GLO.NAZIVSERVERA), Format::text(20)).at(8, 26, 110, 12),              // 3
        look::label("Naziv servera u Web evidenciji").at(124, 28, 130, 10),                 // 4
        look::flatButton("Prva registracija ", "VXKnjiga.ico").at(262, 24, 82, 16),         // 5
        entry(Var::of(GLO.GRUPA), Format::text(20)).at(8, 42, 110, 12),                     // 6
        look::label("Grup u kojoj se nalazi server  u Web evidencij").at(124, 44, 170, 10), // 7
        look::label("ID Servera  ( dodjela na Webu )").at(8, 60, 120, 10),                  // 8
        entry(Var::of(GLO.IDIPSERVERA), Format::text(20)).at(134, 58, 50, 12),              // 9
        look::label("Razmak između kontrole IP adres (min) ").at(8, 76, 140, 10),           // 10
        entry(Var::of(GLO.VRIJEME), Format::digits(4)).with(Right).at(152, 74, 26, 12),     // 11
        look::label("Web adresa za prijavu (Lokacija Web servera)").at(8, 92, 200, 10),     // 12
        entry(Var::of(GLO.WEBADRESA), Format::text(100)).at(8, 102, 336, 12),               // 13
        check("Bilježi spajanje na web u  log datoteku", Var::of(GLO.RADILOGDATOTEKU))
            .colours(look::kDarkBlue).at(8, 122, 200, 12),                                  // 14
        look::flatButton("Spremi podatke", "VXPribadaca.ico").at(262, 120, 82, 18),         // 15
    };
    return d;
}

class SettingsWindow : public ui::WindowProcedure {
public:
    SettingsWindow() : ui::WindowProcedure(windowDefinition()) {}

protected:
    void controlEvent(const ui::Event& e) override {
        if (e.code != ui::EVENT_Accepted) return;
        switch (e.field) {
            case 2: vx::VXWEBUPUTE(kHelpPage); break;
            case 5: firstRegistration(); break;
            case 15: save(); break;
            default: break;
        }
    }

private:
    void firstRegistration() {
        int missing = 0;
        if (GLO.NAZIVSERVERA.blank()) {
            show("Mora se unjeti naziv IP servera |Na primjer : XYIPServer");
            missing = 1;
        }
        if (GLO.GRUPA.blank()) {
            show("Mora se unjeti naziv grupe | Na primjer:VXSERVERI ");
            missing = 1;
        }
        if (!missing) {
            int32_t result = PRVAREGISTRACIJANAWEB(GLO.NAZIVSERVERA.str(), GLO.GRUPA.str());
            // The new ID is saved only by "Spremi podatke".
            if (result != 0) GLO.IDIPSERVERA = vx::num(result);
        }
        display();
    }

    void save() {
        vx::Profile& p = *vx::platform().profile;
        const std::string path = settingsPath();
        auto write = [&](const char* key, const std::string& value) {
            p.write(kSection, key, vx::clip(value), path);
        };
        write("Glo:Vrijeme", vx::num(GLO.VRIJEME));
        write("Glo:IDIPServera", GLO.IDIPSERVERA.str());
        write("Glo:NazivServera", GLO.NAZIVSERVERA.str());
        write("Glo:Grupa", GLO.GRUPA.str());
        write("Glo:WebAdresa", GLO.WEBADRESA.str());
        write("Glo:RadiLogDatoteku", vx::num(GLO.RADILOGDATOTEKU));
        show("Spremljeno");
        post(ui::EVENT_CloseWindow);
    }
};

}  // namespace

int32_t PRVAREGISTRACIJANAWEB(const std::string&, const std::string&) {
    std::string status;  // 32 characters at most
    int32_t newId = 0;
    if (GLO.NAZIVSERVERA.blank() || GLO.GRUPA.blank()) return 0;
    {
        std::lock_guard<std::recursive_mutex> lock(vx::requestLock());
        vx::setURL(GLO.WEBADRESA.clip() + "dns.php");
        vx::setHREQUEST("id_user=99999&zahtjev1=INSTALL&zahtjev2=" + GLO.NAZIVSERVERA.clip() +
                        "&zahtjev3=" + GLO.GRUPA.clip() + "&zahtjev4=" + vx::num(vx::clockNow()));
        vx::VX_HTTP(1000000, 0);
        vx::VX_EXPLODE(vx::reply(), "|");
        status = vx::trim(vx::GLO_EXPLODE[4].view()).substr(0, 3);
        newId = static_cast<int32_t>(vx::toNumber(vx::trim(vx::GLO_EXPLODE[2].view())));
    }
    // The boxes wait for the user, so they come after the lock is given back.
    if (vx::clip(status) == "End") {
        show("ID=" + vx::num(newId) + "|Spremite podešavanje");
        return newId;
    }
    show("Ime postoji u evidenciji...");
    return 0;
}

void PODESAVANJE() {
    SettingsWindow w;
    w.run();
}

}  // namespace zilvara
