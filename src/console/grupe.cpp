// GRUPE: the partner groups window, with the group's user name and password
// and the buttons that open the new-group and add-user windows.
#include "console/morv001.h"
#include "console/morventa.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kInstructions = 1, kCreate = 2, kAddUser = 6, kRequest = 11, kConnect = 12 };

WindowDef groupsDef() {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 364;
    d.h = 262;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.bg = kNearWhite;
    Font label = calibri(12, false, kNavy);
    d.controls = {
        /* 1 */ button("", "VXUpute.ico").at(340, 3, 18, 16).withTip("Upute za proceduru na Webu").with(Flat),
        /* 2 */ button("Kreiraj račun", "VXplus.ico").at(262, 3, 74, 16).with(Flat),
        /* 3 */ prompt("Grupe partnera").at(8, 4, 150, 14).withFont(calibri(14, true, kNavy)),
        /* 4 */ box().at(6, 24, 352, 26).colours(kSilver).with(Rounded),
        /* 5 */ button("Otvori", "VXizmjena.ico").at(300, 29, 54, 16).with(Flat),
        /* 6 */ button("Dodaj korisnika", "VXPlan.ico").at(284, 56, 74, 16).with(Flat),
        /* 7 */ prompt("Korisnik:").at(12, 32, 44, 12).withFont(label),
        /* 8 */ entry(Var::of(GLO.KORGRUPE), Format::text(20)).at(58, 31, 90, 12),
        /* 9 */ prompt("Password:").at(154, 32, 46, 12).withFont(label),
        /* 10 */ entry(Var::of(GLO.KORPASWORD), Format::text(20)).at(202, 31, 90, 12),
        /* 11 */ button("Zahtjev za spajanje", "VXPribadaca.ico").at(92, 56, 74, 16).with(Flat),
        /* 12 */ button("Spajanje", "VXVeza.ico").at(168, 56, 54, 16).with(Flat),
        /* 13 */ button("Prekid  čekanja", "VXXPribadaca.ico").at(224, 56, 58, 16).with(Flat),
        /* 14 */ prompt("Pregled korisnika").at(8, 59, 82, 12).withFont(label),
        /* 15 */ box().at(6, 74, 82, 6).colours(kSilver).with(Rounded),
        /* 16 */ box().at(6, 82, 351, 174).colours(kSilver).with(Rounded),
    };
    return d;
}

class Groups : public WindowProcedure {
public:
    Groups() : WindowProcedure(groupsDef()) { hasSyncWindow = true; }

protected:
    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        switch (e.field) {
            case kInstructions: openHelpLink(); break;
            case kCreate: GRUPE_KREIRAJ(); break;
            case kAddUser: GRUPE_DODAJ_KORISNIKA(GLO.KORGRUPE.view(), GLO.KORPASWORD.view()); break;
            case kRequest: say("Obnova programa | Proces traje nekoliko minuta | Program se gasi i ponovo starta"); break;
            case kConnect: post(EVENT_CloseWindow); break;
            default: break;  // "Otvori" and "Prekid  čekanja" do nothing
        }
    }
};

}  // namespace

void GRUPE() {
    Groups window;
    window.run();
}

}  // namespace morventa
