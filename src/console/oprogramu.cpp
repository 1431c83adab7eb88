// OPROGRAMU: the console's about window; a few fixed lines and "Izlaz".
#include "console/morv001.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kExit = 6 };

WindowDef aboutDef() {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 258;
    d.h = 116;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = false;
    d.controls = {
        /* 1 */ prompt("VO Zidavar").at(6, 1, 120, 16).withFont(calibri(14, true, kNavy)),
        /* 2 */ box().at(2, 18, 253, 61).colours(kSilver).with(Rounded),
        /* 3 */ prompt("Aplikacija omogućuje spoj sa udaljenim računalom").at(29, 26, 224, 13)
                    .withFont(calibri(11, true, kNavy)),
        /* 4 */ prompt("Kvarnel Soft d.o.o., Rijeka").at(39, 41, 200, 12).withFont(calibri(10, true, kNavy)),
        /* 5 */ prompt("Ugrađena aplikacija UltraVnc").at(75, 55, 160, 12).withFont(calibri(10, true, kNavy)),
        /* 6 */ button("Izlaz", "VXIzlaz.ico").at(105, 89, 45, 14).withFont(calibri(10, true)).with(Flat | Skip),
        /* 7 */ prompt("").at(9, 104).withFont(calibri(10, true, kNavy)),
    };
    return d;
}

class About : public WindowProcedure {
public:
    About() : WindowProcedure(aboutDef()) { hasSyncWindow = true; }

protected:
    void controlEvent(const Event& e) override {
        if (e.code == EVENT_Accepted && e.field == kExit) post(EVENT_CloseWindow);
    }
};

}  // namespace

void OPROGRAMU() {
    About window;
    window.run();
}

}  // namespace morventa
