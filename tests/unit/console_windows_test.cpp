// The console's secondary windows: registration and its four outcomes, the
// web-instructions link, the settings window's save, the groups windows, the
// new-version and about windows.
#include <functional>
#include <string>
#include <vector>

#include "console/morv001.h"
#include "console_fixture.h"
#include "shared/vxwebupute.h"

namespace {

using Strings = std::vector<std::string>;
using morventa::GLO;
const char* const kPad50 = "                                             ";  // 45: after "MARKO"
const char* const kPad20 = "                 ";                              // 17: after "KOR"

class Windows : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        GLO.WEBADRESA = "http://reg.example/dns/";
        GLO.NAZIVSERVERA = "ZEDOVORIDI";
        GLO.GRUPA = "KOR";
        GLO.NAZIVAPP = "Morventa";
        GLO.AKTIVNAPROC = "Main";
    }
};

TEST_F(Windows, RegistrationOutcomes) {
    struct Case {
        std::string reply;
        uint32_t id;
        Strings messages;
        std::string ini;
        std::string followUp;  // empty: none sent
    } cases[] = {
        {"a|b|c|REG|500", 501, {std::string("ID=500|MARKO") + kPad50 + "|KOR" + kPad20},
         "[VOZidavar]\r\nGlo:IDKorisnika=501\r\nGlo:NazivKorisnika=MARKO\r\n", ""},
        {"a|b|c|  REGISTRIRAN|101\r\n", 102, {std::string("ID=101|MARKO") + kPad50 + "|KOR" + kPad20},
         "[VOZidavar]\r\nGlo:IDKorisnika=102\r\nGlo:NazivKorisnika=MARKO\r\n", ""},
        {"a|b|c|REG|100", 0, {"Registracija nije uspjela"}, "", ""},
        {"a|b|c|REG", 0, {"Registracija nije uspjela"}, "", ""},
        {"a|b|c|REG|99999999999", 0, {"Registracija nije uspjela"}, "", ""},  // not a 32-bit number
        {"REG|500", 0, {"Ime postoji u evidenciji", "ZAUZETO"}, "",
         "id_user=99999&zahtjev1=INSTALL&zahtjev2=ZEDOVORIDI&zahtjev3=0"},
        {"x|y|z|TAKEN|777", 0, {"Ime postoji u evidenciji", "ZAUZETO"}, "",
         "id_user=99999&zahtjev1=INSTALL&zahtjev2=ZEDOVORIDI&zahtjev3=777"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        again();
        GLO.NAZIVKORISNIKA = "MARKO";
        tp.sender.answers = {c.reply, "ZAUZETO"};
        kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(9); });
        morventa::NAZIVKORISNIKA();
        EXPECT_EQ(GLO.IDKORISNIKA, c.id);
        EXPECT_EQ(messageTexts(), c.messages);
        EXPECT_EQ(ini(), c.ini);
        ASSERT_EQ(tp.sender.calls.size(), c.followUp.empty() ? 1u : 2u);
        // 10:00:00.00 is 3,600,000 hundredths since midnight, plus one.
        EXPECT_EQ(tp.sender.calls[0].body,
                  "id_user=99999&zahtjev1=INSTALL&zahtjev2=MARKO&zahtjev3=KOR&zahtjev4=3600001");
        EXPECT_EQ(tp.sender.calls[0].url, "http://reg.example/dns/dns.php");
        EXPECT_EQ(tp.sender.calls[0].mode, 0);
        if (!c.followUp.empty()) {
            EXPECT_EQ(tp.sender.calls[1].url, "http://reg.example/dns/dns.php");
            EXPECT_EQ(tp.sender.calls[1].body, c.followUp);
            EXPECT_EQ(tp.sender.calls[1].length, 1000000);
        }
        EXPECT_EQ(kit.unanswered, 0) << "the window closes itself after Potvrda";
    }
}

TEST_F(Windows, RegistrationTakesTheTypedNameInCapitals) {
    tp.sender.answers = {"a|b|c|REG|500"};
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        w.type(6, "marko");
        w.click(9);
    });
    morventa::NAZIVKORISNIKA();
    EXPECT_EQ(GLO.NAZIVKORISNIKA.clip(), "MARKO");
    ASSERT_EQ(tp.sender.calls.size(), 1u);
    EXPECT_NE(tp.sender.calls[0].body.find("&zahtjev2=MARKO&"), std::string::npos);
    EXPECT_NE(ini().find("Glo:NazivKorisnika=MARKO\r\n"), std::string::npos);
}

TEST_F(Windows, RegistrationShowsAndSendsAStoredNameAsItStands) {
    GLO.NAZIVKORISNIKA = "marko";
    tp.sender.answers = {"a|b|c|REG|500"};
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(6), "marko");
        w.click(9);
    });
    morventa::NAZIVKORISNIKA();
    ASSERT_EQ(tp.sender.calls.size(), 1u);
    EXPECT_NE(tp.sender.calls[0].body.find("&zahtjev2=marko&"), std::string::npos);
}

TEST_F(Windows, RegistrationWithABlankNameOrGroupSendsNothing) {
    struct Case {
        std::string name, group;
    } cases[] = {{"", "KOR"}, {"MARKO", "   "}};
    for (const Case& c : cases) {
        again();
        GLO.NAZIVKORISNIKA = c.name;
        GLO.GRUPA = c.group;
        kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(9); });
        morventa::NAZIVKORISNIKA();
        EXPECT_EQ(messageTexts(), Strings{"Unesite naziv i Grupu "});
        EXPECT_TRUE(tp.sender.calls.empty());
        EXPECT_EQ(GLO.IDKORISNIKA, 0u);
        EXPECT_EQ(kit.unanswered, 0);
    }
}

TEST_F(Windows, InstructionsLinkIsTheLowerCasedPageBesideTheRegistry) {
    struct Case {
        std::string base, link;
    } cases[] = {
        {"", "prikazuputa.php?veza=morventa_main"},
        {"HTTP://Reg.Example/DNS/", "http://reg.example/dns/prikazuputa.php?veza=morventa_main"},
    };
    for (const Case& c : cases) {
        morventa::APP_WEBLOKACIJAHELPA = c.base;
        EXPECT_EQ(morventa::helpLink(), c.link);
    }
    // Every instructions button opens it: registration, groups, add-user.
    struct Button {
        std::function<void()> open;
        std::string title;
        int field;
    } buttons[] = {
        {morventa::NAZIVKORISNIKA, "Pregled..", 2},
        {morventa::GRUPE, "Pregled..", 1},
        {[] { morventa::GRUPE_DODAJ_KORISNIKA("", ""); }, "Dodavanje korisnika", 1},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.title);
        vx::GL_URL_HLP = "";
        kit.onWindow(b.title, [&](ui::HeadlessWindow& w) { w.click(b.field); });
        kit.onWindow("Alt-F4 to exit", [](ui::HeadlessWindow& w) { w.closeBox(); });
        kit.onWindow(b.title, [](ui::HeadlessWindow& w) { w.closeBox(); });
        b.open();
        EXPECT_EQ(vx::GL_URL_HLP.clip(), "http://reg.example/dns/prikazuputa.php?veza=morventa_main");
    }
}

TEST_F(Windows, SettingsSaveWritesTheSevenKeysSignsInAndCloses) {
    GLO.IDKORISNIKA = 42;
    GLO.NAZIVKORISNIKA = "MARKO";
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(3), "00042");
        w.type(5, "ANA B");
        w.type(13, "");  // a cleared base address is saved empty
        w.click(15);     // only client
        w.click(18);
    });
    morventa::PODESAVANJE();
    EXPECT_EQ(ini(),
              "[VOZidavar]\r\nGlo:IDKorisnika=42\r\nGlo:NazivKorisnika=ANA B\r\nGlo:Grupa=KOR\r\n"
              "Glo:WebAdresa=\r\nGlo:NazivServera=ZEDOVORIDI\r\nGlo:SamoClijent=1\r\nGlo:SamoServer=0\r\n");
    ASSERT_EQ(tp.sender.calls.size(), 1u);
    EXPECT_EQ(tp.sender.calls[0].url, "dns.php");
    EXPECT_EQ(tp.sender.calls[0].body, "id_user=42&zahtjev1=PRIJAVAVXRD&zahtjev2=ANA B");
    EXPECT_EQ(tp.sender.calls[0].mode, 0);
    EXPECT_EQ(messageTexts(), Strings{"Spremljeno"});
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(Windows, SettingsRenameRegistersAndShowsTheNewIdOnReturn) {
    GLO.IDKORISNIKA = 9999;
    GLO.NAZIVKORISNIKA = "MARKO";
    tp.sender.answers = {"a|b|c|REG|700"};
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(3), "09999");
        w.click(6);
    });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(9); });  // the registration
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(3), "00701");
        w.closeBox();  // closing writes nothing more
    });
    morventa::PODESAVANJE();
    EXPECT_EQ(ini(), "[VOZidavar]\r\nGlo:IDKorisnika=701\r\nGlo:NazivKorisnika=MARKO\r\n");
    EXPECT_EQ(tp.sender.calls.size(), 1u);
}

TEST_F(Windows, SettingsClosedWhileTypingKeepTheEditInMemoryOnly) {
    GLO.NAZIVKORISNIKA = "MARKO";
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        w.type(5, "MARKOZZ");
        w.closeBox();  // the cursor still in the entry
    });
    morventa::PODESAVANJE();
    EXPECT_EQ(GLO.NAZIVKORISNIKA.clip(), "MARKOZZ");
    EXPECT_EQ(ini(), "") << "the close box writes nothing";
    EXPECT_TRUE(tp.sender.calls.empty());
}

TEST_F(Windows, GroupsKeepTheirEntriesAndHandThemToTheAddUserWindow) {
    const std::string user20 = "KORISNIK12345678901A", pass20 = "LOZINKA1234567890123";
    std::vector<std::string> seen;
    kit.onWindow("Pregled..", [&](ui::HeadlessWindow& w) {
        w.type(8, user20);
        w.type(10, pass20);
        w.click(6);
    });
    kit.onWindow("Dodavanje korisnika", [&](ui::HeadlessWindow& w) {
        seen = {w.shown(4), w.shown(6), w.shown(8), w.shown(10)};
        w.type(8, "OPIS");
        w.type(10, "12,345");
        w.click(11);  // no effect
    });
    kit.onWindow("Dodavanje korisnika", [](ui::HeadlessWindow& w) { w.click(12); });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(6); });
    kit.onWindow("Dodavanje korisnika", [&](ui::HeadlessWindow& w) {
        // A second opening starts with fresh locals.
        EXPECT_EQ(w.shown(8), "");
        EXPECT_EQ(w.shown(10), "0");
        w.closeBox();
    });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        w.click(11);
        w.click(2);
    });
    kit.onWindow("Otvaranje nove grupe", [](ui::HeadlessWindow& w) {
        w.type(3, "NOVI");
        w.click(8);  // "Kontrola": no effect
    });
    kit.onWindow("Otvaranje nove grupe", [](ui::HeadlessWindow& w) { w.closeBox(); });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(12); });  // "Spajanje" closes
    morventa::GRUPE();
    EXPECT_EQ(seen, (Strings{user20, pass20, "", "0"}));
    EXPECT_EQ(messageTexts(),
              Strings{"Obnova programa | Proces traje nekoliko minuta | Program se gasi i ponovo starta"});
    EXPECT_EQ(kit.unanswered, 0);
    EXPECT_TRUE(tp.sender.calls.empty());
    EXPECT_TRUE(tp.processes.started.empty());

    // Reopened in the same run: the entries show what was typed before.
    kit.onWindow("Pregled..", [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(w.shown(8), user20);
        EXPECT_EQ(w.shown(10), pass20);
        w.closeBox();
    });
    morventa::GRUPE();
}

TEST_F(Windows, NewVersionAndAboutCloseOnTheirButtons) {
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) {
        w.click(1);
        w.click(1);
    });
    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(2); });
    morventa::NOVAVERZIJA();
    const std::string update = "Obnova programa | Proces traje nekoliko minuta | Program se gasi i ponovo starta";
    EXPECT_EQ(update.size(), 80u);
    EXPECT_EQ(messageTexts(), (Strings{update, update}));

    kit.onWindow("Pregled..", [](ui::HeadlessWindow& w) { w.click(6); });
    morventa::OPROGRAMU();
    EXPECT_EQ(kit.unanswered, 0);
    EXPECT_EQ(kit.messages.size(), 2u);
}

}  // namespace

namespace {

// Every window a user sees: no two controls that hold text or take input
// cover each other, and each lies inside its window (boxes and pictures are
// the background other controls stand on).
TEST_F(Windows, NoControlCoversAnotherAndEachFitsItsWindow) {
    struct Case {
        const char* name;
        std::function<void()> open;
    } cases[] = {
        {"main", [] { morventa::MAIN(); }},
        {"registration", morventa::NAZIVKORISNIKA},
        {"settings", morventa::PODESAVANJE},
        {"groups", morventa::GRUPE},
        {"new group", morventa::GRUPE_KREIRAJ},
        {"add user", [] { morventa::GRUPE_DODAJ_KORISNIKA("", ""); }},
        {"new version", morventa::NOVAVERZIJA},
        {"sign-ins", [] { morventa::AKTIVNI(); }},
        {"about", morventa::OPROGRAMU},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        again();
        registered();
        ui::WindowDef def;
        kit.onWindow("", [&](ui::HeadlessWindow& w) {
            def = w.definition();
            w.closeBox();
        });
        if (std::string(c.name) == "main") kit.answer(1);  // the close-down question
        c.open();
        ASSERT_FALSE(def.controls.empty());
        const auto& cs = def.controls;
        auto background = [](const ui::Control& k) { return k.kind == ui::Kind::Box || k.kind == ui::Kind::Image; };
        for (std::size_t i = 0; i < cs.size(); ++i) {
            const ui::Control& a = cs[i];
            if (a.w == 0 || a.h == 0) continue;  // sized by the toolkit
            EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= def.w && a.y + a.h <= def.h)
                << "field " << i + 1 << " leaves the window";
            if (background(a)) continue;
            for (std::size_t j = i + 1; j < cs.size(); ++j) {
                const ui::Control& b = cs[j];
                if (b.w == 0 || b.h == 0 || background(b)) continue;
                bool apart = a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
                EXPECT_TRUE(apart) << "fields " << i + 1 << " and " << j + 1 << " overlap";
            }
        }
    }
}

}  // namespace
