// The reporter's entry procedure _main and main procedure MAIN: the
// application frame that lives in the tray and runs the periodic check.
#include <memory>
#include <mutex>

#include "platform/platform.h"
#include "reporter/frame_extension.h"
#include "reporter/zilvara.h"
#include "shared/funkcije.h"
#include "shared/unique.h"
#include "ui/frame.h"

namespace zilvara {
namespace {

int32_t LCURRENTFDSETTING = 0;  // dragging with full contents, as found at start

// The frame carries a message text of the maker's; nothing uses it.
constexpr const char* kFrameMessage = "Kvarnel Soft - Kvarnel Skladištar";

ui::WindowDef frameDefinition() {
    ui::WindowDef d;
    d.title = "Kvarnel Soft 2009-2026";
    d.w = 396;
    d.h = 261;
    d.icon = "IPAdresa.ico";
    d.wallpaper = "Plan.bmp";
    d.systemMenu = true;
    d.maximiseBox = true;
    d.minimiseBox = true;
    d.resizable = true;
    d.iconised = true;
    d.timer = 200;
    return d;
}

class MainFrame : public ui::WindowProcedure {
public:
    MainFrame() : ui::WindowProcedure(frameDefinition()) { (void)kFrameMessage; }

protected:
    void entrySteps() override {
        extension_ = std::make_unique<FRAMEEXTENSION>();
        // A second instance ends silently.
        if (vx::BEGINUNIQUE("Zilvara.exe") == 0) vx::platform().system->exitProcess(0);
    }

    void PREPAREPROCEDURE() override {
        loadSettings();
        if (GLO.IDIPSERVERA.blank()) {
            ui::MessageSpec m;
            m.text =
                "Podaci nisu potpuni ...||Otvorite podešavanja|Unesite naziv Servera i Grupu "
                "|Pritisnite registracija |Nakon što se dodsjeli ID broj spremite podatke";
            ui::toolkit().message(m);
        } else {
            PRIJAVA();  // before the frame is shown
        }
        ui::WindowProcedure::PREPAREPROCEDURE();
    }

    void ownPreparation() override {
        extension_->INIT(window(), 0, 1, definition().icon, kTrayTip);
        runningFrameExtension = extension_.get();
    }

    void beforeEvent(const ui::Event&) override { extension_->TAKEEVENT(); }

    void windowEvent(const ui::Event& e) override {
        if (e.code != ui::EVENT_Timer) return;
        // While a status window's check runs, this tick passes; that check counts.
        std::unique_lock<std::recursive_mutex> busy(vx::requestLock(), std::try_to_lock);
        if (busy.owns_lock() && checkDue()) PRIJAVA();
    }

    void returnSteps() override {
        // Before the window object goes: DESTRUCT puts its procedure back.
        runningFrameExtension = nullptr;
        if (extension_) extension_->DESTRUCT();
        extension_.reset();
    }

private:
    std::unique_ptr<FRAMEEXTENSION> extension_;
};

}  // namespace

void MAIN() {
    MainFrame frame;
    frame.run();
}

void _main() {
    vx::System& system = *vx::platform().system;
    LCURRENTFDSETTING = system.dragFullWindows();
    if (LCURRENTFDSETTING == 1) system.setDragFullWindows(0);
    MAIN();
    if (LCURRENTFDSETTING == 1) system.setDragFullWindows(1);
}

}  // namespace zilvara
