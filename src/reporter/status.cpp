// The status window STATUS: the address and time of the last check, the
// time left to the next one (ticking every second) and a check on demand.
#include <mutex>

#include "platform/platform.h"
#include "reporter/look.h"
#include "reporter/zilvara.h"
#include "shared/funkcije.h"
#include "ui/frame.h"

namespace zilvara {
namespace {

// What the window shows: copies of the shared fields taken under the
// request lock, so a check on another thread never tears them.
struct Shown {
    vx::Text<20> IPADRESA;
    int32_t ZADNJAKONTROLA = 0;
    vx::Text<24> PRESTALOVRIJEME;  // the time left, as shown
};

constexpr int64_t kDay = 24 * 60 * 60 * 100;  // hundredths of a second

// The time left in the regional time format. The format holds one day at
// most, so a longer interval shows its whole days in front ("2 d 3:04:05")
// rather than a wrong small time.
std::string timeLeftText(uint32_t left) {
    const ui::Format time = ui::Format::time();
    int32_t rest = int32_t(left);
    std::string days;
    // Read as a time of day the value counts from 1, so a day is reached only past kDay.
    if (int64_t(left) > kDay) {
        days = vx::num((int64_t(left) - 1) / kDay) + " d ";
        rest = int32_t(int64_t(left) - (int64_t(left) - 1) / kDay * kDay);
    }
    return days + ui::formatValue(ui::Var::of(rest), time);
}

ui::WindowDef windowDefinition(Shown& s) {
    using namespace ui;
    WindowDef d = look::smallWindow(258, 122);
    d.timer = 100;
    d.controls = {
        look::heading("Trenutni status").at(8, 5, 160, 14),                          // 1
        box().with(Rounded).at(4, 22, 250, 66),                                      // 2
        look::label("IP adresa:").at(14, 32, 80, 10),                                // 3
        display(Var::of(s.IPADRESA), Format::text(20)).at(100, 32, 140, 10),         // 4
        look::label("Zadnja kontrola:").at(14, 48, 80, 10),                          // 5
        display(Var::of(s.ZADNJAKONTROLA), Format::time()).at(100, 48, 80, 10),      // 6
        look::label("Preostalo vrijeme:").at(14, 64, 80, 10),                        // 7
        display(Var::of(s.PRESTALOVRIJEME), Format::text(24)).at(100, 64, 80, 10),   // 8
        look::flatButton("Izlaz", "VXIzlaz.ico").at(192, 96, 60, 20),                // 9
        look::flatButton("Obnovi", "VXizmjena.ico").at(126, 96, 60, 20),             // 10
        look::label("Status:").at(8, 100, 40, 10),                                   // 11
    };
    return d;
}

class StatusWindow : public ui::WindowProcedure {
public:
    StatusWindow() : ui::WindowProcedure(windowDefinition(shown_)) {}

protected:
    void ownPreparation() override { refresh(); }

    void windowEvent(const ui::Event& e) override {
        if (e.code == ui::EVENT_Timer) refresh();
    }

    void controlEvent(const ui::Event& e) override {
        if (e.code != ui::EVENT_Accepted) return;
        if (e.field == 10) {
            PRIJAVA();
            refresh();
            display();
            ui::MessageSpec m;
            m.text = "OK";
            ui::toolkit().message(m);
        } else if (e.field == 9) {
            post(ui::EVENT_CloseWindow);
        }
    }

private:
    void refresh() {
        const uint64_t now = vx::platform().clock->tickMs();
        // A check running on another thread holds the lock: keep the last
        // copies and count down from them rather than wait for it.
        std::unique_lock<std::recursive_mutex> lock(vx::requestLock(), std::try_to_lock);
        if (lock.owns_lock()) {
            shown_.IPADRESA = GLO.IPADRESA.view();
            shown_.ZADNJAKONTROLA = GLO.ZADNJAKONTROLA;
            vrijeme_ = GLO.VRIJEME;
            check_ = lastCheck();
        }
        const int64_t left = timeLeft(vrijeme_, check_, now);
        // An overdue check shows 0:00:00.
        const uint32_t value = left <= 0 ? 0u : left > 0xFFFFFFFFLL ? 0xFFFFFFFFu : uint32_t(left);
        shown_.PRESTALOVRIJEME = timeLeftText(value);
        if (lock.owns_lock()) GLO.PRESTALOVRIJEME = value;
    }

    Shown shown_;
    int16_t vrijeme_ = 0;
    LastCheck check_;
};

}  // namespace

void STATUS() {
    StatusWindow w;
    w.run();
}

}  // namespace zilvara
