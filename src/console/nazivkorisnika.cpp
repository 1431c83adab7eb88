// NAZIVKORISNIKA: the registration window. Registers this desktop with the
// web registry under a name and a group and keeps the ID it is given.
#include <cstdint>
#include <limits>

#include "console/morv001.h"
#include "console/morventa.h"
#include "platform/platform.h"
#include "shared/funkcije.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kInstructions = 2, kConfirm = 9 };

WindowDef registrationDef() {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 258;
    d.h = 117;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = false;
    d.bg = kNearWhite;
    d.controls = {
        /* 1 */ prompt("Registracija korisnika ").at(0, 0, 258, 16)
                    .withFont(calibri(14, true, 0xFFFFFF)).colours(0xFFFFFF, 0x804000).with(Centre),
        /* 2 */ button("", "VXUpute.ico").at(234, 19, 18, 16).withTip("Upute za proceduru na Webu").with(Flat | Skip),
        /* 3 */ prompt("Unesite naziv za upis u evidenciju ").at(8, 23, 200, 10).withFont(calibri(10, false, kNavy)),
        /* 4 */ box().at(6, 36, 246, 48).colours(kSilver).with(Rounded),
        /* 5 */ prompt(" Naziv:").at(12, 45, 32, 10),
        /* 6 */ entry(Var::of(GLO.NAZIVKORISNIKA), Format::text(50)).at(46, 44, 198, 12)
                    .withFont(calibri(10, true)).with(Upper),
        /* 7 */ entry(Var::of(GLO.GRUPA), Format::text(20)).at(46, 64, 90, 12),
        /* 8 */ prompt("Grupa").at(12, 65, 32, 10),
        /* 9 */ button("Potvrda", "ok.ico").at(96, 92, 66, 18).with(Flat),
    };
    return d;
}

// Reply field 5 as a signed 32-bit number; anything that is not one gives 0.
int32_t replyNumber(const vx::Text<255>& field) {
    int64_t n = vx::toNumber(field.view());
    if (n > std::numeric_limits<int32_t>::max() || n < std::numeric_limits<int32_t>::min()) return 0;
    return static_cast<int32_t>(n);
}

class Registration : public WindowProcedure {
public:
    Registration() : WindowProcedure(registrationDef()) {}

protected:
    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == kInstructions) openHelpLink();
        if (e.field == kConfirm) {
            confirm();
            post(EVENT_CloseWindow);
        }
    }

private:
    void confirm() {
        if (GLO.NAZIVKORISNIKA.blank() || GLO.GRUPA.blank()) {
            say("Unesite naziv i Grupu ");
            return;
        }
        vx::setURL(GLO.WEBADRESA.clip() + "dns.php");
        // Values go in as they stand: the registry takes them unencoded.
        vx::setHREQUEST("id_user=99999&zahtjev1=INSTALL&zahtjev2=" + GLO.NAZIVKORISNIKA.clip() +
                        "&zahtjev3=" + GLO.GRUPA.clip() + "&zahtjev4=" + vx::num(vx::clockNow()));
        vx::VX_HTTP(1000000, 0);
        vx::VX_EXPLODE(vx::reply(), "|");
        std::string status = vx::trim(vx::GLO_EXPLODE[4].view()).substr(0, 3);
        int32_t number = replyNumber(vx::GLO_EXPLODE[5]);
        if (status == "REG" && number > 100) {
            // The desktop's ID is the registry's number plus one.
            GLO.IDKORISNIKA = static_cast<uint32_t>(int64_t(number) + 1);
            vx::Profile& ini = *vx::platform().profile;
            ini.write(kSection, "Glo:IDKorisnika", vx::num(GLO.IDKORISNIKA), iniPath());
            ini.write(kSection, "Glo:NazivKorisnika", GLO.NAZIVKORISNIKA.clip(), iniPath());
            say("ID=" + vx::num(number) + "|" + GLO.NAZIVKORISNIKA.str() + "|" + GLO.GRUPA.str());
        } else if (status == "REG") {
            say("Registracija nije uspjela");
        } else {
            say("Ime postoji u evidenciji");
            vx::setHREQUEST("id_user=99999&zahtjev1=INSTALL&zahtjev2=" + GLO.NAZIVSERVERA.clip() +
                            "&zahtjev3=" + vx::num(number));
            vx::VX_HTTP(1000000, 0);
            say(vx::reply());
        }
    }
};

}  // namespace

void NAZIVKORISNIKA() {
    Registration window;
    window.run();
}

}  // namespace morventa
