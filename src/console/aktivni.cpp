// AKTIVNI: the active sign-ins window; fetches the relay server's list of
// sign-ins and shows it as it comes, and returns the chosen ID (0).
#include <vector>

#include "console/morv001.h"
#include "console/morventa.h"
#include "shared/funkcije.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kTake = 1, kRefresh = 5 };

struct ActiveLocals {
    std::vector<uint32_t> QLISTA;  // rows of IDBROJ; nothing is known to fill it
    uint32_t ID = 0;               // LOC:ID
};

WindowDef activeDef(ActiveLocals& loc) {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 228;
    d.h = 178;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.controls = {
        /* 1 */ button("Preuzmi", "ok.ico").at(166, 2, 55, 15).with(Flat),
        /* 2 */ prompt("Aktivni klijenti").at(6, 1, 74, 15).withFont(calibri(14, true, kNavy)),
        /* 3 */ box().at(6, 19, 215, 154).colours(kSilver).with(Rounded),
        /* 4 */ list(Var::of(loc.QLISTA), Format::digits(6), "Id Broj", 52).at(13, 23, 57, 142)
                    .colours(kNoColour, 0xFFFFFF).with(Centre),
        /* 5 */ button("Obnovi", "VXizmjena.ico").at(82, 1, 55, 15).with(Flat),
        /* 6 */ textBox(Var::buffer(vx::MESSA, sizeof vx::MESSA)).at(80, 24, 135, 140)
                    .withFont(calibri(11)).colours(kNoColour, 0xFFFFFF).with(ReadOnly | Boxed | VScroll | Skip),
    };
    return d;
}

class Active : private ActiveLocals, public WindowProcedure {
public:
    Active() : WindowProcedure(activeDef(*this)) { hasSyncWindow = true; }
    uint32_t result() const { return ID; }

protected:
    void ownPreparation() override {
        REFRESHWIN();
        display();
    }

    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == kTake) post(EVENT_CloseWindow);
        if (e.field == kRefresh) {
            REFRESHWIN();
            display();
        }
    }

private:
    static void REFRESHWIN() {
        vx::setHREQUEST("");
        vx::setURL("http://" + GLO.IPADRESA.clip() + ":8080/prijave.txt");
        // The list is the one request that asks for at most 50,000 bytes.
        vx::VX_HTTP(50000, 1);
    }
};

}  // namespace

uint32_t AKTIVNI() {
    Active window;
    window.run();
    return window.result();
}

}  // namespace morventa
