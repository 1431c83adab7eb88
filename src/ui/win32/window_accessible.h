// What assistive technology reads of a toolkit window. Its client object
// (IAccessible, answered to WM_GETOBJECT) lists the window's child windows as
// the system's own client object lists them, then each field the window draws
// itself as a simple element whose child ID is its field number.
#pragma once
#include <windows.h>

#include <string>

namespace ui::win32 {

// A field the window draws itself, as an assistive aid reads it.
struct DrawnElement {
    long role = 0;             // ROLE_SYSTEM_STATICTEXT, _GRAPHIC or _GROUPING
    std::wstring name;         // the text as shown
    std::wstring description;  // the field's tip
    bool hidden = false, disabled = false;
    RECT area{0, 0, 0, 0};  // client coordinates of the window
};

// The window's side, asked on the window's own thread.
class AccessibleFields {
public:
    virtual int fieldCount() const = 0;
    // False when the field has a window of its own or does not exist.
    virtual bool drawnElement(int field, DrawnElement& out) const = 0;
    // The field's own window; null when it has none.
    virtual HWND fieldWindow(int field) const = 0;

protected:
    ~AccessibleFields() = default;
};

class WindowAccessible;

// WM_GETOBJECT: the answer for OBJID_CLIENT, made on first use (COM is set up
// on the thread then), kept in `object` for the window's life; 0 for other
// objects, or when COM cannot be had (the system then answers for the window).
LRESULT answerGetObject(HWND window, const AccessibleFields& fields, WPARAM w, LPARAM l, WindowAccessible*& object);
// The window is going: its object answers nothing more and remote clients are cut off.
void releaseAccessible(WindowAccessible*& object);

}  // namespace ui::win32
