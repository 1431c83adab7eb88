// GRUPE_KREIRAJ: the new-group window; what is typed stays in the window and
// is dropped when it closes.
#include "console/morv001.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

// The window's locals, built before the window that binds them.
struct NewGroupLocals {
    vx::Text<20> KORISNIK;    // LOC:KORISNIK
    vx::Text<20> PASSWORD;    // LOC:PASSWORD
    vx::Text<30> OPISGRUPE;   // LOC:OPISGRUPE
};

WindowDef newGroupDef(NewGroupLocals& loc) {
    WindowDef d;
    d.title = "Otvaranje nove grupe";
    d.w = 278;
    d.h = 123;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.bg = kNearWhite;
    d.controls = {
        /* 1 */ prompt("Otvaranje nove grupe korisnika").at(8, 4, 220, 14).withFont(calibri(12, true, kNavy)),
        /* 2 */ prompt("Korisnik:").at(12, 28, 50, 10),
        /* 3 */ entry(Var::of(loc.KORISNIK), Format::text(20)).at(70, 27, 100, 12),
        /* 4 */ prompt("Password:").at(12, 46, 50, 10),
        /* 5 */ entry(Var::of(loc.PASSWORD), Format::text(20)).at(70, 45, 100, 12),
        /* 6 */ prompt("Opis Grupe:").at(12, 64, 50, 10),
        /* 7 */ entry(Var::of(loc.OPISGRUPE), Format::text(30)).at(70, 63, 150, 12),
        /* 8 */ button("Kontrola", "VXOznaci.ico").at(106, 92, 66, 18).with(Flat),
    };
    return d;
}

// No handlers of its own: "Kontrola" does nothing, the close box closes.
class NewGroup : private NewGroupLocals, public WindowProcedure {
public:
    NewGroup() : WindowProcedure(newGroupDef(*this)) {}
};

}  // namespace

void GRUPE_KREIRAJ() {
    NewGroup window;
    window.run();
}

}  // namespace morventa
