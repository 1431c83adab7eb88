// The console's native test ground: the test platform and headless toolkit
// installed, a fresh folder as the current directory (seen as "C:"), the
// console's state reset, and helpers to write the INI and read files back.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "console/morventa.h"
#include "platform/portable/test_platform.h"
#include "shared/funkcije.h"
#include "shared/vxf_log.h"
#include "ui/headless/headless.h"

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
        char tmpl[] = "/tmp/vx-console-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        // Paths the console builds ("C:" + "\ZEDOVoridi.ini") become files here.
        tp.system.cwd = "C:";
        morventa::resetState();
        vx::GLO_LOGFILE.clear();
        vx::GLO_EXPLODE = vx::ReplyFields{};
        vx::MESSA[0] = 0;
        vx::HREQUEST[0] = 0;
    }
    void TearDown() override {
        vx::closeLogFile();
        ASSERT_EQ(chdir(previous), 0);
        for (const char* f : {"C:\\ZEDOVoridi.ini", "C:\\vxlog.log", "vxlog.log"})
            std::remove((dir + "/" + f).c_str());
        rmdir(dir.c_str());
    }

    // A fresh start inside one test (for tables of whole runs).
    void again() {
        TearDown();
        tp.events.held.clear();
        tp.processes.started.clear();
        tp.processes.failing.clear();
        tp.system.drag = 0;
        tp.system.dragWrites.clear();
        tp.system.sleeps.clear();
        tp.sender.calls.clear();
        tp.sender.replies.clear();
        tp.sender.answers.clear();
        tp.random.next.clear();
        kit.messages.clear();
        kit.opened.clear();
        SetUp();
    }

    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void writeIni(const std::string& body) {
        std::ofstream out("C:\\ZEDOVoridi.ini", std::ios::binary);
        out << "[VOZidavar]\r\n" << body;
    }
    std::string ini() const { return read("C:\\ZEDOVoridi.ini"); }
    std::string log() const { return read("C:\\vxlog.log"); }
    // A registered desktop with a known registry and relay.
    void registered(const std::string& extra = "") {
        writeIni("Glo:IDKorisnika=501\r\nGlo:NazivKorisnika=MARKO\r\nGlo:Grupa=KOR\r\n"
                 "Glo:WebAdresa=http://reg.example/dns/\r\n" + extra);
        tp.sender.replies[kRelayUrl] = "10.0.0.5\r\n";
    }
    // Texts of every message shown so far.
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : kit.messages) out.push_back(m.text);
        return out;
    }

    static constexpr const char* kRelayUrl = "http://reg.example/dns/ZEDOVORIDI.txt";
    vx::TestPlatform tp;
    ui::HeadlessToolkit kit;
    std::string dir;
    char previous[4096];
};
