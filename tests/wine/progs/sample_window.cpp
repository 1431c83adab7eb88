// A sample window holding every control kind, run through the window frame
// with the Win32 toolkit, for driving from another process.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "ui/frame.h"
#include "ui/win32/win32_toolkit.h"

namespace {

using namespace ui;

// Fields, in declaration order.
enum Field {
    NAME_PROMPT = 1, COUNTER, IMAGE, FRAME, NAME, SHOW, LOGGING, ROWS, NOTES, BROWSER, HIDDEN_TEXT, EXIT, LAST_SEEN
};

struct Values {
    uint32_t counter = 42;
    vx::Text<20> name{"Ana"};
    uint32_t logging = 1;
    std::vector<uint32_t> rows{1, 22, 333, 4444};
    char notes[256] = "Prvi red bilješke\nDrugi red: čćžšđ";
    vx::Text<40> lastSeen;
};

class SampleWindow : public WindowProcedure {
public:
    explicit SampleWindow(Values& v) : WindowProcedure(definition(v)), v_(v) {}

private:
    static WindowDef definition(Values& v) {
        WindowDef d;
        d.title = "Uzorak";
        d.w = 320;
        d.h = 200;
        d.font = Font{"Calibri", 10, false, true};
        d.bg = 0xFBFBFB;
        d.timer = 100;
        d.statusZones = {160, 160};
        d.controls = {
            prompt("&Ime:").at(8, 8, 30, 10).withFont(Font{"Calibri", 10, true, true, 0x800000}),
            ui::display(Var::of(v.counter), Format::digits(7)).at(200, 8, 60, 10).with(Right),
            image("Plan.bmp").at(270, 4, 40, 30),
            box().at(4, 26, 190, 48).with(Rounded).colours(0xC0C0C0),
            entry(Var::of(v.name), Format::text(20)).at(40, 6, 100, 12).withTip("Upišite ime"),
            button("&Poruka", "ok.ico").at(10, 34, 60, 15).with(Flat | Default),
            check("Vodi log datoteku", Var::of(v.logging)).at(80, 36, 100, 10),
            list(Var::of(v.rows), Format::commas(8), "Broj", 50).at(8, 80, 80, 90),
            textBox(Var::buffer(v.notes, sizeof v.notes)).at(96, 80, 110, 90).with(ReadOnly | VScroll),
            object("Shell.Explorer.2").at(212, 80, 100, 90),
            string("skriveno").at(10, 56, 60, 10).with(Hidden),
            button("&Izlaz").at(260, 176, 50, 15).with(Skip),
            ui::display(Var::of(v.lastSeen), Format::text(40)).at(10, 60, 180, 10),
        };
        return d;
    }

    void ownPreparation() override { setStatusText(1, "Uzorak prozora"); }

    void windowEvent(const Event& e) override {
        if (e.code == EVENT_Timer) ++v_.counter;
    }

    void controlEvent(const Event& e) override {
        if (e.code == EVENT_NewSelection && e.field == ROWS) {
            v_.lastSeen = "red " + std::to_string(window().selectedRow(ROWS));
            return;
        }
        if (e.code != EVENT_Accepted) return;
        switch (e.field) {
            case NAME: v_.lastSeen = "ime " + v_.name.clip(); break;
            case LOGGING: v_.lastSeen = v_.logging ? "log 1" : "log 0"; break;
            case SHOW: {
                MessageSpec m;
                m.text = "Upisano ime:|" + v_.name.clip();
                m.caption = "Poruka";
                m.icon = Icon::Information;
                m.buttons = BUTTON_OK;
                toolkit().message(m);
                break;
            }
            case EXIT: post(EVENT_CloseWindow); break;
            default: break;
        }
    }

    Values& v_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vx::installWin32Platform();
    ui::win32::installWin32Toolkit();
    Values v;
    SampleWindow w(v);
    w.run();
    return 0;
}
