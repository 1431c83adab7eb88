// The window procedure frame: every window of both programs is a
// WindowProcedure. run() builds the window from its definition, prepares it,
// runs its event loop on the calling thread until it has closed, and returns.
// A window adds its own preparation, handlers and return steps by overriding
// the hooks below; controls are addressed by field number only.
#pragma once
#include <memory>
#include <vector>

#include "ui/toolkit.h"

namespace ui {

// A data file a window joins: opened (guarded) when the thread's use count
// is 0, closed when it falls back to 0.
class FileUse {
public:
    virtual ~FileUse() = default;
    virtual int& usedCount() = 0;  // this thread's count
    virtual void openGuarded() = 0;
    virtual void close() = 0;
};

class WindowProcedure {
public:
    explicit WindowProcedure(WindowDef def);
    virtual ~WindowProcedure();
    WindowProcedure(const WindowProcedure&) = delete;
    WindowProcedure& operator=(const WindowProcedure&) = delete;

    // Steps 1 to 7; returns when the window has closed.
    void run();

    int FILESOPENED = 0;
    int WINDOWOPENED = 0;
    int WINDOWINITIALIZED = 0;

protected:
    // --- the window's own additions ---
    virtual void entrySteps() {}                      // after building, before preparing
    virtual void ownPreparation() {}                  // step 3.4, the window is open
    virtual void onOpenWindow() {}                    // after the frame's EVENT:OpenWindow steps
    virtual void windowEvent(const Event&) {}         // own window-level events (timer)
    virtual void controlEvent(const Event&) {}        // the control stage
    virtual void beforeEvent(const Event&) {}         // the reporter frame's tray hook
    virtual void returnSteps() {}                     // step 6.4
    virtual std::vector<FileUse*> files() { return {}; }
    // Windows whose handlers call SYNCWINDOW before their action.
    bool hasSyncWindow = false;

    // --- the frame's routines ---
    virtual void PREPAREPROCEDURE();
    virtual void BINDFIELDS() {}
    virtual void UNBINDFIELDS() {}
    virtual void DEFINELISTBOXSTYLE() {}
    virtual void LOOKUPRELATED() {}
    void INITIALIZEWINDOW();
    void REFRESHWINDOW();
    void SYNCWINDOW();
    void PROCEDURERETURN();

    // --- operations for handlers ---
    void display(int field = 0);                 // 0 = all controls
    void displayRange(int first, int last);
    void select(int field);
    void enable(int field);
    void disable(int field);
    void hide(int field);
    void unhide(int field);
    void post(int code, int field = 0);          // to this window
    void beep();
    void closeWindow();                          // close now (return step follows)
    void endLoop();                              // leave the loop from a handler
    const Event& event() const { return event_; }
    int field() const { return event_.field; }
    Window& window() { return *window_; }
    const WindowDef& definition() const { return def_; }
    void setStatusText(int zone, const std::string& text);

private:
    void handle(const Event& e);

    WindowDef def_;
    std::unique_ptr<Window> window_;
    Event event_;
    bool leave_ = false;
};

// The current event of the innermost window procedure on this thread.
const Event& currentEvent();

}  // namespace ui
