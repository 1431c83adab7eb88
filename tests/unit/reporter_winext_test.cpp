// The tray extender against the fake tray seam and the headless toolkit:
// icon names, the shell's error rule and the record it is given, the
// send-to-tray state machine, notify routing by thread, the replaced
// window procedure's message table and the per-thread chain.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/portable/test_platform.h"
#include "platform/portable/test_tray.h"
#include "reporter/winext.h"
#include "ui/frame.h"
#include "ui/headless/headless.h"

namespace zilvara {
namespace {

using Ints = std::vector<int>;

// Records which slot ran.
struct Recording : WINDOWEXTENDERCLASS {
    Ints slots;
    uint8_t shutdownAnswer = 1;
    void TRAYICONMOUSELEFT() override { slots.push_back(1); }
    void TRAYICONMOUSERIGHT() override { slots.push_back(2); }
    void TRAYICONMOUSELEFT2() override { slots.push_back(3); }
    void TRAYICONMOUSERIGHT2() override { slots.push_back(4); }
    uint8_t PROCESSSHUTDOWN() override {
        slots.push_back(5);
        return shutdownAnswer;
    }
};

ui::WindowDef hostDefinition(bool iconised) {
    ui::WindowDef d;
    d.title = "Host";
    d.iconised = iconised;
    return d;
}

// A window bound to an extender the way the reporter's frame is.
class TrayHost : public ui::WindowProcedure {
public:
    TrayHost(WINDOWEXTENDERCLASS& ext, uint8_t allowShutdown = 0, bool iconised = true)
        : ui::WindowProcedure(hostDefinition(iconised)), ext_(ext), allowShutdown_(allowShutdown) {}
    Ints events;  // every event the loop handed to TAKEEVENT

protected:
    void ownPreparation() override { ext_.INIT(window(), allowShutdown_, 1, "IPAdresa.ico", "VX tip"); }
    void beforeEvent(const ui::Event& e) override {
        events.push_back(e.code);
        ext_.TAKEEVENT();
    }
    void returnSteps() override { ext_.DESTRUCT(); }

private:
    WINDOWEXTENDERCLASS& ext_;
    uint8_t allowShutdown_;
};

ui::Event notification(uint32_t code, uint32_t thread) {
    ui::Event e;
    e.code = ui::EVENT_Notify;
    e.notifyCode = code;
    e.notifyThread = thread;
    e.notifyParam = 1;
    return e;
}

class Extender : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
        tray.install();
        tray.icons["IPAdresa_ico"] = 0x1C0;
    }
    void TearDown() override { vx::setTray(nullptr); }
    std::vector<uint32_t> shellMessages() {
        std::vector<uint32_t> out;
        for (auto& c : tray.shell) out.push_back(c.message);
        return out;
    }
    vx::TestPlatform tp;
    ui::HeadlessToolkit kit;
    vx::TestTray tray;
};

TEST_F(Extender, IconNameLosesTheDotFourFromTheEnd) {
    struct Case {
        std::string given, looked;
    } cases[] = {
        {"IPAdresa.ico", "IPAdresa_ico"},
        {"a.b.ico", "a.b_ico"},
        {".ico", "_ico"},
        {"icon.x", "icon.x"},
        {"ico", "ico"},
        {"", ""},
        {"Plan.jpeg", "Plan.jpeg"},
        // Cut to 127 first; the rule then reads the cut name.
        {std::string(123, 'n') + ".ico" + "zzz", std::string(123, 'n') + "_ico"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        Recording ext;
        tray.iconLoads.clear();
        ext.SETICONNAME(c.given);
        EXPECT_EQ(tray.iconLoads, std::vector<std::string>{c.looked});
        EXPECT_STREQ(ext.ICONNAME, c.looked.c_str());
    }
    Recording ext;
    ext.SETICONNAME("IPAdresa.ico");
    EXPECT_EQ(ext.ICONHANDLE, 0x1C0);
    ext.SETICONNAME("Nema.ico");
    EXPECT_EQ(ext.ICONHANDLE, 0);  // still added later, without an image
    EXPECT_TRUE(tray.shell.empty());  // not in the tray: no shell call
}

TEST_F(Extender, AddCountsAsDoneUnlessTheShellRecordsAnError) {
    struct Case {
        bool shellResult;
        uint32_t error;
        uint8_t added;
    } cases[] = {{true, 0, 1}, {false, 0, 1}, {false, 1460, 0}, {false, 5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        tray.shellResult = c.shellResult;
        tray.shellError = c.error;
        Recording ext;
        EXPECT_EQ(ext.ADDTRAYICON(), c.added);
    }
}

TEST_F(Extender, ShellIsGivenTheWholeRecordEachTime) {
    Recording ext;
    std::string longTip(70, 't');
    bool checked = false;
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        // Opened iconised: already in the tray, with the record of an add.
        ASSERT_EQ(tray.shell.size(), 1u);
        const vx::NotifyIconRecord& nid = tray.shell[0].nid;
        EXPECT_EQ(tray.shell[0].message, kNotifyAdd);
        EXPECT_EQ(nid.CBSIZE, sizeof(vx::NotifyIconRecord));
        EXPECT_EQ(nid.HWND, w.handle());
        EXPECT_EQ(nid.UID, 1u);
        EXPECT_EQ(nid.UFLAGS, 7u);
        EXPECT_EQ(nid.UCBMESSAGE, 0x660u);
        EXPECT_EQ(nid.HICON, 0x1C0);
        EXPECT_STREQ(nid.TOOLTIP, "VX tip");
        // A tip changed in the tray is shown at once, cut to 63 characters.
        ext.SETTOOLTIP(longTip);
        ASSERT_EQ(tray.shell.size(), 2u);
        EXPECT_EQ(tray.shell[1].message, kNotifyModify);
        EXPECT_EQ(tray.shell[1].nid.UFLAGS, 6u);
        EXPECT_EQ(std::string(tray.shell[1].nid.TOOLTIP), longTip.substr(0, 63));
        checked = true;
        w.closeBox();
    });
    TrayHost(ext).run();
    ASSERT_TRUE(checked);
    // Closing in the tray deletes the icon first, with the add's flags.
    ASSERT_EQ(shellMessages(), (std::vector<uint32_t>{kNotifyAdd, kNotifyModify, kNotifyDelete}));
    EXPECT_EQ(tray.shell[2].nid.UFLAGS, 7u);
    EXPECT_EQ(ext.ONTRAY, 0);
}

TEST_F(Extender, TipOutsideTheTrayIsOnlyStored) {
    Recording ext;
    ext.SETTOOLTIP("novi");
    EXPECT_STREQ(ext.TOOLTIP, "novi");
    EXPECT_TRUE(tray.shell.empty());
}

TEST_F(Extender, MinimisedWindowGoesToTheTrayOrStaysOnTheTaskbar) {
    struct Case {
        const char* name;
        bool shellResult;
        uint32_t error;
        bool inTray;
    } cases[] = {
        {"shell accepts", true, 0, true},
        {"refused, no error recorded", false, 0, true},
        {"refused with an error", false, 1460, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tray.shellResult = c.shellResult;
        tray.shellError = c.error;
        Recording ext;
        bool hidden = false, active = true;
        kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
            hidden = w.isWindowHidden();
            active = w.isActive();
            w.closeBox();
        });
        TrayHost host(ext);
        host.run();
        EXPECT_EQ(hidden, c.inTray);
        EXPECT_EQ(active, !c.inTray);
        // A failed add posts EVENT:Maximize, which finds the window not in the tray.
        Ints expected{ui::EVENT_OpenWindow, ui::EVENT_GainFocus, ui::EVENT_Iconized};
        if (!c.inTray) expected.push_back(ui::EVENT_Maximize);
        expected.push_back(ui::EVENT_CloseWindow);
        EXPECT_EQ(host.events, expected);
        EXPECT_TRUE(tray.restored.empty());
    }
}

TEST_F(Extender, RestoreAndMinimiseAgain) {
    Recording ext;
    intptr_t hwnd = 0;
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        hwnd = w.handle();
        EXPECT_EQ(ext.ONTRAY, 1);
        w.raise(ui::EVENT_Maximize);
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(ext.ONTRAY, 0);
        EXPECT_FALSE(w.isWindowHidden());
        EXPECT_TRUE(w.isActive());
        EXPECT_EQ(tray.restored, std::vector<intptr_t>{hwnd});  // ShowWindow SW_RESTORE
        // Restored: a second maximise does nothing; minimising sends it back.
        w.raise(ui::EVENT_Maximize);
        w.raise(ui::EVENT_Iconized);
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(ext.ONTRAY, 1);
        EXPECT_TRUE(w.isWindowHidden());
        w.closeBox();
    });
    TrayHost(ext).run();
    EXPECT_EQ(shellMessages(),
              (std::vector<uint32_t>{kNotifyAdd, kNotifyDelete, kNotifyAdd, kNotifyDelete}));
    EXPECT_EQ(tray.restored.size(), 1u);
    EXPECT_EQ(kit.unanswered, 0);
}

TEST_F(Extender, TrayMessagesReachTheirSlotsOnlyInTheTrayAndFromTheOwnThread) {
    // The shell's mouse message (low word of LPARAM) and the slot it reaches.
    struct Case {
        intptr_t mouse;
        Ints slots;
    } cases[] = {
        {0x202, {1}}, {0x205, {2}}, {0x203, {3}}, {0x206, {4}},
        {0x201, {}},  {0x204, {}},  {0x200, {}},
        {0x10000 | 0x205, {2}},  // only the low 16 bits count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mouse);
        Recording ext;
        intptr_t answer = -1;
        kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
            answer = tray.deliver(w.handle(), 0x660, 1, c.mouse);
        });
        kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.closeBox(); });
        TrayHost(ext).run();
        EXPECT_EQ(answer, 0);
        EXPECT_EQ(ext.slots, c.slots);
    }
    EXPECT_TRUE(tray.passedOn.empty());  // never handed to the window's own procedure

    // Restored: no slot. From another thread's number: no slot.
    Recording ext;
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.raise(ui::EVENT_Maximize); });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        tray.deliver(w.handle(), 0x660, 1, 0x205);
        tray.deliver(w.handle(), 0x660, 1, 0x203);
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.raise(ui::EVENT_Iconized); });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        EXPECT_EQ(ext.ONTRAY, 1);
        w.post(notification(TrayNotifyRightUp, kit.currentThread() + 100));
        w.post(notification(TrayNotifyLeftUp, kit.currentThread()));
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.closeBox(); });
    TrayHost(ext).run();
    EXPECT_EQ(ext.slots, Ints{1});
}

TEST_F(Extender, SessionEndFromAnyThreadPostsCloseDown) {
    Recording ext;
    TrayHost host(ext);
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        w.post(notification(NotifySessionEnd, kit.currentThread() + 100));
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.closeBox(); });
    host.run();
    EXPECT_EQ(host.events, (Ints{ui::EVENT_OpenWindow, ui::EVENT_GainFocus, ui::EVENT_Iconized,
                                 ui::EVENT_Notify, ui::EVENT_CloseDown, ui::EVENT_CloseWindow}));
    EXPECT_TRUE(ext.slots.empty());
}

TEST_F(Extender, SessionAndActivationMessages) {
    constexpr intptr_t kPassedOn = 0x7E57;  // what the fake's original procedure answers
    struct Case {
        const char* name;
        uint8_t allowShutdown, answer;
        uint32_t msg;
        uintptr_t wParam;
        intptr_t result;
        Ints slots;
        bool closeDown;  // EVENT:CloseDown reached the loop
    } cases[] = {
        {"query refused when shutdown is not allowed", 0, 1, 0x11, 0, 0, {}, false},
        {"query answered by PROCESSSHUTDOWN: yes", 1, 1, 0x11, 0, 1, {5}, false},
        {"query answered by PROCESSSHUTDOWN: no", 1, 0, 0x11, 0, 0, {5}, false},
        {"end of session ignored", 0, 1, 0x16, 1, 0, {}, false},
        {"end of session becomes CloseDown", 1, 1, 0x16, 0, 1, {}, true},
        {"deactivation kept from the window", 0, 1, 0x1C, 0, 1, {}, false},
        {"activation passed on", 0, 1, 0x1C, 1, kPassedOn, {}, false},
        {"any other message passed on", 0, 1, 0x0F, 0, kPassedOn, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recording ext;
        ext.shutdownAnswer = c.answer;
        TrayHost host(ext, c.allowShutdown);
        intptr_t result = -1;
        kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
            result = tray.deliver(w.handle(), c.msg, c.wParam, 0);
        });
        kit.onWindow("Host", [&](ui::HeadlessWindow& w) { w.closeBox(); });
        tray.passedOn.clear();
        host.run();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(ext.slots, c.slots);
        bool closeDown = false;
        for (int e : host.events) closeDown |= e == ui::EVENT_CloseDown;
        EXPECT_EQ(closeDown, c.closeDown);
        EXPECT_EQ(tray.passedOn.size(), c.result == kPassedOn ? 1u : 0u);
        if (c.msg == 0x11 && c.allowShutdown) {
            EXPECT_EQ(ext.ONSHUTDOWN, c.answer);
        }
    }
}

TEST_F(Extender, ExplorerRestartBringsTheIconBackWhileInTheTray) {
    Recording ext;
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        tray.deliver(w.handle(), tray.taskbarCreatedMessage(), 0, 0);  // in the tray: added again
        w.raise(ui::EVENT_Maximize);
    });
    kit.onWindow("Host", [&](ui::HeadlessWindow& w) {
        tray.deliver(w.handle(), tray.taskbarCreatedMessage(), 0, 0);  // restored: nothing
        w.closeBox();
    });
    TrayHost(ext).run();
    EXPECT_EQ(shellMessages(), (std::vector<uint32_t>{kNotifyAdd, kNotifyAdd, kNotifyDelete}));
    EXPECT_EQ(tray.passedOn.size(), 2u);  // and the window still gets the broadcast
}

TEST_F(Extender, ChainOfExtendersIsPerThreadAndDestructStepsBack) {
    ui::WindowDef def;
    def.title = "Chain";
    auto first = kit.create(def), second = kit.create(def);
    first->open();
    second->open();
    Recording a, b;
    EXPECT_EQ(GLOCURRENTWINEXT, nullptr);
    a.INIT(*first, 0, 1, "IPAdresa.ico");
    b.INIT(*second, 0, 1, "IPAdresa.ico");
    EXPECT_EQ(GLOCURRENTWINEXT, &b);
    EXPECT_EQ(b.PRVWINEXT, &a);
    EXPECT_EQ(a.TOOLTIP[0], 0);  // no tip given: left as it was
    WINDOWEXTENDERCLASS* seenElsewhere = &a;
    std::thread([&] { seenElsewhere = GLOCURRENTWINEXT; }).join();
    EXPECT_EQ(seenElsewhere, nullptr);

    // The most recently bound extender serves every window of the thread.
    tray.deliver(first->handle(), 0x11, 0, 0);
    EXPECT_EQ(b.ONSHUTDOWN, 0);
    EXPECT_EQ(tray.procedure[first->handle()], tray.procedure[second->handle()]);

    // A window that is gone keeps its procedure; the chain steps back all the same.
    intptr_t gone = second->handle();
    tray.dead.insert(gone);
    b.DESTRUCT();
    EXPECT_EQ(GLOCURRENTWINEXT, &a);
    EXPECT_NE(tray.procedure[gone], 0);
    a.DESTRUCT();
    EXPECT_EQ(GLOCURRENTWINEXT, nullptr);
    EXPECT_EQ(tray.procedure[first->handle()], 0);  // the toolkit's own procedure again
    a.DESTRUCT();  // a second time changes nothing
    EXPECT_EQ(GLOCURRENTWINEXT, nullptr);
    EXPECT_TRUE(tray.shell.empty());  // the icon is not deleted here
}

}  // namespace
}  // namespace zilvara
