// The reporter's native test ground: the test platform, the fake tray and
// a headless toolkit that records thread stacks, a fresh folder as the
// current directory (seen as "C:"), and the reporter's state reset.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/portable/test_platform.h"
#include "platform/portable/test_tray.h"
#include "reporter/frame_extension.h"
#include "reporter/zilvara.h"
#include "shared/funkcije.h"
#include "ui/headless/headless.h"

// The headless toolkit, noting the stack size each thread was asked for.
struct StackRecordingKit : ui::HeadlessToolkit {
    std::vector<std::size_t> stacks;
    uint32_t startThread(std::function<void()> body, std::size_t stack) override {
        stacks.push_back(stack);
        return ui::HeadlessToolkit::startThread(std::move(body), stack);
    }
};

class ReporterTest : public ::testing::Test {
protected:
    static constexpr const char* kFrame = "Kvarnel Soft 2009-2026";
    static constexpr const char* kIni = "C:\\ZEDOVoridi.ini";

    void SetUp() override {
        tp.install();
        kit.install();
        tray.install();
        char tmpl[] = "/tmp/vx-reporter-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        tp.system.cwd = "C:";
        zilvara::GLO = zilvara::Global{};
        zilvara::resetLastCheck();
        zilvara::runningFrameExtension = nullptr;
        vx::GLO_EXPLODE = vx::ReplyFields{};
        vx::MESSA[0] = 0;
        vx::HREQUEST[0] = 0;
    }
    void TearDown() override {
        kit.joinThreads();
        vx::setTray(nullptr);
        ASSERT_EQ(chdir(previous), 0);
        std::remove((dir + "/" + kIni).c_str());
        rmdir(dir.c_str());
    }

    void writeIni(const std::string& text) {
        std::ofstream(dir + "/" + kIni, std::ios::binary) << text;
    }
    std::string readIni() {
        std::ifstream in(dir + "/" + kIni, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A server with an ID and the registry's answers for its check.
    void server(const std::string& id = "0042", int16_t minutes = 5) {
        zilvara::GLO.IDIPSERVERA = id;
        zilvara::GLO.NAZIVSERVERA = "SRV1";
        zilvara::GLO.GRUPA = "GRP";
        zilvara::GLO.WEBADRESA = "http://reg.example/dns/";
        zilvara::GLO.VRIJEME = minutes;
    }
    // A record whose field 15 is the address.
    static std::string record(const std::string& field15) {
        std::string r;
        for (int k = 1; k <= 14; ++k) r += "f" + std::to_string(k) + "|";
        return r + field15 + "|f16";
    }
    int checks() {  // sign-ins sent so far
        int n = 0;
        for (auto& c : tp.sender.calls) n += c.body.find("zahtjev1=PRIJAVA") != std::string::npos && c.mode == 0;
        return n;
    }

    vx::TestPlatform tp;
    StackRecordingKit kit;
    vx::TestTray tray;
    std::string dir;
    char previous[4096];
};
