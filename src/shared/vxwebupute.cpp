// The web-instructions window VXWEBUPUTE: an address line over an embedded
// web browser, with reload, back, forward, home, search and exit buttons.
#include "shared/vxwebupute.h"

#include <string>

#include "ui/frame.h"

namespace vx {

Text<244> GL_URL_HLP;

namespace {

using namespace ui;

enum Field {
    kStart = 1,
    kAddressPrompt,
    kAddress,
    kBrowser,
    kBack,
    kForward,
    kHome,
    kSearch,
    kExit,
};

// No history entry (2), no reading from (4) and no writing to the cache (8).
constexpr int kNavigateFlags = 2 + 4 + 8;

WindowDef webInstructionsDefinition() {
    WindowDef d;
    d.title = "Alt-F4 to exit";
    d.w = 581;
    d.h = 391;
    d.centred = true;
    d.resizable = true;
    // No system menu, hence no close box: the title tells the user to use Alt-F4.
    d.systemMenu = false;
    d.timer = 100;
    d.font = Font{"Arial", 9, false, true};
    d.controls = {
        button("&Start", "burn.ico").at(479, 0, 43, 15).with(Flat),
        prompt("Address").at(3, 5).with(Transparent),
        entry(Var::of(GL_URL_HLP), Format::text(221)).at(42, 4, 356, 12).withFont(Font{"Arial", 10, true, true}),
        object("Shell.Explorer.2").at(0, 19).with(FullSize),
        button("&Natrag", "vx_ljevo.ico").at(1, 372, 57, 17).with(Flat),
        button("&Forward", "vx_desno.ico").at(65, 372, 57, 17).with(Flat),
        button("&Home", "_home.ico").at(125, 372, 57, 17).with(Flat),
        button("&Search", "process-accept.ico").at(189, 372, 57, 17).with(Flat),
        button("&Izlaz", "VXExit.ico").at(538, 0, 42, 15).with(Flat | Transparent),
    };
    return d;
}

class WebInstructions : public WindowProcedure {
public:
    explicit WebInstructions(std::string_view address)
        : WindowProcedure(webInstructionsDefinition()), XDAT(address) {}

protected:
    void entrySteps() override { GL_URL_HLP = XDAT; }

    void ownPreparation() override { post(EVENT_Accepted, kAddress); }

    // Together with the own preparation, each opening loads the address twice.
    void onOpenWindow() override { post(EVENT_Accepted, kAddress); }

    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        switch (e.field) {
            case kExit: endLoop(); break;
            case kStart: post(EVENT_Accepted, kAddress); break;
            case kAddress: navigate(); break;
            case kBack: command("GoBack"); break;
            case kForward: command("GoForward"); break;
            case kHome: command("GoHome"); break;
            case kSearch: command("GoSearch"); break;
            default: break;
        }
    }

private:
    // Without a browser control (it could not be created) the buttons do nothing.
    void navigate() {
        if (Browser* b = window().browser(kBrowser)) b->navigate(GL_URL_HLP.clip(), kNavigateFlags);
    }
    void command(const char* method) {
        if (Browser* b = window().browser(kBrowser)) b->command(method);
    }

    std::string XDAT;
};

}  // namespace

void VXWEBUPUTE(std::string_view XDAT) {
    WebInstructions w(XDAT);
    w.run();
}

}  // namespace vx
