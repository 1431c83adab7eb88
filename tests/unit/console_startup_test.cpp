// The console's start-up: the order of its steps, the settings it reads, the
// relay address, the unattended server mode, the guard and the close-down.
#include <string>
#include <vector>

#include "console_fixture.h"

namespace {

using Strings = std::vector<std::string>;
const char* const kMain = "VO Zidavar";

using StartUp = ConsoleTest;

TEST_F(StartUp, RegisteredStartShowsTheDesktopAndLogsTheStart) {
    registered();
    tp.clock.set({2026, 12, 5, 8, 7, 9, 0});
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(2), "0000501");
        EXPECT_EQ(w.shown(20), "10.0.0.5");
        EXPECT_EQ(w.shown(28), "MARKO");
        EXPECT_EQ(w.shown(29), "KOR");
        EXPECT_TRUE(w.isHidden(26)) << "red light";
        EXPECT_FALSE(w.isHidden(25)) << "lime light";
        EXPECT_EQ(w.status(1), "IP Adresa servera:10.0.0.5");
        EXPECT_TRUE(w.isEnabled(17));
        EXPECT_TRUE(w.isHidden(19));
        EXPECT_TRUE(w.isHidden(24));
        w.closeBox();
    });
    morventa::MAIN();

    ASSERT_EQ(tp.sender.calls.size(), 1u);
    EXPECT_EQ(tp.sender.calls[0].url, kRelayUrl);
    EXPECT_EQ(tp.sender.calls[0].length, 1000000);
    EXPECT_EQ(tp.sender.calls[0].mode, 1);
    EXPECT_EQ(kit.opened, Strings{kMain}) << "no registration when the ID is known";
    EXPECT_EQ(vx::GLO_LOGFILE.clip(), "C:\\vxlog.log");
    // Day and hour carry a space in place of a leading zero; the line's
    // trailing space does not reach the file.
    EXPECT_EQ(log(), " 5.12.2026  8:07:09 Start programa\r\n");
    EXPECT_EQ(morventa::APP_WEBLOKACIJAHELPA.clip(), "http://reg.example/dns/");
    EXPECT_EQ(morventa::GLO.AKTIVNAPROC.clip(), "Main");
    EXPECT_EQ(morventa::GLO.NAZIVAPP.clip(), "Morventa");
}

TEST_F(StartUp, CloseDownAsksAndStopsTheServerOnlyOnNe) {
    struct Case {
        int drag, answer;
        std::vector<int> dragWrites;
        Strings started;
    } cases[] = {
        {1, 1, {0, 1}, {}},
        {1, 2, {0, 1}, {"C:\\Tkill.exe  winvnc.exe"}},
        {0, 2, {}, {"C:\\Tkill.exe  winvnc.exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("drag " + std::to_string(c.drag) + " answer " + std::to_string(c.answer));
        again();
        registered();
        tp.system.drag = c.drag;
        kit.onWindow(kMain, [](ui::HeadlessWindow& w) { w.closeBox(); });
        kit.onMessage = [&](const ui::MessageSpec& m) {
            // The window is gone and the log closed when the question shows.
            EXPECT_EQ(kit.find(kMain), nullptr);
            EXPECT_EQ(vx::LOGFILE().usedCount(), 0);
            EXPECT_EQ(m.text, "Dali da ostavim program na čekanju ?");
            EXPECT_EQ(m.caption, "");
            EXPECT_EQ(m.icon, ui::Icon::Question);
            EXPECT_TRUE(m.yesNoDaNe);
        };
        kit.answer(c.answer);
        morventa::_main();
        EXPECT_EQ(kit.messages.size(), 1u);
        EXPECT_EQ(tp.processes.started, c.started);
        EXPECT_EQ(tp.system.dragWrites, c.dragWrites);
        kit.onMessage = nullptr;
    }
}

TEST_F(StartUp, WithoutSettingsTheRegistrationOpensAndARandomIdServesTheRun) {
    tp.random.next = {54321};
    std::vector<uint32_t> seenByRegistration;
    kit.onWindow("Pregled..", [&](ui::HeadlessWindow& w) {
        // Opened right after the main window, with the defaults loaded.
        EXPECT_EQ(kit.opened, (Strings{kMain, "Pregled.."}));
        EXPECT_EQ(w.shown(7), "KOR");
        seenByRegistration.push_back(morventa::GLO.IDKORISNIKA);
        w.closeBox();  // left without registering
    });
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(2), "0054321");
        EXPECT_FALSE(w.isHidden(26)) << "no relay: red light";
        EXPECT_TRUE(w.isHidden(25));
        EXPECT_EQ(w.status(1), "IP Adresa servera:");
        w.closeBox();
    });
    morventa::MAIN();
    EXPECT_EQ(seenByRegistration, std::vector<uint32_t>{0});
    ASSERT_GE(tp.sender.calls.size(), 1u);
    EXPECT_EQ(tp.sender.calls[0].url, "http://localhost/dns/ZEDOVORIDI.txt");
    EXPECT_EQ(morventa::GLO.NAZIVSERVERA.clip(), "ZEDOVORIDI");
    EXPECT_EQ(ini(), "") << "start-up writes no settings";
}

TEST_F(StartUp, RandomIdIsDrawnFrom9999To99999) {
    // The draw's bounds, not the fake's value, decide the range.
    struct Recorder : vx::Random {
        uint32_t lo = 0, hi = 0;
        uint32_t between(uint32_t l, uint32_t h) override { lo = l; hi = h; return l; }
    } recorder;
    vx::platform().random = &recorder;
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.closeBox(); });
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) { w.closeBox(); });
    morventa::MAIN();
    EXPECT_EQ(recorder.lo, 9999u);
    EXPECT_EQ(recorder.hi, 99999u);
    EXPECT_EQ(morventa::GLO.IDKORISNIKA, 9999u);
}

TEST_F(StartUp, RelayAddressIsCleanedBeforeItReachesACommandLine) {
    struct Case {
        std::string reply, address;
    } cases[] = {
        {"10.0.0.5", "10.0.0.5"},
        {"10.0.0.5\r\n", "10.0.0.5"},                  // a file ending in a line break
        {" \t relay.example \r\n", "relay.example"},
        {"123456789012345678901234", "12345678901234567890"},  // cut to 20
        {"10.0.0.5 -run evil", ""},                     // would add arguments
        {"10.0.0.5\r\nsecond line", ""},
        {"a\"b", ""},
        {std::string("ho\x01st"), ""},
        {"", ""},
        {"   ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.reply + "]");
        EXPECT_EQ(morventa::relayFromReply(c.reply), c.address);
    }
}

TEST_F(StartUp, RelayWithAnEmbeddedSpaceShowsAsUnknown) {
    registered();
    tp.sender.replies[kRelayUrl] = "10.0.0.5 x";
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) {
        EXPECT_FALSE(w.isHidden(26));
        EXPECT_TRUE(w.isHidden(25));
        EXPECT_EQ(w.status(1), "IP Adresa servera:");
        w.closeBox();
    });
    morventa::MAIN();
    EXPECT_TRUE(morventa::GLO.IPADRESA.blank());
}

TEST_F(StartUp, ServerModeStartsTheVncServerFromVxdnsAndEnds) {
    struct Case {
        Strings args;
        bool unattended;
    } cases[] = {
        {{"S"}, true},
        {{"s"}, true},
        {{"S  "}, true},  // compared as a text of 20
        {{"Sx"}, false},
        {{"Server"}, false},
        {{"", "S"}, false},  // S only as the second parameter
        {{}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "none" : "[" + c.args[0] + "]");
        again();
        registered();
        tp.system.drag = 1;
        morventa::setArguments(c.args);
        kit.onWindow(kMain, [](ui::HeadlessWindow& w) { w.closeBox(); });
        if (c.unattended) {
            try {
                morventa::_main();
                ADD_FAILURE() << "the process should have ended";
            } catch (const vx::ProcessExit& e) {
                EXPECT_EQ(e.code, 0);
            }
            EXPECT_TRUE(kit.opened.empty()) << "no window";
            EXPECT_TRUE(kit.messages.empty()) << "no close-down question";
            EXPECT_EQ(tp.processes.started,
                      (Strings{"C:\\VXDNS\\Tkill.exe  winvnc.exe",
                               "C:\\VXDNS\\winvnc.exe  -autoreconnect  -ID:501  -connect 10.0.0.5:5500  -run"}));
            EXPECT_EQ(tp.system.sleeps, (std::vector<int>{350, 350}));
            EXPECT_EQ(tp.system.dragWrites, std::vector<int>{0}) << "the setting is not restored";
            EXPECT_EQ(log(), "10.12.2026 10:00:00 Server :501\r\n");
        } else {
            morventa::_main();
            EXPECT_EQ(kit.opened, Strings{kMain});
            EXPECT_TRUE(tp.processes.started.empty());
        }
    }
}

TEST_F(StartUp, ServerModeOfAnUnregisteredDesktopPassesIdZero) {
    tp.sender.replies["http://localhost/dns/ZEDOVORIDI.txt"] = "relay.example";
    morventa::setArguments({"S"});
    EXPECT_THROW(morventa::MAIN(), vx::ProcessExit);
    ASSERT_EQ(tp.processes.started.size(), 2u);
    EXPECT_EQ(tp.processes.started[1],
              "C:\\VXDNS\\winvnc.exe  -autoreconnect  -ID:0  -connect relay.example:5500  -run");
    EXPECT_TRUE(kit.opened.empty()) << "no registration either";
}

TEST_F(StartUp, SecondInstanceIsRefusedBeforeAnythingElse) {
    registered();
    tp.events.held["Morventa.exe_UEvent"] = 1;  // the first instance holds it
    try {
        morventa::_main();
        ADD_FAILURE() << "the process should have ended";
    } catch (const vx::ProcessExit& e) {
        EXPECT_EQ(e.code, 0);
    }
    ASSERT_EQ(kit.messages.size(), 1u);
    const ui::MessageSpec& m = kit.messages[0];
    EXPECT_EQ(m.text, "Program je već startan|Provjerite na traci dolje |"
                      "Program se ne smije više puta startati na istom računalu|");
    EXPECT_EQ(m.caption, "Kontrola");
    EXPECT_EQ(m.icon, ui::Icon::WinLogo);
    EXPECT_EQ(m.buttons, unsigned(ui::BUTTON_OK));
    EXPECT_TRUE(kit.opened.empty());
    EXPECT_TRUE(tp.sender.calls.empty());
    EXPECT_EQ(log(), "") << "the log is not touched";
}

TEST_F(StartUp, OnlyClientAndOnlyServerDisableTheirButtons) {
    struct Case {
        std::string keys;
        std::vector<int> disabled;
    } cases[] = {
        {"", {}},
        {"Glo:SamoClijent=1\r\n", {17}},
        {"Glo:SamoServer=1\r\n", {12, 14, 15, 22, 23}},
        {"Glo:SamoClijent=1\r\nGlo:SamoServer=1\r\n", {12, 14, 15, 17, 22, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        again();
        registered(c.keys);
        kit.onWindow(kMain, [&](ui::HeadlessWindow& w) {
            std::vector<int> disabled;
            for (int f = 1; f <= 31; ++f)
                if (!w.isEnabled(f)) disabled.push_back(f);
            EXPECT_EQ(disabled, c.disabled);
            w.closeBox();
        });
        morventa::MAIN();
    }
}

}  // namespace
