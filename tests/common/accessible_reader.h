// Reading a window as assistive technology does: its client object from
// AccessibleObjectFromWindow, its children from AccessibleChildren, and each
// child's name, role, state and place. Used by the Wine tests and the window
// driver; links with oleacc, ole32 and oleaut32.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace vx::testing {

struct AccessibleChild {
    bool element = false;  // a simple element (child ID) rather than an object of its own
    long id = 0;           // the element's child ID
    HWND window = nullptr;  // an object's window, where it has one
    std::wstring name;
    long role = 0, state = 0;
    RECT location{0, 0, 0, 0};  // on the screen: left, top, right, bottom
    bool visible() const { return (state & STATE_SYSTEM_INVISIBLE) == 0; }
    bool enabled() const { return (state & STATE_SYSTEM_UNAVAILABLE) == 0; }
};

// COM for the calling thread while it reads.
struct ComForReading {
    HRESULT state = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComForReading() {
        if (SUCCEEDED(state)) CoUninitialize();
    }
};

namespace accessible_detail {
inline void describe(IAccessible* acc, VARIANT id, AccessibleChild& out) {
    BSTR name = nullptr;
    if (acc->get_accName(id, &name) == S_OK && name) out.name.assign(name, SysStringLen(name));
    SysFreeString(name);
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(id, &v)) && v.vt == VT_I4) out.role = v.lVal;
    VariantClear(&v);
    if (SUCCEEDED(acc->get_accState(id, &v)) && v.vt == VT_I4) out.state = v.lVal;
    VariantClear(&v);
    long x = 0, y = 0, w = 0, h = 0;
    if (SUCCEEDED(acc->accLocation(&x, &y, &w, &h, id))) out.location = RECT{x, y, x + w, y + h};
}
}  // namespace accessible_detail

// The children of the window's client object, in the order it lists them;
// false when the window gives no client object.
inline bool accessibleChildren(HWND window, std::vector<AccessibleChild>& out) {
    out.clear();
    ComForReading com;
    IAccessible* client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&client))) || !client)
        return false;
    long count = 0;
    client->get_accChildCount(&count);
    std::vector<VARIANT> kids(std::size_t(count > 0 ? count : 0));
    long got = 0;
    if (count > 0 && FAILED(AccessibleChildren(client, 0, count, kids.data(), &got))) got = 0;
    for (long i = 0; i < got; ++i) {
        AccessibleChild c;
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        IAccessible* object = nullptr;
        if (kids[i].vt == VT_DISPATCH && kids[i].pdispVal &&
            SUCCEEDED(kids[i].pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
            accessible_detail::describe(object, self, c);
            // A child window's object: its name and role are its client's, which is how a
            // screen reader reads a control (Wine's window objects give no name of their own).
            if (SUCCEEDED(WindowFromAccessibleObject(object, &c.window)) && c.window && c.name.empty()) {
                IAccessible* inner = nullptr;
                if (SUCCEEDED(AccessibleObjectFromWindow(c.window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                                         reinterpret_cast<void**>(&inner))) && inner) {
                    AccessibleChild client;
                    accessible_detail::describe(inner, self, client);
                    c.name = client.name;
                    c.role = client.role;
                    c.state = client.state;
                    if (client.location.right > client.location.left) c.location = client.location;
                    inner->Release();
                }
            }
            object->Release();
        } else if (kids[i].vt == VT_I4) {
            c.element = true;
            c.id = kids[i].lVal;
            accessible_detail::describe(client, kids[i], c);
        }
        VariantClear(&kids[i]);
        out.push_back(c);
    }
    client->Release();
    return true;
}

// The simple element with child ID `field`; false when there is none.
inline bool accessibleElement(HWND window, int field, AccessibleChild& out) {
    std::vector<AccessibleChild> all;
    if (!accessibleChildren(window, all)) return false;
    for (const AccessibleChild& c : all) {
        if (c.element && c.id == field) {
            out = c;
            return true;
        }
    }
    return false;
}

}  // namespace vx::testing
