// The history window POVIJEST: opens the connection-history file in the
// text viewer.
#include "platform/platform.h"
#include "reporter/look.h"
#include "reporter/zilvara.h"
#include "ui/frame.h"

namespace zilvara {
namespace {

ui::WindowDef windowDefinition() {
    using namespace ui;
    WindowDef d = look::smallWindow(258, 94);
    d.controls = {
        look::heading("IP Server").at(8, 5, 160, 14),                                              // 1
        box().with(Rounded).at(4, 22, 250, 42),                                                    // 2
        look::label("U podešavanju treba se ukključiti opcija evidentiranja spajanja").at(12, 34, 234, 20),  // 3
        look::flatButton("Izlaz", "VXIzlaz.ico").at(192, 70, 60, 20),                              // 4
        look::flatButton("Pregled povjesti spajanja", "VXOtvori.ico").at(60, 70, 126, 20),         // 5
    };
    return d;
}

class HistoryWindow : public ui::WindowProcedure {
public:
    HistoryWindow() : ui::WindowProcedure(windowDefinition()) {}

protected:
    void controlEvent(const ui::Event& e) override {
        if (e.code != ui::EVENT_Accepted) return;
        if (e.field == 5) {
            // One space after the program, the directory unquoted: what the viewer is given.
            vx::platform().processes->start("Write.exe " + vx::platform().system->currentDirectory() +
                                            "\\Evidencija_spajanja.log");
        } else if (e.field == 4) {
            post(ui::EVENT_CloseWindow);
        }
    }
};

}  // namespace

void POVIJEST() {
    HistoryWindow w;
    w.run();
}

}  // namespace zilvara
