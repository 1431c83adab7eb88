// The window procedure frame: entry steps, preparation, the two-stage event
// loop and the return step, in the order every window relies on.
#include "ui/frame.h"

#include <vector>

namespace ui {
namespace {

thread_local std::vector<const Event*> currentEvents;
const Event kNoEvent{};

}  // namespace

const Event& currentEvent() { return currentEvents.empty() ? kNoEvent : *currentEvents.back(); }

WindowProcedure::WindowProcedure(WindowDef def) : def_(std::move(def)) {}

WindowProcedure::~WindowProcedure() = default;

void WindowProcedure::run() {
    // 1. Build the window from its definition; nothing is shown yet.
    window_ = toolkit().create(def_);
    currentEvents.push_back(&event_);
    struct Pop {
        ~Pop() { currentEvents.pop_back(); }
    } pop;
    entrySteps();
    // 2. (The right-button key code is not kept by this toolkit.)
    // 3. Prepare.
    PREPAREPROCEDURE();
    // 4. The event loop, until the window has closed.
    while (!leave_ && window_->isOpen()) {
        Event e = window_->next();
        if (e.code == 0) break;
        handle(e);
    }
    // 6. Return.
    PROCEDURERETURN();
    // 7. The window object goes with the procedure.
    window_.reset();
}

void WindowProcedure::PREPAREPROCEDURE() {
    for (FileUse* f : files()) {
        if (f->usedCount() == 0) f->openGuarded();
        ++f->usedCount();
    }
    FILESOPENED = 1;
    BINDFIELDS();
    window_->open();
    WINDOWOPENED = 1;
    ownPreparation();
    DEFINELISTBOXSTYLE();
}

void WindowProcedure::handle(const Event& e) {
    event_ = e;
    beforeEvent(e);
    // Window stage.
    switch (e.code) {
        case DoResize:
            REFRESHWINDOW();
            break;
        case EVENT_GainFocus:
            if (!WINDOWINITIALIZED) {
                INITIALIZEWINDOW();
                WINDOWINITIALIZED = 1;
            } else {
                REFRESHWINDOW();
            }
            break;
        case EVENT_OpenWindow:
            if (!WINDOWINITIALIZED) {
                INITIALIZEWINDOW();
                WINDOWINITIALIZED = 1;
            }
            select(1);
            onOpenWindow();
            break;
        case EVENT_Sized:
            post(DoResize, 0);
            break;
        case EVENT_Rejected:
            beep();
            display(e.field);
            select(e.field);
            break;
        case EVENT_CloseWindow:
            break;
        default:
            windowEvent(e);
            break;
    }
    // Control stage.
    if (e.field != 0 && (e.code == EVENT_Accepted || e.code == EVENT_NewSelection)) {
        if (hasSyncWindow && e.code == EVENT_Accepted) SYNCWINDOW();
        controlEvent(e);
    }
    // A close request, the user's or a posted one, ends the loop after both stages.
    if (e.code == EVENT_CloseWindow) leave_ = true;
    toolkit().redrawAll();
}

void WindowProcedure::INITIALIZEWINDOW() { REFRESHWINDOW(); }

void WindowProcedure::REFRESHWINDOW() {
    LOOKUPRELATED();
    display(0);
}

void WindowProcedure::SYNCWINDOW() { LOOKUPRELATED(); }

void WindowProcedure::PROCEDURERETURN() {
    if (FILESOPENED) {
        for (FileUse* f : files()) {
            if (--f->usedCount() == 0) f->close();
        }
    }
    if (WINDOWOPENED && window_->isOpen()) window_->close();
    UNBINDFIELDS();
    returnSteps();
}

void WindowProcedure::display(int field) {
    if (field == 0) window_->display(0, 0);
    else window_->display(field, field);
}
void WindowProcedure::displayRange(int first, int last) { window_->display(first, last); }
void WindowProcedure::select(int field) { window_->select(field); }
void WindowProcedure::enable(int field) { window_->setEnabled(field, true); }
void WindowProcedure::disable(int field) { window_->setEnabled(field, false); }
void WindowProcedure::hide(int field) { window_->setHidden(field, true); }
void WindowProcedure::unhide(int field) { window_->setHidden(field, false); }
void WindowProcedure::post(int code, int field) {
    Event e;
    e.code = code;
    e.field = field;
    window_->post(e);
}
void WindowProcedure::beep() { toolkit().beep(); }
void WindowProcedure::closeWindow() {
    if (window_->isOpen()) window_->close();
}
void WindowProcedure::endLoop() { leave_ = true; }
void WindowProcedure::setStatusText(int zone, const std::string& text) {
    window_->setStatusText(zone, text);
}

}  // namespace ui
