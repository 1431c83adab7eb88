// The console main window's handlers: granting access, connecting to a
// partner, the status page, the log viewer and the windows behind 11 to 15.
#include <string>
#include <vector>

#include "console_fixture.h"
#include "shared/vxwebupute.h"

namespace {

using Strings = std::vector<std::string>;
const char* const kMain = "VO Zidavar";
const char* const kServerStarted =
    "C:\\winvnc.exe  -autoreconnect  -ID:501  -connect 10.0.0.5:5500     -run";
const char* const kServerShown = "C:\\winvnc.exe  -autoreconnect  -ID:501  -connect 10.0.0.5:5500  -run";
const char* const kStart = "10.12.2026 10:00:00 Start programa\r\n";

class MainWindow : public ConsoleTest {
protected:
    // Runs the console with the given user steps in its main window, then
    // closes it and answers the close-down question DA.
    void run(std::function<void(ui::HeadlessWindow&)> steps) {
        kit.onWindow(kMain, std::move(steps));
        kit.onWindow(kMain, [](ui::HeadlessWindow& w) { w.closeBox(); });
        morventa::MAIN();
        ASSERT_FALSE(kit.messages.empty());
        EXPECT_EQ(kit.messages.back().text, "Dali da ostavim program na čekanju ?");
        kit.messages.pop_back();
    }
    // Requests after the start-up's fetch of the relay address.
    std::vector<vx::TestSender::Call> requests() const {
        return {tp.sender.calls.begin() + 1, tp.sender.calls.end()};
    }
};

TEST_F(MainWindow, GrantAnsweredDaStartsTheServerLogsAndSignsIn) {
    registered();  // the relay, then settings with a name to send
    writeIni("Glo:IDKorisnika=501\r\nGlo:NazivKorisnika=MARKO & CO\r\nGlo:WebAdresa=http://reg.example/dns/\r\n");
    kit.answer(1);  // DA
    run([](ui::HeadlessWindow& w) {
        w.click(17);
    });
    EXPECT_EQ(tp.processes.started, (Strings{"C:\\Tkill.exe  winvnc.exe", kServerStarted}));
    ASSERT_EQ(kit.messages.size(), 2u);
    EXPECT_EQ(kit.messages[0].text, "Odobravam pristup računalu udaljenom korisniku|");
    EXPECT_EQ(kit.messages[0].caption, "Kontrola");
    EXPECT_EQ(kit.messages[0].icon, ui::Icon::WinLogo);
    EXPECT_TRUE(kit.messages[0].yesNoDaNe);
    EXPECT_EQ(kit.messages[1].text, kServerShown);
    EXPECT_TRUE(kit.messages[1].copyable);
    EXPECT_EQ(kit.messages[1].defaultButton, unsigned(ui::BUTTON_OK));
    EXPECT_EQ(kit.messages[1].caption, "");
    EXPECT_EQ(log(), std::string(kStart) + "10.12.2026 10:00:00 Server :501\r\n");
    auto sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].url, "http://reg.example/dns/dns.php");
    // The name goes in unencoded, spaces and '&' as they stand.
    EXPECT_EQ(sent[0].body, "id_user=501&zahtjev1=PRIJAVAVXRD&zahtjev2=MARKO & CO");
    EXPECT_EQ(sent[0].length, 1000000);
    EXPECT_EQ(sent[0].mode, 0);
}

TEST_F(MainWindow, GrantButtonStatesFollowTheGrantAndItsReEnable) {
    registered();
    kit.answer(1);
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) { w.click(17); });
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) {
        EXPECT_FALSE(w.isEnabled(17));
        EXPECT_FALSE(w.isHidden(19));
        w.click(19);
    });
    run([](ui::HeadlessWindow& w) {
        EXPECT_TRUE(w.isEnabled(17));
        EXPECT_FALSE(w.isHidden(19)) << "stays visible";
    });
}

TEST_F(MainWindow, GrantAnsweredNeRefusesAfterStoppingTheServer) {
    registered();
    kit.answer(2);
    run([](ui::HeadlessWindow& w) { w.click(17); });
    EXPECT_EQ(tp.processes.started, Strings{"C:\\Tkill.exe  winvnc.exe"});
    EXPECT_EQ(messageTexts(),
              (Strings{"Odobravam pristup računalu udaljenom korisniku|", "Pristup računalu nije dozvoljen..."}));
    EXPECT_EQ(log(), kStart);
    EXPECT_TRUE(requests().empty());
}

TEST_F(MainWindow, FailedStartsAreReportedAndTheGrantGoesOn) {
    registered();
    tp.processes.failing["C:\\Tkill.exe"] = "Sustav ne može pronaći datoteku.";
    tp.processes.failing["C:\\winvnc.exe"] = "Pristup odbijen.";
    kit.answer(1);  // the Tkill error
    kit.answer(1);  // DA
    run([](ui::HeadlessWindow& w) {
        w.click(17);
    });
    EXPECT_EQ(messageTexts(), (Strings{"Greška 1:  |Sustav ne može pronaći datoteku.",
                                       "Odobravam pristup računalu udaljenom korisniku|", kServerShown,
                                       std::string("Greška 2 :Pristup odbijen.|||") + kServerShown + " "}));
    EXPECT_EQ(log(), std::string(kStart) + "10.12.2026 10:00:00 Server :501\r\n");
    EXPECT_EQ(requests().size(), 1u);
}

TEST_F(MainWindow, ConnectionNeedsAPartnerAndAsksFirst) {
    struct Case {
        std::string typed;
        int answer;
        Strings messages, started;
        bool logged;
    } cases[] = {
        {"", 0, {"Unesite ID broj ---"}, {"C:\\Tkill.exe  vncviewer.exe"}, false},
        {"0", 0, {"Unesite ID broj ---"}, {"C:\\Tkill.exe  vncviewer.exe"}, false},
        {"1234", 2, {"Start spajanja sa :|ID:1234"}, {"C:\\Tkill.exe  vncviewer.exe"}, false},
        {"1234", 1, {"Start spajanja sa :|ID:1234"},
         {"C:\\Tkill.exe  vncviewer.exe", "C:\\vncviewer.exe ID:1234 -proxy 10.0.0.5:5900"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.typed + "] answer " + std::to_string(c.answer));
        again();
        registered();
        if (c.answer) kit.answer(c.answer);
        bool started = c.logged;
        kit.onWindow(kMain, [&](ui::HeadlessWindow& w) {
            w.type(22, c.typed);
            w.click(23);
        });
        run([&](ui::HeadlessWindow& w) {
            EXPECT_EQ(w.isEnabled(23), !started);
            EXPECT_EQ(w.isHidden(24), !started);
        });
        EXPECT_EQ(messageTexts(), c.messages);
        if (c.answer) EXPECT_EQ(kit.messages[0].caption, "Kontrola");
        EXPECT_EQ(tp.processes.started, c.started);
        // The viewer line carries this desktop's own ID, not the partner's.
        EXPECT_EQ(log(), std::string(kStart) + (c.logged ? "10.12.2026 10:00:00 Viewer :501\r\n" : ""));
    }
}

TEST_F(MainWindow, FailedViewerStartShowsTheErrorAlone) {
    registered();
    tp.processes.failing["C:\\vncviewer.exe"] = "Pristup odbijen.";
    kit.answer(1);
    run([](ui::HeadlessWindow& w) {
        w.type(22, "77");
        w.click(23);
    });
    EXPECT_EQ(messageTexts(), (Strings{"Start spajanja sa :|ID:77", "Pristup odbijen."}));
    EXPECT_EQ(log(), std::string(kStart) + "10.12.2026 10:00:00 Viewer :501\r\n");
}

TEST_F(MainWindow, StatusPageAndLogViewerCommandLines) {
    registered();
    kit.answer(1);  // DA to the connection
    run([&](ui::HeadlessWindow& w) {
        w.click(6);
        w.click(16);
        // The viewer had the log closed; the next line opens it again.
        w.type(22, "9");
        w.click(23);
    });
    EXPECT_EQ(tp.processes.started,
              (Strings{"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe  \"10.0.0.5:9001/index.html\"",
                       "Write.exe    C:\\vxlog.log", "C:\\Tkill.exe  vncviewer.exe",
                       "C:\\vncviewer.exe ID:9 -proxy 10.0.0.5:5900"}));
    EXPECT_EQ(log(), std::string(kStart) + "10.12.2026 10:00:00 Viewer :501\r\n");
}

TEST_F(MainWindow, ToolButtonsOpenTheirWindows) {
    registered();
    // All five share a title; their control counts tell them apart.
    struct Case {
        int field;
        std::size_t controls;
    } cases[] = {{11, 18}, {12, 16}, {13, 6}, {14, 6}, {15, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        again();
        registered();
        kit.onWindow(kMain, [&](ui::HeadlessWindow& w) { w.click(c.field); });
        kit.onWindow("Pregled..", [&](ui::HeadlessWindow& w) {
            EXPECT_EQ(w.definition().controls.size(), c.controls);
            w.closeBox();
        });
        run([](ui::HeadlessWindow&) {});
        EXPECT_EQ(kit.opened, (Strings{kMain, "Pregled.."}));
    }
}

TEST_F(MainWindow, ActiveSignInsFetchesTheListAndSetsThePartner) {
    registered();
    tp.sender.replies["http://10.0.0.5:8080/prijave.txt"] = "501 MARKO\r\n777 ANA\r\n";
    kit.onWindow(kMain, [](ui::HeadlessWindow& w) {
        w.type(22, "42");
        w.click(14);
    });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(6), "501 MARKO\r\n777 ANA\r\n") << "the reply as it came";
        w.click(5);  // Obnovi
    });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(1); });  // Preuzmi
    run([](ui::HeadlessWindow& w) { EXPECT_EQ(w.shown(22), "0") << "nothing chosen"; });
    auto sent = requests();
    ASSERT_EQ(sent.size(), 2u) << "once on opening, once for Obnovi";
    for (const auto& call : sent) {
        EXPECT_EQ(call.url, "http://10.0.0.5:8080/prijave.txt");
        EXPECT_EQ(call.body, "");
        EXPECT_EQ(call.length, 50000);
        EXPECT_EQ(call.mode, 1);
    }
    EXPECT_EQ(morventa::GLO.IDPARTNERA, 0u);
}

}  // namespace
