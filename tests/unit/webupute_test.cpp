// The web-instructions window on the headless toolkit: what it asks of the
// browser when it opens, when the user types an address and presses buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/vxwebupute.h"
#include "ui/headless/headless.h"

namespace {

using Log = std::vector<std::string>;
const char* const kTitle = "Alt-F4 to exit";

std::string navigation(const std::string& url) { return "Navigate(URL=\"" + url + "\",Flags=14)"; }

class WebInstructionsTest : public ::testing::Test {
protected:
    void SetUp() override { kit.install(); }
    // Browser calls logged since the last call.
    Log fresh(ui::HeadlessWindow& w) {
        Log& log = w.fakeBrowser()->log;
        Log out(log.begin() + long(seen), log.end());
        seen = log.size();
        return out;
    }
    ui::HeadlessToolkit kit;
    std::size_t seen = 0;
};

TEST_F(WebInstructionsTest, OpeningLoadsTheAddressTwiceWithoutAClick) {
    const std::string longAddress = "http://help.example/" + std::string(260, 'a');
    struct Case {
        std::string given, sent, shown;
    } cases[] = {
        {"http://localhost/dns/prikazuputa.php?id=7", "http://localhost/dns/prikazuputa.php?id=7",
         "http://localhost/dns/prikazuputa.php?id=7"},
        // Trailing blanks are not handed to the browser.
        {"http://localhost/upute.html   ", "http://localhost/upute.html", "http://localhost/upute.html"},
        // Cut at 244; the entry shows no more than its 221 characters.
        {longAddress, longAddress.substr(0, 244), longAddress.substr(0, 221)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.substr(0, 40));
        seen = 0;
        Log log;
        std::string shown;
        kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
            log = fresh(w);
            shown = w.shown(3);
            w.closeBox();
        });
        vx::VXWEBUPUTE(c.given);
        EXPECT_EQ(log, (Log{navigation(c.sent), navigation(c.sent)}));
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(vx::GL_URL_HLP.clip(), c.sent);
    }
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(WebInstructionsTest, EachButtonSendsItsCommand) {
    struct Case {
        int field;
        std::string sent;
    } cases[] = {
        {5, "GoBack"}, {6, "GoForward"}, {7, "GoHome"}, {8, "GoSearch"},
        // "&Start" loads the entry's address again.
        {1, navigation("http://localhost/a.html")},
    };
    kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) { fresh(w); });
    for (const Case& c : cases) {
        kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) { w.click(c.field); });
        kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
            EXPECT_EQ(fresh(w), Log{c.sent}) << "field " << c.field;
        });
    }
    kit.onWindow(kTitle, [](ui::HeadlessWindow& w) { w.closeBox(); });
    vx::VXWEBUPUTE("http://localhost/a.html");
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(WebInstructionsTest, ATypedAddressIsLoadedWhenCompletedAndKept) {
    const std::string typed = "http://localhost/druga.html";
    const std::string overlong = "http://x/" + std::string(240, 'b');
    kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
        fresh(w);
        w.type(3, typed);
        w.accept(3);
    });
    kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(fresh(w), Log{navigation(typed)});
        // "&Start" reloads what was typed, not what the window was opened with.
        w.click(1);
    });
    kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(fresh(w), Log{navigation(typed)});
        // The entry takes no more than 221 characters.
        w.type(3, overlong);
        w.accept(3);
    });
    kit.onWindow(kTitle, [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(fresh(w), Log{navigation(overlong.substr(0, 221))});
        w.type(3, typed);
        w.accept(3);
    });
    kit.onWindow(kTitle, [](ui::HeadlessWindow& w) { w.closeBox(); });
    vx::VXWEBUPUTE("http://localhost/prva.html");
    // The address outlives the window.
    EXPECT_EQ(vx::GL_URL_HLP.clip(), typed);
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(WebInstructionsTest, IzlazEndsTheWindowAtOnce) {
    bool laterStepRan = false;
    kit.onWindow(kTitle, [](ui::HeadlessWindow& w) {
        w.click(9);
        // Queued behind "&Izlaz"; handling it would beep. A close request
        // posted by the button would still let it through.
        w.raise(ui::EVENT_Rejected, 3);
    });
    kit.onWindow(kTitle, [&](ui::HeadlessWindow&) { laterStepRan = true; });
    vx::VXWEBUPUTE("http://localhost/a.html");
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(kit.beeps, 0);
    EXPECT_EQ(kit.unanswered, 0);
    EXPECT_EQ(kit.opened, std::vector<std::string>{kTitle});
    EXPECT_EQ(kit.find(kTitle), nullptr);  // closed by the return step
}

TEST_F(WebInstructionsTest, ACloseRequestClosesIt) {
    kit.onWindow(kTitle, [](ui::HeadlessWindow& w) { w.closeBox(); });
    vx::VXWEBUPUTE("http://localhost/a.html");
    EXPECT_EQ(kit.unanswered, 0);
    EXPECT_EQ(kit.find(kTitle), nullptr);
}

}  // namespace
