// NOVAVERZIJA: the new-version window; a heading, two labels and a button
// that tells how an update goes. It fetches and downloads nothing.
#include "console/morv001.h"
#include "ui/frame.h"

namespace morventa {
namespace {

using namespace ui;

enum Field { kTake = 1, kCancel = 2 };

WindowDef newVersionDef() {
    WindowDef d;
    d.title = "Pregled..";
    d.w = 288;
    d.h = 103;
    d.font = Font{"Calibri", 10, false, true};
    d.systemMenu = true;
    d.bg = kNearWhite;
    d.controls = {
        /* 1 */ button("Preuzmi", "ok.ico").at(14, 74, 70, 18).with(Flat),
        /* 2 */ button("Odustani", "VXIzlaz.ico").at(204, 74, 70, 18).with(Flat),
        /* 3 */ prompt("Preuzimanje nove verzije").at(8, 4, 200, 14).withFont(calibri(14, true, kNavy)),
        /* 4 */ box().at(6, 22, 276, 76).colours(kSilver).with(Rounded),
        /* 5 */ prompt("Na računalu je instalirana program:").at(14, 32, 250, 12).withFont(calibri(12, false, kNavy)),
        /* 6 */ prompt("Na Webu se nalazi  verzija:").at(14, 50, 250, 12).withFont(calibri(12, false, kNavy)),
    };
    return d;
}

class NewVersion : public WindowProcedure {
public:
    NewVersion() : WindowProcedure(newVersionDef()) { hasSyncWindow = true; }

protected:
    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == kTake) say("Obnova programa | Proces traje nekoliko minuta | Program se gasi i ponovo starta");
        if (e.field == kCancel) post(EVENT_CloseWindow);
    }
};

}  // namespace

void NOVAVERZIJA() {
    NewVersion window;
    window.run();
}

}  // namespace morventa
