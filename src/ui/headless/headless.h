// The in-memory toolkit for native tests. A test scripts what the user does:
// steps that run when a window (by title) waits for its next event and its
// queue is empty, answers for the next message boxes and popup menus. It
// records every message box, menu, beep and window opened, and lets a step
// read back each control's shown text and its enabled, hidden and focus state.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/toolkit.h"

namespace ui {

class HeadlessToolkit;

class HeadlessBrowser : public Browser {
public:
    void navigate(const std::string& url, int flags) override;
    void command(const std::string& method) override;
    std::vector<std::string> log;  // "Navigate(URL=\"...\",Flags=14)", "GoBack", ...
};

class HeadlessWindow : public Window {
public:
    HeadlessWindow(HeadlessToolkit& kit, const WindowDef& def);
    ~HeadlessWindow() override;

    // --- Window ---
    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    Event next() override;
    void post(const Event& e) override;
    void display(int first, int last) override;
    void redrawDisplays() override;
    void select(int field) override { focus_ = field; }
    void setEnabled(int field, bool on) override { state(field).enabled = on; }
    void setHidden(int field, bool hidden) override { state(field).hidden = hidden; }
    bool isEnabled(int field) const override { return state(field).enabled; }
    bool isHidden(int field) const override { return state(field).hidden; }
    void setStatusText(int zone, const std::string& text) override { status_[zone] = text; }
    int selectedRow(int field) const override { return state(field).row; }
    Browser* browser(int field) override;
    intptr_t handle() const override { return open_ ? reinterpret_cast<intptr_t>(this) : 0; }
    void setWindowHidden(bool hidden) override { windowHidden_ = hidden; }
    bool isWindowHidden() const override { return windowHidden_; }
    void activate(bool on) override { active_ = on; }
    const WindowDef& definition() const override { return def_; }

    // --- what a test's step does, as the user would ---
    void type(int field, const std::string& text);  // text in an entry, not yet completed
    void accept(int field);     // complete: entry stored (or rejected), check toggled, button pressed
    void click(int field) { accept(field); }
    void chooseRow(int field, int row);              // EVENT:NewSelection
    void resize() { post({EVENT_Sized, 0}); }
    void gainFocus() { post({EVENT_GainFocus, 0}); }
    void tick() { post({EVENT_Timer, 0}); }
    void closeBox() { post({EVENT_CloseWindow, 0}); }
    void raise(int code, int field = 0) { post({code, field}); }

    // --- what a step reads back ---
    std::string shown(int field) const { return state(field).text; }
    int focus() const { return focus_; }
    std::string status(int zone) const;
    bool isActive() const { return active_; }
    const std::string& title() const { return def_.title; }
    HeadlessBrowser* fakeBrowser() { return &browser_; }
    uint32_t thread() const { return thread_; }

private:
    struct ControlState {
        std::string text;
        bool enabled = true, hidden = false, modified = false;
        int row = 0;
    };
    ControlState& state(int field);
    const ControlState& state(int field) const;
    void show(int field);
    // Completing an entry as leaving it would: stored (or rejected); the event that follows.
    Event completion(int field);
    std::vector<Event> completions(int except);  // every changed entry but `except`

    HeadlessToolkit& kit_;
    WindowDef def_;
    std::vector<ControlState> controls_;  // index = field number
    std::deque<Event> queue_;
    std::map<int, std::string> status_;
    HeadlessBrowser browser_;
    int focus_ = 0;
    bool open_ = false, windowHidden_ = false, active_ = false;
    uint32_t thread_ = 0;
    friend class HeadlessToolkit;
};

class HeadlessToolkit : public Toolkit {
public:
    HeadlessToolkit();
    ~HeadlessToolkit() override;
    void install() { setToolkit(this); }

    // --- scripting ---
    // Runs once, when the window of that title (empty: any) waits with an empty queue.
    void onWindow(const std::string& title, std::function<void(HeadlessWindow&)> step);
    void answer(int button);   // the next message box returns this
    void choose(int item);     // the next popup menu returns this
    // Called for every message box, before its answer is taken.
    std::function<void(const MessageSpec&)> onMessage;
    // Waits for every thread started by startThread().
    void joinThreads();

    // --- records ---
    std::vector<MessageSpec> messages;
    std::vector<std::string> menus;
    std::vector<std::string> opened;   // titles, in the order opened
    int beeps = 0;
    int unanswered = 0;  // windows closed because the script ran out

    // --- Toolkit ---
    std::unique_ptr<Window> create(const WindowDef& def) override;
    int message(const MessageSpec& request) override;
    int popup(const std::string& items) override;
    void beep() override;
    uint32_t startThread(std::function<void()> body, std::size_t stack) override;
    uint32_t currentThread() override;
    void notify(uint32_t code, uint32_t thread, intptr_t param) override;
    void redrawAll() override;
    std::string timeText(int hour, int minute, int second) override;
    Window* currentWindow() override;
    // Open windows (innermost last) of a thread.
    std::vector<HeadlessWindow*> windowsOf(uint32_t thread);
    HeadlessWindow* find(const std::string& title);

private:
    friend class HeadlessWindow;
    struct Step {
        std::string title;
        std::function<void(HeadlessWindow&)> run;
    };
    bool takeStep(HeadlessWindow& w);  // runs a matching step; false when none is left for it

    std::recursive_mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Step> steps_;
    std::deque<int> answers_, choices_;
    std::vector<HeadlessWindow*> windows_;  // open windows, all threads, in opening order
    std::vector<std::thread> threads_;
    std::map<std::thread::id, uint32_t> threadNumbers_;
    uint32_t nextThread_ = 1;
};

}  // namespace ui
