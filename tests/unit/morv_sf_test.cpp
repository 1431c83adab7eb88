// Guarded opening (CHECKOPEN) and the standard warnings, against real files
// in a temporary folder with faults injected in front of the file system.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>

#include "platform/datafile.h"
#include "platform/portable/datafile_faults.h"
#include "platform/portable/test_platform.h"
#include "shared/morv_sf.h"
#include "ui/headless/headless.h"

namespace {

using vx::FileResult;
using OptByte = std::optional<uint8_t>;

struct Shown {
    std::string caption, text;
};

class CheckOpen : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
        char tmpl[] = "/tmp/vx-checkopen-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        path = dir + "/data.log";
        name = path;
    }
    void TearDown() override {
        file.close();
        unlink(path.c_str());
        rmdir(dir.c_str());
    }
    // Runs CHECKOPEN; the exit code when it ended the process, else nothing.
    std::optional<int> run(OptByte create = std::nullopt, OptByte mode = std::nullopt) {
        try {
            vx::CHECKOPEN(file, create, mode);
        } catch (const vx::ProcessExit& e) {
            return e.code;
        }
        return std::nullopt;
    }
    std::vector<Shown> shown() const {
        std::vector<Shown> out;
        for (const auto& m : kit.messages) out.push_back({m.caption, m.text});
        return out;
    }
    bool exists() const {
        struct stat st;
        return stat(path.c_str(), &st) == 0;
    }
    void makeFile() { std::ofstream(path) << "x\r\n"; }

    vx::TestPlatform tp;
    ui::HeadlessToolkit kit;
    vx::FaultyFileSystem fs;
    std::string dir, path;
    vx::Text<222> name;
    vx::DataFile file{name};
};

TEST_F(CheckOpen, MissingFileByOverrideCreate) {
    const std::string notFound = "File Not Found (2)";
    struct Case {
        OptByte create;
        std::vector<std::string> captions;  // the warning, then "Halt" when it ends
        std::string firstText, haltText;
        bool created;
    } cases[] = {
        {std::nullopt, {"Nemate dozvolljen pristup datoteci", "Halt"},
         "Datoteku: (" + path + ") ne mogu otvoriti   Greska: " + notFound + ".", "Disk Error", false},
        {0, {"Greška kod kreiranja ", "Halt"},
         "Greška: (" + notFound + ") kod kreiranja " + path + ".  Pritisnite  OK za izlazak. ",
         "Greška kod kreiranja!", false},
        {7, {"Greška kod kreiranja ", "Halt"},
         "Greška: (" + notFound + ") kod kreiranja " + path + ".  Pritisnite  OK za izlazak. ",
         "Greška kod kreiranja!", false},
        {1, {}, "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.create ? int(*c.create) : -1);
        file.close();
        unlink(path.c_str());
        kit.messages.clear();
        std::optional<int> exit = run(c.create);
        auto s = shown();
        ASSERT_EQ(s.size(), c.captions.size());
        for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i].caption, c.captions[i]);
        EXPECT_EQ(exists(), c.created);
        if (c.captions.empty()) {
            EXPECT_FALSE(exit);
            EXPECT_TRUE(file.isOpen());
            EXPECT_EQ(vx::lastFileError().code, 0);
        } else {
            EXPECT_EQ(s[0].text, c.firstText);
            EXPECT_EQ(s[1].text, c.haltText);
            EXPECT_EQ(exit, 1);  // a failure the starting script can see
        }
    }
}

TEST_F(CheckOpen, OpensReadWriteDenyNoneUnlessTold) {
    makeFile();
    EXPECT_FALSE(run());
    file.close();
    EXPECT_FALSE(run(1, 0x20));
    EXPECT_EQ(fs.calls[0], "open " + path + " 66");  // 0x42
    EXPECT_EQ(fs.calls[2], "open " + path + " 32");
    EXPECT_TRUE(kit.messages.empty());
}

TEST_F(CheckOpen, AlreadyOpenCountsAsOpened) {
    makeFile();
    ASSERT_FALSE(run());
    ASSERT_FALSE(run(1));
    EXPECT_EQ(fs.count("open"), 1);  // no second open reaches the file system
    EXPECT_TRUE(kit.messages.empty());
    EXPECT_TRUE(file.isOpen());
}

TEST_F(CheckOpen, LockIsRetriedOnceAfterTheDriverOption) {
    const FileResult locked{vx::FILE_LOCKED, 0, ""};
    struct Case {
        const char* what;
        std::vector<FileResult> opens;
        bool fileThere;
        OptByte create;
        std::vector<std::string> captions;
    } cases[] = {
        {"second open succeeds", {locked}, true, std::nullopt, {}},
        {"locked again", {locked, locked}, true, std::nullopt,
         {"Nemate dozvolljen pristup datoteci", "Halt"}},
        // A second failure is handled like a first one: here a missing file is created.
        {"gone on the retry", {locked}, false, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file.close();
        unlink(path.c_str());
        if (c.fileThere) makeFile();
        kit.messages.clear();
        fs.calls.clear();
        fs.opens.assign(c.opens.begin(), c.opens.end());
        std::optional<int> exit = run(c.create);
        auto s = shown();
        ASSERT_EQ(s.size(), c.captions.size());
        for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i].caption, c.captions[i]);
        ASSERT_GE(fs.calls.size(), 3u);
        EXPECT_EQ(fs.calls[1], "option Recover=10");
        EXPECT_EQ(fs.count("option"), 1);
        if (c.captions.empty()) {
            EXPECT_FALSE(exit);
            EXPECT_TRUE(file.isOpen());
        } else {
            EXPECT_NE(s[0].text.find("Greska: File Is Already Locked (32)."), std::string::npos) << s[0].text;
            EXPECT_EQ(s[1].text, "Disk Error");
            EXPECT_EQ(fs.count("open"), 2);
            EXPECT_EQ(exit, 1);
        }
    }
}

TEST_F(CheckOpen, BrokenKeys) {
    makeFile();
    const FileResult broken{vx::FILE_KEYS_BROKEN, 0, ""};
    const std::string ask = path + " Kljuć datoteke je neispravan. Dali želite da se kreira novi kljuć?";

    // No: ends without trying a rebuild.
    fs.opens = {broken};
    kit.answer(ui::BUTTON_NO);
    EXPECT_EQ(run(1), 1);
    ASSERT_EQ(kit.messages.size(), 2u);
    EXPECT_EQ(kit.messages[0].caption, "Neispravan kljuć datoteke");
    EXPECT_EQ(kit.messages[0].text, ask);
    EXPECT_EQ(kit.messages[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(kit.messages[0].buttons, unsigned(ui::BUTTON_YES | ui::BUTTON_NO));
    EXPECT_EQ(kit.messages[0].defaultButton, unsigned(ui::BUTTON_YES));
    EXPECT_EQ(kit.messages[1].text, "Neispravan kljuć!");
    EXPECT_EQ(fs.count("rebuild"), 0);

    // Yes: rebuilt, opened once more.
    kit.messages.clear();
    fs.calls.clear();
    fs.opens = {broken};
    kit.answer(ui::BUTTON_YES);
    EXPECT_FALSE(run(1));
    EXPECT_EQ(kit.messages.size(), 1u);
    EXPECT_EQ(fs.calls, (std::vector<std::string>{"open " + path + " 66", "rebuild " + path,
                                                  "open " + path + " 66"}));
    EXPECT_TRUE(file.isOpen());

    // Yes, but the rebuild fails: warning 3 with the system's message.
    file.close();
    kit.messages.clear();
    fs.opens = {broken};
    fs.rebuilds = {{vx::FILE_SYSTEM_ERROR, 112, "Nema dovoljno prostora na disku.  "}};
    kit.answer(ui::BUTTON_YES);
    EXPECT_EQ(run(1), 1);
    ASSERT_EQ(kit.messages.size(), 3u);
    EXPECT_EQ(kit.messages[1].caption, "Greška repariranja ključeva datoteke");
    EXPECT_EQ(kit.messages[1].text, "Greška : (Nema dovoljno prostora na disku. (112)) repariranja ključeva za " +
                                        path + ".  Pritisnite  OK za izlazak. ");
    EXPECT_EQ(kit.messages[2].text, "Greška kod izrade ključeva!");
}

TEST_F(CheckOpen, FatalOpenAndCreateErrors) {
    const FileResult denied{vx::FILE_SYSTEM_ERROR, 5, "Pristup je odbijen."};
    struct Case {
        const char* what;
        bool fileThere;
        std::vector<FileResult> opens, creates;
        std::string caption, text, halt;
    } cases[] = {
        {"bad record", true, {{vx::FILE_BAD_RECORD, 0, ""}}, {}, "Neispravna datoteka",
         "Greška : (Invalid Record Declaration (47)) kod pregleda datoteke " + path +
             ".  Pritisnite  OK za izlazak.",
         "Neispravna datoteka !"},
        {"create fails", false, {}, {denied}, "Greška kod kreiranja ",
         "Greška: (Pristup je odbijen. (5)) kod kreiranja " + path + ".  Pritisnite  OK za izlazak. ",
         "Greška kod kreiranja!"},
        {"created, open fails", false, {{}, denied}, {}, "Greška kod kreiranja datoteke ",
         "Greška: (Pristup je odbijen. (5)) kod kreiranja, otvaranja  datoteke:" + path +
             ".  Pritisnite  OK za izlazak , provjerite server ,",
         "Greška kod kreiranja datoteke!"},
        {"file-system error", true, {denied}, {}, "Nemate dozvolljen pristup datoteci",
         "Datoteku: (" + path + ") ne mogu otvoriti   Greska: Pristup je odbijen. (5).", "Disk Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file.close();
        unlink(path.c_str());
        if (c.fileThere) makeFile();
        kit.messages.clear();
        fs.opens.assign(c.opens.begin(), c.opens.end());
        fs.creates.assign(c.creates.begin(), c.creates.end());
        EXPECT_EQ(run(1), 1);
        ASSERT_EQ(kit.messages.size(), 2u);
        EXPECT_EQ(kit.messages[0].caption, c.caption);
        EXPECT_EQ(kit.messages[0].text, c.text);
        EXPECT_EQ(kit.messages[0].icon, ui::Icon::Information);
        EXPECT_EQ(kit.messages[0].buttons, unsigned(ui::BUTTON_OK));
        EXPECT_EQ(kit.messages[1].caption, "Halt");
        EXPECT_EQ(kit.messages[1].text, c.halt);
        EXPECT_FALSE(file.isOpen());
    }
}

TEST_F(CheckOpen, ReturnsUnopenedOnlyWhenWarning30GivesZero) {
    fs.opens = {{vx::FILE_SYSTEM_ERROR, 21, "Uređaj nije spreman."}};
    kit.answer(0);  // the box went away without a button
    EXPECT_FALSE(run());
    EXPECT_EQ(kit.messages.size(), 1u);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(vx::lastFileError().code, vx::FILE_SYSTEM_ERROR);  // left standing for the caller
}

// --- STANDARDWARNING on its own ---

class StandardWarning : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
        vx::setLastFileError(vx::FILE_NOT_FOUND);
    }
    vx::TestPlatform tp;
    ui::HeadlessToolkit kit;
};

TEST_F(StandardWarning, ErrorTextForms) {
    struct Case {
        int32_t code;
        std::string systemCode, systemText, expected;
    } cases[] = {
        {0, "", "", "Datoteku: (f.log) ne mogu otvoriti   Greska:  (0)."},
        {2, "", "", "Datoteku: (f.log) ne mogu otvoriti   Greska: File Not Found (2)."},
        {32, "", "", "Datoteku: (f.log) ne mogu otvoriti   Greska: File Is Already Locked (32)."},
        {90, "5   ", "Pristup je odbijen.   ", "Datoteku: (f.log) ne mogu otvoriti   Greska: Pristup je odbijen. (5)."},
        {90, "123", std::string(200, 'x'), "Datoteku: (f.log) ne mogu otvoriti   Greska: " + std::string(150, 'x') + "."},
        {90, "123", std::string(146, 'x'), "Datoteku: (f.log) ne mogu otvoriti   Greska: " + std::string(146, 'x') + " (12."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        kit.messages.clear();
        vx::setLastFileError(c.code, c.systemCode, c.systemText);
        EXPECT_EQ(vx::STANDARDWARNING(30, "f.log   "), int(ui::BUTTON_OK));
        ASSERT_EQ(kit.messages.size(), 1u);
        EXPECT_EQ(kit.messages[0].text, c.expected);
    }
}

TEST_F(StandardWarning, UnknownIdsShowNothing) {
    for (int id : {0, -1, 39, 40, 100, 1000}) {
        EXPECT_EQ(vx::STANDARDWARNING(id, "f", "g"), 0) << id;
    }
    EXPECT_TRUE(kit.messages.empty());
}

TEST_F(StandardWarning, RecordLevelCatalogue) {
    using ui::BUTTON_CANCEL;
    using ui::BUTTON_NO;
    using ui::BUTTON_OK;
    using ui::BUTTON_RETRY;
    using ui::BUTTON_YES;
    const unsigned YNC = BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
    struct Case {
        int id;
        std::string text1, caption;
        unsigned buttons, defaultButton;
        bool returnsZero;
    } cases[] = {
        {6, "T1", "Procedura nije dostupna", BUTTON_OK, BUTTON_OK, false},
        {8, "T1", "Greška veličine", BUTTON_OK, BUTTON_OK, false},
        {9, "T1", " Greška veličine", BUTTON_OK, BUTTON_OK, false},
        {10, "T1", "Range Error", BUTTON_OK, BUTTON_OK, false},
        {11, "T1", "Field Contents Error", BUTTON_OK, BUTTON_OK, false},
        {12, "T1", "Referential Integrity Update Error", BUTTON_OK, BUTTON_OK, false},
        {13, "T1", " Zabranjeno brisanje", BUTTON_OK, BUTTON_OK, false},
        {14, "T1", "Record Insert Error", BUTTON_OK, BUTTON_OK, false},
        {15, "T1", "Update Operation Error", BUTTON_OK, BUTTON_OK, false},
        {16, "T1", "Record Update Error", YNC, BUTTON_CANCEL, false},
        {17, "T1", "Delete Operation Error", BUTTON_OK, BUTTON_OK, false},
        {18, "T1", "Record Update Error", YNC, BUTTON_CANCEL, false},
        {19, "T1", "Upozorenje", BUTTON_OK, BUTTON_OK, false},
        {20, "T1", "Upozorenje", BUTTON_OK, BUTTON_OK, false},
        {21, "T1", "Upozorenje", BUTTON_OK, BUTTON_OK, false},
        {23, "T1", "Odustajanje", BUTTON_YES | BUTTON_NO, BUTTON_NO, false},
        {24, "T1", "Ne može se unjeti dva ista podatka", BUTTON_OK, BUTTON_OK, false},
        {25, "T1", "Automatska dodjela broja nije uspjela ", BUTTON_RETRY | BUTTON_CANCEL, BUTTON_CANCEL, false},
        {26, "T1", "Greška kod otvaranja ", BUTTON_OK, BUTTON_OK, false},
        {27, "T1", " Opozov zahtjeva", BUTTON_OK | BUTTON_CANCEL, BUTTON_CANCEL, false},
        {28, "T1", "Greška kod učitavanja datoteke.", BUTTON_OK, BUTTON_OK, false},
        {29, "Down  ", "Kraj datoteke", BUTTON_YES | BUTTON_NO, BUTTON_YES, false},
        {29, "Up", "Početak datoteke", BUTTON_YES | BUTTON_NO, BUTTON_YES, false},
        {31, "Put", "Process PUT Error", BUTTON_OK, BUTTON_OK, false},
        {31, "Delete", "Process DELETE Error", BUTTON_OK, BUTTON_OK, false},
        {32, "T1", "Potvrda brisanja", BUTTON_OK | BUTTON_CANCEL, BUTTON_CANCEL, false},
        {33, "T1", "Update Cancelled", YNC, BUTTON_NO, false},
        {34, "T1", "Transaction Framing Error", BUTTON_OK, BUTTON_OK, true},
        {35, "T1", "Greška pristua slogu", BUTTON_OK, BUTTON_OK, true},
        {36, "T1", "Greška kod pogleda", BUTTON_OK, BUTTON_OK, true},
        {37, "T1", "Record Added", BUTTON_YES | BUTTON_NO, BUTTON_YES, false},
        {38, "T1", "Record Was Not Updated", BUTTON_OK, BUTTON_OK, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        kit.messages.clear();
        // Press the last button offered: asks return it, 34 to 36 return 0 whatever is pressed.
        unsigned last = 1;
        while (last * 2 <= c.buttons) last *= 2;
        kit.answer(int(last));
        EXPECT_EQ(vx::STANDARDWARNING(c.id, c.text1), c.returnsZero ? 0 : int(last));
        ASSERT_EQ(kit.messages.size(), 1u);
        const ui::MessageSpec& m = kit.messages[0];
        EXPECT_EQ(m.caption, c.caption);
        EXPECT_EQ(m.buttons, c.buttons);
        EXPECT_EQ(m.defaultButton, c.defaultButton);
        EXPECT_FALSE(m.text.empty());
    }
    // The texts of the ones that name a file carry it.
    kit.messages.clear();
    vx::STANDARDWARNING(7, "kupci.dat   ");
    ASSERT_EQ(kit.messages.size(), 1u);
    EXPECT_EQ(kit.messages[0].text.rfind("Ne mogu pročitati kljuć datoteke .  Grečka: ", 0), 0u);
    EXPECT_NE(kit.messages[0].text.find("kupci.dat)"), std::string::npos);
}

TEST_F(StandardWarning, Id22EndsTheProgram) {
    try {
        vx::STANDARDWARNING(22, "kupci.dat");
        FAIL() << "did not end";
    } catch (const vx::ProcessExit& e) {
        EXPECT_EQ(e.code, 1);
    }
    ASSERT_EQ(kit.messages.size(), 2u);
    EXPECT_EQ(kit.messages[0].caption, " Kreiranje datoteke onemogućeno");
    EXPECT_EQ(kit.messages[1].caption, "Halt");
    EXPECT_EQ(kit.messages[1].text, "File Creation Error!");
}

TEST_F(StandardWarning, Id2ReturnsTwoForAnyAnswerButNo) {
    for (int answer : {int(ui::BUTTON_YES), 0, int(ui::BUTTON_CANCEL)}) {
        kit.answer(answer);
        EXPECT_EQ(vx::STANDARDWARNING(2, "f"), 2) << answer;
    }
}

}  // namespace
