// The tray menu and the restore on a double click, and the exit item IZLAZ.
#include "reporter/frame_extension.h"

#include "platform/platform.h"
#include "reporter/zilvara.h"
#include "ui/toolkit.h"

namespace zilvara {

std::atomic<FRAMEEXTENSION*> runningFrameExtension{nullptr};

namespace {
constexpr std::size_t kItemStack = 25000;
}

MenuProcedure trayMenuProcedure(int item) {
    switch (item) {
        case 1: return &PODESAVANJE;
        case 2: return &STATUS;
        case 3: return &POVIJEST;
        case 4: return &OPROGRAMU;
        case 5: return &IZLAZ;
        default: return nullptr;
    }
}

void FRAMEEXTENSION::TRAYICONMOUSERIGHT() {
    WINDOWEXTENDERCLASS::TRAYICONMOUSERIGHT();
    // Each item runs on a thread of its own, so the frame's loop goes on at once.
    if (MenuProcedure body = trayMenuProcedure(ui::toolkit().popup(kTrayMenu)))
        ui::toolkit().startThread(body, kItemStack);
}

void FRAMEEXTENSION::TRAYICONMOUSELEFT2() {
    WINDOWEXTENDERCLASS::TRAYICONMOUSELEFT2();
    // Handed to TAKEEVENT by the frame's loop, which restores the frame; the
    // posted event itself maximises nothing.
    if (ui::Window* w = ui::toolkit().currentWindow()) {
        ui::Event e;
        e.code = ui::EVENT_Maximize;
        w->post(e);
    }
}

void IZLAZ() {
    // No dead icon stays behind in the tray.
    if (FRAMEEXTENSION* ext = runningFrameExtension.load())
        if (ext->ONTRAY) ext->DELETETRAYICON();
    vx::platform().system->exitProcess(0);
}

}  // namespace zilvara
