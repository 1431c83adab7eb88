// GRUPE_DODAJ_KORISNIKA: the add-user window; shows the group's user name
// and password read-only and takes a user's description and ID.
#include <string>

#include "console/morv001.h"
#include "console/morventa.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kInstructions = 1, kConfirm = 11, kCancel = 12 };

// The window's locals, built before the window that binds them.
struct AddUserLocals {
    vx::Text<20> KORISNIK;           // LOC:KORISNIK
    vx::Text<20> PASSWORD;           // LOC:PASSWORD
    vx::Text<100> OPISKORISNIKA;     // LOC:OPISKORISNIKA
    uint32_t ID = 0;                 // LOC:ID
};

WindowDef addUserDef(AddUserLocals& loc) {
    constexpr uint32_t kLightYellow = 0xCCFFFF;
    WindowDef d;
    d.title = "Dodavanje korisnika";
    d.w = 308;
    d.h = 108;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.bg = kNearWhite;
    d.controls = {
        /* 1 */ button("", "VXUpute.ico").at(284, 3, 18, 16).withTip("Upute za proceduru na Webu").with(Flat),
        /* 2 */ string("Dodavanje korisnika u grupu").at(8, 4, 200, 12).withFont(calibri(12, true, kNavy)),
        /* 3 */ prompt("Korisnik:").at(12, 24, 44, 10),
        /* 4 */ entry(Var::of(loc.KORISNIK), Format::text(20)).at(58, 23, 90, 12).with(ReadOnly),
        /* 5 */ prompt("Password:").at(156, 24, 44, 10),
        /* 6 */ entry(Var::of(loc.PASSWORD), Format::text(20)).at(202, 23, 90, 12).with(ReadOnly),
        /* 7 */ prompt("Opis Korisnika:").at(12, 46, 60, 10),
        /* 8 */ entry(Var::of(loc.OPISKORISNIKA), Format::text(100)).at(76, 45, 222, 12).colours(kNoColour, kLightYellow),
        /* 9 */ prompt("ID:").at(12, 64, 60, 10),
        /* 10 */ entry(Var::of(loc.ID), Format::commas(13)).at(76, 63, 70, 12).colours(kNoColour, kLightYellow).with(Right),
        /* 11 */ button("Potvrdi unos", "VXplus.ico").at(150, 86, 72, 17).with(Flat),
        /* 12 */ button("Odustani", "VXIzlaz.ico").at(228, 86, 72, 17).with(Flat),
        /* 13 */ box().at(6, 40, 296, 40).colours(kSilver).with(Rounded),
    };
    return d;
}

class AddUser : private AddUserLocals, public WindowProcedure {
public:
    AddUser(std::string_view xkor, std::string_view pass)
        : WindowProcedure(addUserDef(*this)), XKOR(xkor), PASS(pass) {
        hasSyncWindow = true;
    }

protected:
    void ownPreparation() override {
        KORISNIK = XKOR;  // cut to 20, filled up with spaces
        PASSWORD = PASS;
    }

    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == kInstructions) openHelpLink();
        if (e.field == kCancel) post(EVENT_CloseWindow);
        // "Potvrdi unos" stores and sends nothing.
    }

private:
    std::string XKOR, PASS;  // the parameters, passed by value
};

}  // namespace

void GRUPE_DODAJ_KORISNIKA(std::string_view XKOR, std::string_view PASS) {
    AddUser window(XKOR, PASS);
    window.run();
}

}  // namespace morventa
