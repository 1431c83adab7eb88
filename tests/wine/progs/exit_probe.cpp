// A separate process for the exit tests: builds a window with a large picture
// to scale, then ends through the platform's exit at once, as a second start
// of either program does from its entry steps.
// Usage: exit_probe <exit code> [slow]. With "slow" the scaling takes 300 ms
// and then prints "scaled", which only a process that waits for it shows.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/win32/win32_platform.h"
#include "ui/frame.h"
#include "ui/win32/images.h"
#include "ui/win32/win32_toolkit.h"

namespace {

void slowScaling() {
    Sleep(300);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "scaled\n", 7, &written, nullptr);
}

ui::WindowDef probeWindow() {
    ui::WindowDef d;
    d.title = "Izlaz";
    d.w = 400;
    d.h = 240;
    d.icon = "Morventa.ico";
    d.controls = {
        ui::image("Gradient.bmp").at(0, 0, 400, 200),
        ui::button("&Izlaz", "VXIzlaz.ico").at(340, 210, 50, 15),
    };
    return d;
}

class LeavingAtOnce : public ui::WindowProcedure {
public:
    explicit LeavingAtOnce(int code) : ui::WindowProcedure(probeWindow()), code_(code) {}

protected:
    void entrySteps() override { vx::platform().system->exitProcess(code_); }

private:
    int code_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    vx::installWin32Platform();
    ui::win32::installWin32Toolkit();
    if (argc > 2 && std::strcmp(argv[2], "slow") == 0) ui::win32::setScalingHook(&slowScaling);
    LeavingAtOnce(std::atoi(argv[1])).run();
    return 3;  // the exit above does not return
}
