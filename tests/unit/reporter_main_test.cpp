// The reporter's start-up and periodic check: the settings' reading rules,
// PRIJAVA's requests and field 15, the timer's due rule across midnight,
// the start in the tray, the tray menu, and two checks that never mix.
#include "reporter_fixture.h"

#include <atomic>
#include <thread>

#include "base/clock.h"

namespace {

using zilvara::GLO;

TEST_F(ReporterTest, SettingsReadingRules) {
    struct Case {
        const char* name;
        std::string ini;  // "" = no file at all
        int16_t vrijeme;
        std::string id, naziv, grupa, web;
        uint32_t log;
    } cases[] = {
        {"no file: defaults", "", 0, "", "ZEDOVORIDI", "VXSERVERI", "http://localhost/dns/", 0},
        {"other section only", "[VOZidavar]\r\nGlo:Vrijeme=9\r\n", 0, "", "ZEDOVORIDI", "VXSERVERI",
         "http://localhost/dns/", 0},
        {"present but empty: not the defaults",
         "[DARiriza]\r\nGlo:Vrijeme=\r\nGlo:IDIPServera=\r\nGlo:NazivServera=\r\nGlo:Grupa=\r\n"
         "Glo:WebAdresa=\r\nGlo:RadiLogDatoteku=\r\n",
         0, "", "", "", "", 0},
        {"values", "[DARiriza]\r\nGlo:Vrijeme=15\r\nGlo:IDIPServera=0042\r\nGlo:NazivServera=Moj\r\n"
                   "Glo:Grupa=G1\r\nGlo:WebAdresa=http://r.example/x/\r\nGlo:RadiLogDatoteku=1\r\n",
         15, "0042", "Moj", "G1", "http://r.example/x/", 1},
        {"interval kept in its low 16 bits", "[DARiriza]\r\nGlo:Vrijeme=70000\r\n", 4464, "",
         "ZEDOVORIDI", "VXSERVERI", "http://localhost/dns/", 0},
        {"negative and non-numbers", "[DARiriza]\r\nGlo:Vrijeme=-5\r\nGlo:RadiLogDatoteku=da\r\n", -5, "",
         "ZEDOVORIDI", "VXSERVERI", "http://localhost/dns/", 0},
        {"not a number", "[DARiriza]\r\nGlo:Vrijeme=5min\r\n", 0, "", "ZEDOVORIDI", "VXSERVERI",
         "http://localhost/dns/", 0},
        {"texts cut to their fields",
         "[DARiriza]\r\nGlo:NazivServera=" + std::string(30, 'n') + "\r\nGlo:WebAdresa=" +
             std::string(120, 'w') + "\r\n",
         0, "", std::string(20, 'n'), "VXSERVERI", std::string(100, 'w'), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove((dir + "/" + kIni).c_str());
        if (!c.ini.empty()) writeIni(c.ini);
        GLO = zilvara::Global{};
        zilvara::loadSettings();
        EXPECT_EQ(GLO.VRIJEME, c.vrijeme);
        EXPECT_EQ(GLO.IDIPSERVERA.clip(), c.id);
        EXPECT_EQ(GLO.NAZIVSERVERA.clip(), c.naziv);
        EXPECT_EQ(GLO.GRUPA.clip(), c.grupa);
        EXPECT_EQ(GLO.WEBADRESA.clip(), c.web);
        EXPECT_EQ(GLO.RADILOGDATOTEKU, c.log);
    }
    std::remove((dir + "/" + kIni).c_str());
    zilvara::loadSettings();
    EXPECT_EQ(readIni(), "");  // reading never creates the file
}

TEST_F(ReporterTest, CheckSignsInAsTheNumberAndFetchesItsRecord) {
    server("0042");
    GLO.NAZIVSERVERA = "SRV 1";  // inner spaces stay, trailing ones go
    tp.sender.replies["http://reg.example/dns/42.txt"] = record("10.1.2.3");
    tp.clock.set({2026, 3, 4, 13, 14, 15, 16});
    zilvara::PRIJAVA();
    ASSERT_EQ(tp.sender.calls.size(), 2u);
    const std::string body = "id_user=42&zahtjev1=PRIJAVA&&zahtjev2=SRV 1&zahtjev3=1&zahtjev4=GRP";
    EXPECT_EQ(tp.sender.calls[0].url, "http://reg.example/dns/dns.php");
    EXPECT_EQ(tp.sender.calls[0].body, body);
    EXPECT_EQ(tp.sender.calls[0].length, 1000000);
    EXPECT_EQ(tp.sender.calls[0].mode, 0);
    EXPECT_EQ(tp.sender.calls[1].url, "http://reg.example/dns/42.txt");
    EXPECT_EQ(tp.sender.calls[1].body, body);  // the sign-in body is still in HREQUEST
    EXPECT_EQ(tp.sender.calls[1].length, 1000000);
    EXPECT_EQ(tp.sender.calls[1].mode, 1);
    EXPECT_EQ(GLO.IPADRESA.clip(), "10.1.2.3");
    EXPECT_EQ(GLO.ZADNJAKONTROLA, ((13 * 60 + 14) * 60 + 15) * 100 + 16 + 1);
}

TEST_F(ReporterTest, AddressIsField15TrimmedAndCut) {
    struct Case {
        const char* name;
        std::string reply, address;
    } cases[] = {
        {"plain", record("192.168.1.20"), "192.168.1.20"},
        {"spaces around", record("   10.0.0.7   "), "10.0.0.7"},
        {"longer than 20", record("2001:0db8:85a3:0000:0000:8a2e:0370:7334"), "2001:0db8:85a3:0000:"},
        {"only 14 fields", "a|b|c|d|e|f|g|h|i|j|k|l|m|n", ""},
        {"empty reply", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server();
        GLO.IPADRESA = "old";
        GLO.ZADNJAKONTROLA = 0;
        tp.sender.replies["http://reg.example/dns/42.txt"] = c.reply;
        zilvara::PRIJAVA();
        EXPECT_EQ(GLO.IPADRESA.clip(), c.address);
        EXPECT_NE(GLO.ZADNJAKONTROLA, 0);  // the time of the check is set all the same
    }
}

// Runs MAIN; before each timer tick the clock moves on by the given steps,
// and after each tick the number of checks made so far is noted.
struct Tick {
    uint64_t advanceMs;
    int checksAfter;
};

TEST_F(ReporterTest, TimerChecksWhenTheIntervalHasPassedAlsoAcrossMidnight) {
    constexpr uint64_t kSecond = 1000, kMinute = 60 * kSecond;
    struct Case {
        const char* name;
        std::string id;
        int16_t minutes;
        vx::LocalTime start;
        std::vector<Tick> ticks;
    } cases[] = {
        {"5 minutes by day", "0042", 5, {2026, 3, 4, 10, 0, 0, 0},
         {{2 * kSecond, 1}, {4 * kMinute, 1}, {62 * kSecond, 2}, {2 * kSecond, 2}}},
        {"5 minutes across midnight", "0042", 5, {2026, 3, 4, 23, 54, 0, 0},
         {{4 * kMinute, 1}, {62 * kSecond, 2}, {5 * kMinute + 2 * kSecond, 3},
          {5 * kMinute + 2 * kSecond, 4}}},
        {"0 minutes: every tick", "0042", 0, {2026, 3, 4, 23, 59, 58, 0},
         {{2 * kSecond, 2}, {2 * kSecond, 3}, {2 * kSecond, 4}}},
        {"a whole day comes due", "0042", 1440, {2026, 3, 4, 8, 0, 0, 0},
         {{1439 * kMinute, 1}, {kMinute + 2 * kSecond, 2}}},
        {"longer than a day", "0042", 2000, {2026, 3, 4, 8, 0, 0, 0},
         {{1999 * kMinute, 1}, {kMinute + 2 * kSecond, 2}}},
        {"negative: every tick", "0042", -3, {2026, 3, 4, 8, 0, 0, 0}, {{2 * kSecond, 2}}},
        {"blank ID: never", "", 0, {2026, 3, 4, 8, 0, 0, 0}, {{2 * kSecond, 0}, {10 * kMinute, 0}}},
        {"ID that is no number: never", "abc", 0, {2026, 3, 4, 8, 0, 0, 0}, {{2 * kSecond, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tp.events.held.clear();
        tp.sender.calls.clear();
        zilvara::resetLastCheck();
        tp.clock.set(c.start);
        writeIni("[DARiriza]\r\nGlo:Vrijeme=" + vx::num(c.minutes) + "\r\nGlo:IDIPServera=" + c.id +
                 "\r\nGlo:WebAdresa=http://reg.example/dns/\r\n");
        std::vector<int> seen;
        for (const Tick& t : c.ticks) {
            kit.onWindow(kFrame, [&, t](ui::HeadlessWindow& w) {
                tp.clock.advance(t.advanceMs);
                w.tick();
            });
            kit.onWindow(kFrame, [&](ui::HeadlessWindow&) { seen.push_back(checks()); });
        }
        kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) { w.closeBox(); });
        zilvara::MAIN();
        std::vector<int> expected;
        for (const Tick& t : c.ticks) expected.push_back(t.checksAfter);
        EXPECT_EQ(seen, expected);
    }
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(ReporterTest, StartWithoutServerIdShowsTheMessageAndGoesToTheTray) {
    tray.icons["IPAdresa_ico"] = 0x1C0;
    bool hidden = false;
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        hidden = w.isWindowHidden();
        w.closeBox();
    });
    zilvara::MAIN();
    ASSERT_EQ(kit.messages.size(), 1u);
    EXPECT_EQ(kit.messages[0].text,
              "Podaci nisu potpuni ...||Otvorite podešavanja|Unesite naziv Servera i Grupu |"
              "Pritisnite registracija |Nakon što se dodsjeli ID broj spremite podatke");
    EXPECT_EQ(kit.messages[0].caption, "");
    EXPECT_EQ(kit.messages[0].buttons, unsigned(ui::BUTTON_OK));
    EXPECT_TRUE(tp.sender.calls.empty());
    EXPECT_TRUE(hidden);
    ASSERT_FALSE(tray.shell.empty());
    EXPECT_EQ(tray.shell[0].message, zilvara::kNotifyAdd);
    EXPECT_STREQ(tray.shell[0].nid.TOOLTIP, "VX Kontrola ip adrese na Webu");
    EXPECT_EQ(tray.shell[0].nid.HICON, 0x1C0);
    EXPECT_EQ(tray.iconLoads, std::vector<std::string>{"IPAdresa_ico"});
    // Closed from the tray: the icon goes with it, the procedure is put back.
    EXPECT_EQ(tray.shell.back().message, zilvara::kNotifyDelete);
    EXPECT_EQ(zilvara::GLOCURRENTWINEXT, nullptr);
    EXPECT_EQ(zilvara::runningFrameExtension.load(), nullptr);
}

TEST_F(ReporterTest, StartWithServerIdChecksBeforeTheFrameOpens) {
    writeIni("[DARiriza]\r\nGlo:IDIPServera=0042\r\nGlo:WebAdresa=http://reg.example/dns/\r\n");
    tp.sender.replies["http://reg.example/dns/42.txt"] = record("10.9.8.7");
    std::vector<std::size_t> openedAtCall;
    tp.sender.onCall = [&](const vx::TestSender::Call&) { openedAtCall.push_back(kit.opened.size()); };
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) { w.closeBox(); });
    zilvara::MAIN();
    EXPECT_EQ(openedAtCall, (std::vector<std::size_t>{0, 0}));
    EXPECT_TRUE(kit.messages.empty());
    EXPECT_EQ(GLO.IPADRESA.clip(), "10.9.8.7");
    EXPECT_EQ(tp.sender.calls[0].body,
              "id_user=42&zahtjev1=PRIJAVA&&zahtjev2=ZEDOVORIDI&zahtjev3=1&zahtjev4=VXSERVERI");
}

TEST_F(ReporterTest, FrameDefinition) {
    ui::WindowDef def;
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        def = w.definition();
        w.closeBox();
    });
    zilvara::MAIN();
    EXPECT_EQ(def.w, 396);
    EXPECT_EQ(def.h, 261);
    EXPECT_EQ(def.icon, "IPAdresa.ico");
    EXPECT_EQ(def.wallpaper, "Plan.bmp");
    EXPECT_TRUE(def.systemMenu && def.maximiseBox && def.minimiseBox && def.resizable && def.iconised);
    EXPECT_EQ(def.timer, 200);
    EXPECT_TRUE(def.controls.empty());
}

TEST_F(ReporterTest, EntryProcedureSwitchesDraggingOffForTheRun) {
    struct Case {
        int drag;
        bool secondInstance;
        std::vector<int> writes;
    } cases[] = {
        {1, false, {0, 1}},
        {0, false, {}},
        {2, false, {}},  // only exactly 1 counts as on
        {1, true, {0}},  // ended from within: left off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drag);
        tp.events.held.clear();
        if (c.secondInstance) tp.events.held["Zilvara.exe_UEvent"] = 1;
        tp.system.drag = c.drag;
        tp.system.dragWrites.clear();
        if (!c.secondInstance) kit.onWindow(kFrame, [](ui::HeadlessWindow& w) { w.closeBox(); });
        try {
            zilvara::_main();
        } catch (const vx::ProcessExit&) {
        }
        EXPECT_EQ(tp.system.dragWrites, c.writes);
    }
}

TEST_F(ReporterTest, SecondInstanceEndsSilentlyWithZero) {
    tp.events.held["Zilvara.exe_UEvent"] = 1;  // the first instance holds the guard
    writeIni("[DARiriza]\r\nGlo:IDIPServera=0042\r\n");
    int code = -1;
    try {
        zilvara::MAIN();
    } catch (const vx::ProcessExit& e) {
        code = e.code;
    }
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(kit.opened.empty());
    EXPECT_TRUE(kit.messages.empty());
    EXPECT_TRUE(tp.sender.calls.empty());
    EXPECT_TRUE(tray.shell.empty());
}

TEST_F(ReporterTest, TrayMenuStartsEachItemOnItsOwnThread) {
    struct Case {
        int choice;
        const char* opens;  // title of the window the item opens, or null
    } cases[] = {{0, nullptr}, {1, "Pregled.."}, {2, "Pregled.."}, {3, "Pregled.."}, {4, "Pregled.."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        tp.events.held.clear();
        kit.menus.clear();
        kit.opened.clear();
        kit.stacks.clear();
        uint32_t frameThread = 0, itemThread = 0;
        std::size_t fieldCount = 0;
        kit.choose(c.choice);
        kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
            frameThread = w.thread();
            tray.deliver(w.handle(), 0x660, 1, 0x205);  // right button up on the icon
        });
        if (c.opens)
            kit.onWindow(c.opens, [&](ui::HeadlessWindow& w) {
                itemThread = w.thread();
                fieldCount = w.definition().controls.size();
                w.closeBox();
            });
        kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) { w.closeBox(); });
        zilvara::MAIN();
        kit.joinThreads();
        EXPECT_EQ(kit.menus, std::vector<std::string>{"Podešavanje|Status|Povijest|-|O programu|-|Izlaz|-"});
        if (c.opens) {
            EXPECT_EQ(kit.stacks, std::vector<std::size_t>{25000});
            EXPECT_NE(itemThread, frameThread);
            // Settings 15 controls, status 11, history 5, about 5.
            const std::size_t fields[] = {0, 15, 11, 5, 5};
            EXPECT_EQ(fieldCount, fields[c.choice]);
        } else {
            EXPECT_TRUE(kit.stacks.empty());
        }
    }
    EXPECT_EQ(zilvara::trayMenuProcedure(5), &zilvara::IZLAZ);
    EXPECT_EQ(zilvara::trayMenuProcedure(6), nullptr);
}

TEST_F(ReporterTest, LeftDoubleClickRestoresAndMinimiseReturnsToTheTray) {
    std::vector<std::string> states;
    auto note = [&](ui::HeadlessWindow& w) {
        states.push_back(std::string(w.isWindowHidden() ? "hidden" : "shown") + "," +
                         (zilvara::runningFrameExtension.load()->ONTRAY ? "tray" : "-"));
    };
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        note(w);
        tray.deliver(w.handle(), 0x660, 1, 0x202);  // a single left click does nothing
        tray.deliver(w.handle(), 0x660, 1, 0x206);  // nor a right double click
    });
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        note(w);
        tray.deliver(w.handle(), 0x660, 1, 0x203);
    });
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        note(w);
        tray.deliver(w.handle(), 0x660, 1, 0x205);  // restored: the right click shows no menu
        w.raise(ui::EVENT_Iconized);
    });
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        note(w);
        w.closeBox();
    });
    zilvara::MAIN();
    EXPECT_EQ(states, (std::vector<std::string>{"hidden,tray", "hidden,tray", "shown,-", "hidden,tray"}));
    EXPECT_EQ(tray.restored.size(), 1u);
    EXPECT_TRUE(kit.menus.empty());
}

TEST_F(ReporterTest, ExitTakesTheIconAwayAndEndsWithZero) {
    int code = -1;
    uint32_t lastShell = 99;
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        try {
            zilvara::IZLAZ();
        } catch (const vx::ProcessExit& e) {
            code = e.code;
            lastShell = tray.shell.back().message;
        }
        w.closeBox();
    });
    zilvara::MAIN();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(lastShell, zilvara::kNotifyDelete);
    EXPECT_TRUE(tp.system.dragWrites.empty());
}

TEST_F(ReporterTest, QueryEndSessionIsRefused) {
    intptr_t answer = -1;
    kit.onWindow(kFrame, [&](ui::HeadlessWindow& w) {
        answer = tray.deliver(w.handle(), 0x11, 0, 0);
        w.closeBox();
    });
    zilvara::MAIN();
    EXPECT_EQ(answer, 0);
}

// The timer's check and a settings window's registration on two threads,
// against a sender that yields inside every call: neither reads the
// other's reply, and no two requests are ever in flight together.
TEST_F(ReporterTest, ConcurrentChecksNeverMixTheirRequests) {
    server("0042");
    tp.sender.replies["http://reg.example/dns/42.txt"] = record("10.0.0.1") + "|x|End";
    // The script's answer: a registration's "End" and ID, and a field 15 that is not the address.
    std::string script = "r|77|r|End|";
    for (int k = 5; k <= 14; ++k) script += "s|";
    tp.sender.replies["http://reg.example/dns/dns.php"] = script + "WRONG";
    std::atomic<int> inFlight{0}, most{0};
    tp.sender.onCall = [&](const vx::TestSender::Call&) {
        int now = ++inFlight;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        --inFlight;
    };
    constexpr int kRounds = 150;
    int badAddress = 0, badRegistration = 0;
    std::thread timer([&] {
        for (int i = 0; i < kRounds; ++i) {
            zilvara::PRIJAVA();
            badAddress += GLO.IPADRESA.clip() != "10.0.0.1";
        }
    });
    std::thread settings([&] {
        for (int i = 0; i < kRounds; ++i)
            badRegistration += zilvara::PRVAREGISTRACIJANAWEB("", "") != 77;
    });
    timer.join();
    settings.join();
    EXPECT_EQ(badAddress, 0);
    EXPECT_EQ(badRegistration, 0);
    EXPECT_EQ(most.load(), 1);
    // Every fetch directly follows its own sign-in.
    ASSERT_EQ(tp.sender.calls.size(), std::size_t(3 * kRounds));
    for (std::size_t i = 0; i < tp.sender.calls.size(); ++i) {
        if (tp.sender.calls[i].mode != 1) continue;
        ASSERT_GT(i, 0u);
        EXPECT_NE(tp.sender.calls[i - 1].body.find("zahtjev1=PRIJAVA"), std::string::npos) << i;
    }
}

}  // namespace
