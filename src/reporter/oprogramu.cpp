// The about window OPROGRAMU.
#include "reporter/look.h"
#include "reporter/zilvara.h"
#include "ui/frame.h"

namespace zilvara {
namespace {

ui::WindowDef windowDefinition() {
    using namespace ui;
    WindowDef d = look::smallWindow(258, 104);
    d.controls = {
        look::heading("IP Server").at(8, 5, 160, 14),                                            // 1
        box().with(Rounded).at(4, 22, 250, 52),                                                  // 2
        look::label("Aplikacija  daje informaciju o Vašj IP adresi na Webu").at(12, 32, 234, 10),  // 3
        look::label("Kvarnel Soft d.o.o., Rijeka").at(12, 52, 234, 10),                          // 4
        look::flatButton("Izlaz", "VXIzlaz.ico").at(192, 80, 60, 20),                            // 5
    };
    return d;
}

class AboutWindow : public ui::WindowProcedure {
public:
    AboutWindow() : ui::WindowProcedure(windowDefinition()) {}

protected:
    void controlEvent(const ui::Event& e) override {
        if (e.code == ui::EVENT_Accepted && e.field == 5) post(ui::EVENT_CloseWindow);
    }
};

}  // namespace

void OPROGRAMU() {
    AboutWindow w;
    w.run();
}

}  // namespace zilvara
