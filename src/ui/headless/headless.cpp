// The in-memory toolkit: windows with event queues and control states, and a
// script of user steps that runs when a window waits for input.
#include "ui/headless/headless.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "base/text.h"
#include "platform/portable/test_tray.h"

namespace ui {

void HeadlessBrowser::navigate(const std::string& url, int flags) {
    log.push_back("Navigate(URL=\"" + url + "\",Flags=" + std::to_string(flags) + ")");
}
void HeadlessBrowser::command(const std::string& method) { log.push_back(method); }

HeadlessWindow::HeadlessWindow(HeadlessToolkit& kit, const WindowDef& def)
    : kit_(kit), def_(def), controls_(def.controls.size() + 1) {
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        const Control& c = def.controls[i];
        ControlState& s = controls_[i + 1];
        s.enabled = !(c.flags & Disabled);
        s.hidden = (c.flags & Hidden) != 0;
        if (c.var.type == Var::Type::None) s.text = c.text;
    }
}

HeadlessWindow::~HeadlessWindow() {
    if (open_) close();
}

HeadlessWindow::ControlState& HeadlessWindow::state(int field) {
    if (field < 0 || field >= int(controls_.size()))
        throw std::out_of_range("no field " + std::to_string(field) + " in " + def_.title);
    return controls_[std::size_t(field)];
}
const HeadlessWindow::ControlState& HeadlessWindow::state(int field) const {
    return const_cast<HeadlessWindow*>(this)->state(field);
}

void HeadlessWindow::open() {
    std::lock_guard<std::recursive_mutex> l(kit_.mutex_);
    thread_ = kit_.currentThread();
    open_ = true;
    active_ = true;
    windowHidden_ = false;
    kit_.windows_.push_back(this);
    kit_.opened.push_back(def_.title);
    queue_.push_back({EVENT_OpenWindow, 0});
    queue_.push_back({EVENT_GainFocus, 0});
    if (def_.iconised) queue_.push_back({EVENT_Iconized, 0});
    kit_.changed_.notify_all();
}

void HeadlessWindow::close() {
    std::lock_guard<std::recursive_mutex> l(kit_.mutex_);
    if (!open_) return;
    // The handle is this object's address and comes back with the next window
    // made in its place: the tray must not hand that one this one's procedure.
    vx::TestTray::windowDestroyed(handle());
    open_ = false;
    queue_.clear();
    auto& ws = kit_.windows_;
    ws.erase(std::remove(ws.begin(), ws.end(), this), ws.end());
    // The opener on this thread becomes active again.
    for (auto it = ws.rbegin(); it != ws.rend(); ++it) {
        if ((*it)->thread_ == thread_) {
            (*it)->queue_.push_back({EVENT_GainFocus, 0});
            break;
        }
    }
    kit_.changed_.notify_all();
}

Event HeadlessWindow::next() {
    std::unique_lock<std::recursive_mutex> l(kit_.mutex_);
    for (;;) {
        if (!open_) return {};
        if (!queue_.empty()) {
            Event e = queue_.front();
            queue_.pop_front();
            // However the window closes, the entry being typed in is completed first:
            // its event is handled now and the close right after it.
            if (e.code == EVENT_CloseWindow) {
                std::vector<Event> first = completions(0);
                if (!first.empty()) {
                    queue_.push_front(e);
                    queue_.insert(queue_.begin(), first.begin() + 1, first.end());
                    return first.front();
                }
            }
            return e;
        }
        if (!kit_.takeStep(*this)) {
            // Nothing left for this window: the user closes it.
            ++kit_.unanswered;
            queue_.push_back({EVENT_CloseWindow, 0});
        }
    }
}

void HeadlessWindow::post(const Event& e) {
    std::lock_guard<std::recursive_mutex> l(kit_.mutex_);
    if (!open_) return;
    queue_.push_back(e);
    kit_.changed_.notify_all();
}

void HeadlessWindow::show(int field) {
    const Control& c = def_.controls[std::size_t(field - 1)];
    ControlState& s = controls_[std::size_t(field)];
    if (c.var.type == Var::Type::Rows) {
        s.text = std::to_string(static_cast<std::vector<uint32_t>*>(c.var.p)->size()) + " rows";
    } else if (c.var.type != Var::Type::None) {
        s.text = formatValue(c.var, c.format);
    }
    s.modified = false;
}

void HeadlessWindow::display(int first, int last) {
    int n = int(def_.controls.size());
    if (first == 0 && last == 0) {
        first = 1;
        last = n;
    }
    for (int f = std::max(first, 1); f <= std::min(last, n); ++f) show(f);
}

void HeadlessWindow::redrawDisplays() {
    for (std::size_t i = 0; i < def_.controls.size(); ++i) {
        const Control& c = def_.controls[i];
        if (c.kind == Kind::String && c.var.type != Var::Type::None) show(int(i + 1));
    }
}

std::string HeadlessWindow::status(int zone) const {
    auto it = status_.find(zone);
    return it == status_.end() ? std::string() : it->second;
}

Browser* HeadlessWindow::browser(int field) {
    if (field < 1 || field > int(def_.controls.size())) return nullptr;
    return def_.controls[std::size_t(field - 1)].kind == Kind::Object ? &browser_ : nullptr;
}

void HeadlessWindow::type(int field, const std::string& text) {
    ControlState& s = state(field);
    s.text = def_.controls[std::size_t(field - 1)].flags & Upper ? vx::upper(text) : text;
    s.modified = true;
    focus_ = field;
}

void HeadlessWindow::accept(int field) {
    ControlState& s = state(field);
    if (!s.enabled || s.hidden) return;  // the user cannot reach it
    const Control& c = def_.controls[std::size_t(field - 1)];
    // Pressing another control first completes a changed entry.
    for (const Event& e : completions(field)) post(e);
    switch (c.kind) {
        case Kind::Entry:
        case Kind::Text:
            if (c.flags & ReadOnly) return;
            post(completion(field));
            break;
        case Kind::Check: {
            bool ticked = formatValue(c.var, c.format) == "1";
            storeInput(c.var, c.format, ticked ? "0" : "1");
            show(field);
            post({EVENT_Accepted, field});
            break;
        }
        default:
            focus_ = field;
            post({EVENT_Accepted, field});
            break;
    }
}

Event HeadlessWindow::completion(int field) {
    const Control& c = def_.controls[std::size_t(field - 1)];
    ControlState& s = controls_[std::size_t(field)];
    s.modified = false;
    std::string input = c.kind == Kind::Entry ? singleLine(s.text) : s.text;
    return {storeInput(c.var, c.format, input) ? EVENT_Accepted : EVENT_Rejected, field};
}

std::vector<Event> HeadlessWindow::completions(int except) {
    std::vector<Event> events;
    for (std::size_t f = 1; f < controls_.size(); ++f)
        if (int(f) != except && controls_[f].modified) events.push_back(completion(int(f)));
    return events;
}

void HeadlessWindow::chooseRow(int field, int row) {
    state(field).row = row;
    post({EVENT_NewSelection, field});
}

HeadlessToolkit::HeadlessToolkit() = default;

HeadlessToolkit::~HeadlessToolkit() {
    joinThreads();
    if (installedToolkit() == this) setToolkit(nullptr);
}

void HeadlessToolkit::onWindow(const std::string& title, std::function<void(HeadlessWindow&)> step) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    steps_.push_back({title, std::move(step)});
    changed_.notify_all();
}

void HeadlessToolkit::answer(int button) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    answers_.push_back(button);
}

void HeadlessToolkit::choose(int item) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    choices_.push_back(item);
}

void HeadlessToolkit::joinThreads() {
    for (;;) {
        std::vector<std::thread> ts;
        {
            std::lock_guard<std::recursive_mutex> l(mutex_);
            ts.swap(threads_);
        }
        if (ts.empty()) return;
        for (auto& t : ts) t.join();
    }
}

bool HeadlessToolkit::takeStep(HeadlessWindow& w) {
    // Caller holds mutex_ (unique_lock in next()).
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        for (auto it = steps_.begin(); it != steps_.end(); ++it) {
            if (it->title.empty() || it->title == w.title()) {
                auto run = std::move(it->run);
                steps_.erase(it);
                run(w);
                return true;
            }
        }
        if (steps_.empty()) return false;
        // Steps remain for windows of other threads: wait until one of them
        // changes the picture (a step taken, a window opened or an event posted).
        if (changed_.wait_until(mutex_, deadline) == std::cv_status::timeout) return false;
        if (!w.queue_.empty() || !w.open_) return true;
    }
}

std::unique_ptr<Window> HeadlessToolkit::create(const WindowDef& def) {
    return std::make_unique<HeadlessWindow>(*this, def);
}

int HeadlessToolkit::message(const MessageSpec& request) {
    if (onMessage) onMessage(request);
    std::lock_guard<std::recursive_mutex> l(mutex_);
    messages.push_back(request);
    if (!answers_.empty()) {
        int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    if (request.yesNoDaNe) return 1;
    if (request.defaultButton) return int(request.defaultButton);
    for (unsigned b = 1; b <= 128; b <<= 1)
        if (request.buttons & b) return int(b);
    return BUTTON_OK;
}

int HeadlessToolkit::popup(const std::string& items) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    menus.push_back(items);
    if (choices_.empty()) return 0;
    int c = choices_.front();
    choices_.pop_front();
    return c;
}

void HeadlessToolkit::beep() {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    ++beeps;
}

uint32_t HeadlessToolkit::startThread(std::function<void()> body, std::size_t) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    uint32_t number = nextThread_++;
    std::thread t([this, body = std::move(body), number] {
        {
            std::lock_guard<std::recursive_mutex> l2(mutex_);
            threadNumbers_[std::this_thread::get_id()] = number;
        }
        body();
    });
    threadNumbers_[t.get_id()] = number;
    threads_.push_back(std::move(t));
    return number;
}

uint32_t HeadlessToolkit::currentThread() {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    auto id = std::this_thread::get_id();
    auto it = threadNumbers_.find(id);
    if (it != threadNumbers_.end()) return it->second;
    uint32_t number = nextThread_++;
    threadNumbers_[id] = number;
    return number;
}

void HeadlessToolkit::notify(uint32_t code, uint32_t thread, intptr_t param) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    uint32_t from = currentThread();
    if (thread == 0) thread = from;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if ((*it)->thread_ == thread) {
            Event e;
            e.code = EVENT_Notify;
            e.notifyCode = code;
            e.notifyThread = from;
            e.notifyParam = param;
            (*it)->queue_.push_back(e);
            changed_.notify_all();
            return;
        }
    }
}

void HeadlessToolkit::redrawAll() {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    for (HeadlessWindow* w : windows_) w->redrawDisplays();
}

std::string HeadlessToolkit::timeText(int hour, int minute, int second) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", hour, minute, second);
    return buf;
}

Window* HeadlessToolkit::currentWindow() {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    uint32_t t = currentThread();
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->thread_ == t) return *it;
    return nullptr;
}

std::vector<HeadlessWindow*> HeadlessToolkit::windowsOf(uint32_t thread) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    std::vector<HeadlessWindow*> out;
    for (HeadlessWindow* w : windows_)
        if (w->thread_ == thread) out.push_back(w);
    return out;
}

HeadlessWindow* HeadlessToolkit::find(const std::string& title) {
    std::lock_guard<std::recursive_mutex> l(mutex_);
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->title() == title) return *it;
    return nullptr;
}

}  // namespace ui
