// The window procedure frame on the headless toolkit: initialisation and
// refresh, resizing, rejected input, closing, event order, the data files a
// window joins, the automatic redraw, and the display formats.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/portable/datafile_faults.h"
#include "platform/portable/test_platform.h"
#include "shared/vxf_log.h"
#include "ui/frame.h"
#include "ui/headless/headless.h"

namespace {

using namespace ui;

// Shared values that the windows bind to.
struct Values {
    vx::Text<10> name{"Ana"};
    uint32_t count = 7;
    uint32_t number = 42;
    int32_t result = 0;
};

constexpr int kUserEvent = 0x500;
constexpr int kRefresh = -1;  // marks a refresh in the trace

enum Field { NAME = 1, COUNT_SHOWN = 2, NUMBER = 3, CLOSE = 4, CHILD = 5, COUNT_ENTRY = 6 };

WindowDef testWindow(const std::string& title, Values& v) {
    WindowDef d;
    d.title = title;
    d.resizable = true;
    d.controls = {
        entry(Var::of(v.name), Format::text(10)),       // 1
        display(Var::of(v.count), Format::digits(5)),   // 2
        entry(Var::of(v.number), Format::number(8)),    // 3
        button("Zatvori"),                              // 4
        button("Otvori"),                               // 5
        entry(Var::of(v.count), Format::digits(5)),     // 6
    };
    return d;
}

// A window that traces the events it sees and the refreshes it makes.
class TestWindow : public WindowProcedure {
public:
    TestWindow(const std::string& title, Values& v, std::vector<FileUse*> uses = {})
        : WindowProcedure(testWindow(title, v)), v_(v), uses_(std::move(uses)) {}

    std::vector<int> trace;          // event codes, kRefresh for each refresh
    std::vector<int> initialisedAt;  // event code being handled when it initialised
    std::function<void()> onChild;   // what the "Otvori" button runs
    std::vector<std::string> steps;  // the close button's action and the return step
    int32_t taken = -1;

protected:
    std::vector<FileUse*> files() override { return uses_; }
    void beforeEvent(const Event& e) override { trace.push_back(e.code); }
    void LOOKUPRELATED() override {
        trace.push_back(kRefresh);
        if (!WINDOWINITIALIZED) initialisedAt.push_back(event().code);
    }
    void windowEvent(const Event& e) override {
        if (e.code == kUserEvent) post(kUserEvent + 1);
    }
    void controlEvent(const Event& e) override {
        if (e.code != EVENT_Accepted) return;
        if (e.field == CLOSE) {
            v_.result = 5;
            steps.push_back("action");
            post(EVENT_CloseWindow);
            steps.push_back(window().isOpen() ? "still open" : "closed");
        }
        if (e.field == CHILD && onChild) onChild();
    }
    void returnSteps() override {
        steps.push_back(window().isOpen() ? "return: open" : "return: closed");
        taken = v_.result;
    }

private:
    Values& v_;
    std::vector<FileUse*> uses_;
};

// Hands a window's first two events over in the other order, so that
// EVENT:GainFocus arrives before EVENT:OpenWindow.
class SwappedWindow : public Window {
public:
    explicit SwappedWindow(std::unique_ptr<Window> w) : w_(std::move(w)) {}
    void open() override { w_->open(); }
    void close() override { w_->close(); }
    bool isOpen() const override { return w_->isOpen(); }
    Event next() override {
        if (!swapped_) {
            swapped_ = true;
            Event first = w_->next();
            held_ = first;
            Event second = w_->next();
            return second;
        }
        if (held_.code) {
            Event e = held_;
            held_ = {};
            return e;
        }
        return w_->next();
    }
    void post(const Event& e) override { w_->post(e); }
    void display(int a, int b) override { w_->display(a, b); }
    void redrawDisplays() override { w_->redrawDisplays(); }
    void select(int f) override { w_->select(f); }
    void setEnabled(int f, bool on) override { w_->setEnabled(f, on); }
    void setHidden(int f, bool h) override { w_->setHidden(f, h); }
    bool isEnabled(int f) const override { return w_->isEnabled(f); }
    bool isHidden(int f) const override { return w_->isHidden(f); }
    void setStatusText(int z, const std::string& t) override { w_->setStatusText(z, t); }
    int selectedRow(int f) const override { return w_->selectedRow(f); }
    Browser* browser(int f) override { return w_->browser(f); }
    intptr_t handle() const override { return w_->handle(); }
    void setWindowHidden(bool h) override { w_->setWindowHidden(h); }
    bool isWindowHidden() const override { return w_->isWindowHidden(); }
    void activate(bool on) override { w_->activate(on); }
    const WindowDef& definition() const override { return w_->definition(); }

private:
    std::unique_ptr<Window> w_;
    bool swapped_ = false;
    Event held_;
};

class FocusFirstKit : public HeadlessToolkit {
public:
    std::unique_ptr<Window> create(const WindowDef& def) override {
        return std::make_unique<SwappedWindow>(HeadlessToolkit::create(def));
    }
};

// A data file whose opens and closes are counted.
class CountedFile : public FileUse {
public:
    int& usedCount() override { return used; }
    void openGuarded() override { ++opens; }
    void close() override { ++closes; }
    int used = 0, opens = 0, closes = 0;
};

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        tp.install();
        kit.install();
    }
    vx::TestPlatform tp;
    HeadlessToolkit kit;
    Values v;
};

TEST_F(Frame, InitialisesOnceOnTheFirstOfOpenAndFocus) {
    // Open first (the usual order): initialised there, the focus event refreshes.
    TestWindow w("W", v);
    int focus = -1;
    kit.onWindow("W", [&](HeadlessWindow& hw) { focus = hw.focus(); });
    w.run();
    EXPECT_EQ(w.initialisedAt, std::vector<int>{EVENT_OpenWindow});
    EXPECT_EQ(std::count(w.trace.begin(), w.trace.end(), kRefresh), 2);
    EXPECT_EQ(focus, 1);
    EXPECT_EQ(w.WINDOWINITIALIZED, 1);
}

TEST(FrameFocusFirst, GainFocusFirstInitialisesAndOpenStillSelects) {
    vx::TestPlatform tp;
    tp.install();
    FocusFirstKit kit;
    kit.install();
    Values v;
    TestWindow w("W", v);
    int focus = -1;
    kit.onWindow("W", [&](HeadlessWindow& hw) { focus = hw.focus(); });
    w.run();
    EXPECT_EQ(w.initialisedAt, std::vector<int>{EVENT_GainFocus});
    // GainFocus (refresh from the initialisation), OpenWindow with no refresh, close.
    EXPECT_EQ(w.trace, (std::vector<int>{EVENT_GainFocus, kRefresh, EVENT_OpenWindow, EVENT_CloseWindow}));
    EXPECT_EQ(focus, 1);
}

TEST_F(Frame, RegainedFocusRedrawsWhatAChildWindowChanged) {
    Values childValues;
    TestWindow parent("Parent", v);
    std::string entryWhileChildRuns, displayWhileChildRuns;
    parent.onChild = [&] {
        TestWindow child("Child", childValues);
        kit.onWindow("Child", [&](HeadlessWindow& c) {
            v.count = 99;
            v.name = "Branka";
            c.raise(kUserEvent);  // any handled event redraws display fields everywhere
        });
        kit.onWindow("Child", [&](HeadlessWindow&) {
            HeadlessWindow* p = kit.find("Parent");
            displayWhileChildRuns = p->shown(COUNT_SHOWN);
            entryWhileChildRuns = p->shown(COUNT_ENTRY);
        });
        kit.onWindow("Child", [&](HeadlessWindow& c) { c.closeBox(); });
        child.run();
    };
    kit.onWindow("Parent", [&](HeadlessWindow& p) {
        EXPECT_EQ(p.shown(NAME), "Ana");
        p.click(CHILD);
    });
    std::string nameAfter, countAfter;
    kit.onWindow("Parent", [&](HeadlessWindow& p) {
        nameAfter = p.shown(NAME);
        countAfter = p.shown(COUNT_ENTRY);
    });
    parent.run();
    EXPECT_EQ(displayWhileChildRuns, "00099");  // display fields follow at once
    EXPECT_EQ(entryWhileChildRuns, "00007");    // entries wait for a redisplay
    EXPECT_EQ(nameAfter, "Branka");
    EXPECT_EQ(countAfter, "00099");
}

TEST_F(Frame, EachSizedGivesOneDoResizeAndARedraw) {
    TestWindow w("W", v);
    kit.onWindow("W", [&](HeadlessWindow& hw) {
        w.trace.clear();
        v.number = 1234;
        hw.resize();
        hw.resize();
    });
    std::string shown;
    kit.onWindow("W", [&](HeadlessWindow& hw) { shown = hw.shown(NUMBER); });
    w.run();
    // The refresh comes when DoResize is taken from the queue, not at EVENT:Sized.
    std::vector<int> expected{EVENT_Sized, EVENT_Sized, DoResize, kRefresh, DoResize, kRefresh};
    ASSERT_GE(w.trace.size(), expected.size());
    EXPECT_EQ(std::vector<int>(w.trace.begin(), w.trace.begin() + 6), expected);
    EXPECT_EQ(shown, "1234");
}

TEST_F(Frame, InputThatDoesNotFitIsRejected) {
    struct Case {
        int field;
        std::string input;
        bool accepted;
        std::string shownAfter;
    } cases[] = {
        {NUMBER, "12a", false, "42"},
        {NUMBER, "123456789", false, "42"},  // more than the 8 characters of the entry
        {NUMBER, "-5", false, "42"},         // a negative into an unsigned
        {NUMBER, "12345678", true, "12345678"},
        {NAME, "Ivana", true, "Ivana"},
        {NAME, "Ana\r\nB", true, "Ana"},  // an entry holds one line: the settings file is line-based
        {NAME, "Ana\nB", true, "Ana"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Values vals;
        TestWindow w("W", vals);
        int beeps = kit.beeps;
        std::string shown;
        int focus = 0;
        kit.onWindow("W", [&](HeadlessWindow& hw) {
            hw.type(c.field, c.input);
            hw.click(CHILD);  // leaving the entry completes it
        });
        kit.onWindow("W", [&](HeadlessWindow& hw) {
            shown = hw.shown(c.field);
            focus = hw.focus();
        });
        w.run();
        bool rejected = std::count(w.trace.begin(), w.trace.end(), int(EVENT_Rejected)) == 1;
        EXPECT_EQ(rejected, !c.accepted);
        EXPECT_EQ(kit.beeps - beeps, c.accepted ? 0 : 1);
        if (!c.accepted) {
            EXPECT_EQ(shown, c.shownAfter);  // the variable's old value again
            EXPECT_EQ(focus, c.field);
            EXPECT_EQ(vals.number, 42u);
        } else if (c.field == NUMBER) {
            EXPECT_EQ(vals.number, 12345678u);
        } else {
            EXPECT_EQ(vals.name.clip(), c.shownAfter);
        }
    }
}

TEST_F(Frame, CloseButtonRunsToTheEndAndTheResultIsTakenOnReturn) {
    TestWindow w("W", v);
    kit.onWindow("W", [&](HeadlessWindow& hw) { hw.click(CLOSE); });
    w.run();
    EXPECT_EQ(w.steps, (std::vector<std::string>{"action", "still open", "return: closed"}));
    EXPECT_EQ(w.taken, 5);
    EXPECT_EQ(kit.unanswered, 0);  // closed by the button, not by the script running out
}

TEST_F(Frame, PostedEventsComeAfterThoseAlreadyQueued) {
    TestWindow w("W", v);
    kit.onWindow("W", [&](HeadlessWindow& hw) {
        w.trace.clear();
        hw.raise(kUserEvent);  // its handler posts kUserEvent + 1
        hw.click(CLOSE);
    });
    w.run();
    std::vector<int> codes;
    for (int c : w.trace)
        if (c != kRefresh) codes.push_back(c);
    EXPECT_EQ(codes, (std::vector<int>{kUserEvent, EVENT_Accepted, kUserEvent + 1, EVENT_CloseWindow}));
}

TEST_F(Frame, DataFilesAreJoinedPerNestedWindow) {
    // No file: FILESOPENED is still set and nothing is closed.
    {
        TestWindow w("W", v);
        w.run();
        EXPECT_EQ(w.FILESOPENED, 1);
        EXPECT_EQ(w.WINDOWOPENED, 1);
    }
    CountedFile f;
    TestWindow outer("Outer", v, {&f});
    std::vector<int> inside;  // opens, closes, count while the inner window runs
    int afterInner = -1;
    outer.onChild = [&] {
        TestWindow inner("Inner", v, {&f});
        kit.onWindow("Inner", [&](HeadlessWindow&) { inside = {f.opens, f.closes, f.used}; });
        inner.run();
        afterInner = f.used;
    };
    kit.onWindow("Outer", [&](HeadlessWindow& hw) { hw.click(CHILD); });
    outer.run();
    EXPECT_EQ(inside, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(afterInner, 1);
    EXPECT_EQ(f.opens, 1);
    EXPECT_EQ(f.closes, 1);
    EXPECT_EQ(f.used, 0);
}

TEST_F(Frame, TheLogIsOpenedByTheFirstWindowAndClosedByTheLast) {
    char tmpl[] = "/tmp/vx-framelog-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/vxlog.log";
    vx::GLO_LOGFILE = path;
    vx::FaultyFileSystem fs;
    TestWindow w("Main", v, {&vx::LOGFILE()});
    kit.onWindow("Main", [&](HeadlessWindow&) { vx::VXF_LOG("line"); });
    w.run();
    struct stat st;
    EXPECT_EQ(stat(path.c_str(), &st), 0);  // created by the guarded open
    EXPECT_EQ(fs.count("create"), 1);
    EXPECT_EQ(fs.count("close"), 1);
    EXPECT_EQ(vx::LOGFILE().usedCount(), 0);
    EXPECT_TRUE(kit.messages.empty());
    unlink(path.c_str());
    rmdir(tmpl);
}

TEST_F(Frame, DisplayFormats) {
    uint32_t u = 0;
    int32_t i = 0;
    vx::Text<12> t;
    struct Case {
        Var var;
        Format format;
        std::function<void()> set;
        std::string shown;
    } cases[] = {
        {Var::of(u), Format::digits(4), [&] { u = 42; }, "0042"},
        {Var::of(u), Format::digits(5), [&] { u = 42; }, "00042"},
        {Var::of(u), Format::digits(6), [&] { u = 7; }, "000007"},
        {Var::of(u), Format::digits(7), [&] { u = 12345; }, "0012345"},
        {Var::of(u), Format::digits(7), [&] { u = 0; }, "0000000"},
        {Var::of(t), Format::text(5), [&] { t = "Zagreb grad"; }, "Zagre"},
        {Var::of(t), Format::text(20), [&] { t = "Split   "; }, "Split"},
        {Var::of(u), Format::commas(13), [&] { u = 1234567; }, "1,234,567"},
        {Var::of(u), Format::commas(13), [&] { u = 999; }, "999"},
        {Var::of(i), Format::commas(13), [&] { i = -12345; }, "-12,345"},
        {Var::of(i), Format::time(), [&] { i = 0; }, "0:00:00"},
        // 10:05:07.00 as a time of day (hundredths since midnight, plus one).
        {Var::of(i), Format::time(), [&] { i = ((10 * 60 + 5) * 60 + 7) * 100 + 1; }, "10:05:07"},
        {Var::of(u), Format::check(), [&] { u = 1; }, "1"},
        {Var::of(u), Format::check(), [&] { u = 0; }, "0"},
        {Var::of(i), Format::number(8), [&] { i = -305; }, "-305"},
    };
    for (const Case& c : cases) {
        c.set();
        EXPECT_EQ(formatValue(c.var, c.format), c.shown);
    }
}

}  // namespace
