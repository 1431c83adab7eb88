// The connection log VXF_LOG and the log as a file that windows join: the
// bytes it leaves on disk, its commands, and its per-thread open state.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "platform/datafile.h"
#include "platform/portable/datafile_faults.h"
#include "platform/portable/test_platform.h"
#include "shared/vxf_log.h"
#include "ui/headless/headless.h"

namespace {

using vx::VXF_LOG;

class Log : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
        char tmpl[] = "/tmp/vx-log-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        vx::GLO_LOGFILE = "";
    }
    void TearDown() override {
        vx::closeLogFile();
        ASSERT_EQ(chdir(previous), 0);
        for (const char* f : {"vxlog.log", "other.log"}) unlink((dir + "/" + f).c_str());
        rmdir(dir.c_str());
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static bool exists(const std::string& file) {
        struct stat st;
        return stat(file.c_str(), &st) == 0;
    }

    vx::TestPlatform tp;
    ui::HeadlessToolkit kit;
    vx::FaultyFileSystem fs;
    std::string dir;
    char previous[4096];
};

TEST_F(Log, BlankNameMeansVxlogInTheCurrentFolder) {
    for (const char* command : {"OTVORI", "NEW"}) {
        for (const char* a2 : {"", "     "}) {
            SCOPED_TRACE(std::string(command) + " [" + a2 + "]");
            vx::GLO_LOGFILE = "C:\\work\\vxlog.log";  // what start-up puts there
            VXF_LOG(command, a2);
            EXPECT_EQ(vx::GLO_LOGFILE.clip(), "vxlog.log");
            EXPECT_TRUE(exists("vxlog.log"));
            VXF_LOG("ZATVORI");
            unlink("vxlog.log");
        }
    }
    EXPECT_TRUE(kit.messages.empty());
}

TEST_F(Log, NameIsClippedAndCutTo222) {
    VXF_LOG("OTVORI", "other.log    ");
    EXPECT_EQ(vx::GLO_LOGFILE.clip(), "other.log");
    EXPECT_TRUE(exists("other.log"));
    VXF_LOG("ZATVORI");
    const std::string cut(222, 'a');
    VXF_LOG("OTVORI", std::string(230, 'a'));
    EXPECT_EQ(vx::GLO_LOGFILE.clip(), cut);
    EXPECT_TRUE(exists(cut));
    VXF_LOG("ZATVORI");
    unlink(cut.c_str());
}

TEST_F(Log, LinesAsTheyLieOnDisk) {
    const std::string longLine(300, 'x');
    VXF_LOG("OTVORI");
    VXF_LOG(" 1.12.2026 10:00:00 Server :12345");
    VXF_LOG("trailing spaces    ");
    VXF_LOG("");
    VXF_LOG("      ");
    VXF_LOG(longLine);
    VXF_LOG("otvori");        // command words are upper case only
    VXF_LOG("zatvori");
    VXF_LOG(" NEW");          // a leading space makes it a line
    VXF_LOG("čćžšđ ČĆŽŠĐ");   // Windows-1250 bytes, as they are
    VXF_LOG("ZATVORI   ");    // a command with trailing spaces
    VXF_LOG("ZATVORI");
    EXPECT_EQ(read("vxlog.log"), " 1.12.2026 10:00:00 Server :12345\r\n"
                                 "trailing spaces\r\n"
                                 "\r\n"
                                 "\r\n" +
                                     std::string(255, 'x') +
                                     "\r\n"
                                     "otvori\r\n"
                                     "zatvori\r\n"
                                     " NEW\r\n"
                                     "\xE8\xE6\x9E\x9A\xF0 \xC8\xC6\x8E\x8A\xD0\r\n");
    EXPECT_TRUE(kit.messages.empty());  // closing twice shows nothing
}

TEST_F(Log, NewEmptiesTheLogAndAppendsFromThere) {
    VXF_LOG("OTVORI");
    VXF_LOG("old");
    VXF_LOG("NEW");  // with the log open: closed, recreated, opened
    VXF_LOG("new");
    VXF_LOG("ZATVORI");
    EXPECT_EQ(read("vxlog.log"), "new\r\n");
}

TEST_F(Log, ALineOpensAClosedLogAndLeavesItOpen) {
    vx::GLO_LOGFILE = "vxlog.log";
    VXF_LOG("first");   // the file is missing: created
    VXF_LOG("second");
    EXPECT_EQ(fs.count("create"), 1);
    EXPECT_EQ(fs.count("open"), 2);  // the failed one and the one after creating
    EXPECT_EQ(fs.count("close"), 0);
    VXF_LOG("ZATVORI");
    VXF_LOG("third");   // open again after a close
    EXPECT_EQ(fs.count("open"), 3);
    EXPECT_EQ(read("vxlog.log"), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(Log, OtvoriOnAnOpenLogOnlyChangesTheName) {
    VXF_LOG("OTVORI");
    VXF_LOG("one");
    VXF_LOG("OTVORI", "other.log");
    VXF_LOG("two");  // still the file opened first
    EXPECT_EQ(vx::GLO_LOGFILE.clip(), "other.log");
    EXPECT_FALSE(exists("other.log"));
    VXF_LOG("ZATVORI");
    EXPECT_EQ(read("vxlog.log"), "one\r\ntwo\r\n");
}

TEST_F(Log, PrikaziStartsTheViewerThenCloses) {
    VXF_LOG("OTVORI", dir + "/vxlog.log");
    fs.calls.clear();
    tp.processes.failing["Write.exe"] = "Sustav ne može pronaći datoteku.";
    VXF_LOG("PRIKAZI");
    // Program name, three blanks, the file: the viewer's command line.
    ASSERT_EQ(tp.processes.started.size(), 1u);
    EXPECT_EQ(tp.processes.started[0], "Write.exe   " + dir + "/vxlog.log");
    EXPECT_EQ(fs.calls, std::vector<std::string>{"close"});  // started with the log open
    EXPECT_TRUE(kit.messages.empty());                       // a failed start is not reported
}

TEST_F(Log, FailedAppendIsShownAndTheLineLost) {
    VXF_LOG("OTVORI");
    fs.appends = {{vx::FILE_SYSTEM_ERROR, 112, "Nema dovoljno prostora na disku."}};
    VXF_LOG("lost");
    VXF_LOG("kept");
    ASSERT_EQ(kit.messages.size(), 1u);
    const ui::MessageSpec& m = kit.messages[0];
    EXPECT_EQ(m.text, "File System Error");
    EXPECT_EQ(m.caption, "");
    EXPECT_EQ(m.icon, ui::Icon::None);
    EXPECT_EQ(m.buttons, unsigned(ui::BUTTON_OK));
    VXF_LOG("ZATVORI");
    EXPECT_EQ(read("vxlog.log"), "kept\r\n");
}

TEST_F(Log, UncreatableLogEndsTheProgram) {
    try {
        VXF_LOG("OTVORI", dir + "/missing/vxlog.log");
        FAIL() << "did not end";
    } catch (const vx::ProcessExit& e) {
        EXPECT_EQ(e.code, 1);
    }
    ASSERT_EQ(kit.messages.size(), 2u);
    EXPECT_EQ(kit.messages[0].caption, "Greška kod kreiranja ");
    EXPECT_EQ(kit.messages[1].text, "Greška kod kreiranja!");
}

TEST_F(Log, EachThreadHasItsOwnLog) {
    VXF_LOG("OTVORI");
    VXF_LOG("main");
    fs.calls.clear();
    std::thread([] {
        VXF_LOG("worker");   // opens this thread's own log
        VXF_LOG("ZATVORI");  // closes only that one
    }).join();
    VXF_LOG("main again");
    EXPECT_EQ(fs.count("open"), 1);
    EXPECT_EQ(fs.count("close"), 1);
    VXF_LOG("ZATVORI");
    EXPECT_EQ(read("vxlog.log"), "main\r\nworker\r\nmain again\r\n");
}

TEST_F(Log, LogFileUseForWindows) {
    vx::GLO_LOGFILE = "vxlog.log";
    ui::FileUse& use = vx::LOGFILE();
    EXPECT_EQ(use.usedCount(), 0);
    use.openGuarded();  // missing: created silently
    EXPECT_TRUE(exists("vxlog.log"));
    EXPECT_TRUE(kit.messages.empty());
    ++use.usedCount();
    int other = -1;
    std::thread([&] { other = vx::LOGFILE().usedCount(); }).join();
    EXPECT_EQ(other, 0);  // the count is per thread
    VXF_LOG("line");
    EXPECT_EQ(fs.count("open"), 2);  // the line joined the open log
    use.close();
    EXPECT_EQ(fs.count("close"), 1);
    --use.usedCount();
    vx::closeLogFile();  // closing a closed log is harmless
    EXPECT_EQ(fs.count("close"), 1);
}

}  // namespace
