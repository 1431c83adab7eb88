// The client object a toolkit window gives assistive technology: the system's
// own client object for its child windows, with the fields the window draws
// itself added as simple elements (child ID = field number).
#include "ui/win32/window_accessible.h"

#include <oleacc.h>

#include <atomic>
#include <vector>

#include "ui/win32/com_library.h"

namespace ui::win32 {
namespace {

// oleacc comes with the first question, as COM does.
struct Oleacc {
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&::AccessibleChildren) children = nullptr;
    decltype(&::AccessibleObjectFromWindow) fromWindow = nullptr;
    bool ready() const { return lresultFromObject && createStandard && children && fromWindow; }
};

const Oleacc& oleacc() {
    static const Oleacc loaded = [] {
        Oleacc a;
        HMODULE library = LoadLibraryW(L"oleacc.dll");
        libraryEntry(library, "LresultFromObject", a.lresultFromObject);
        libraryEntry(library, "CreateStdAccessibleObject", a.createStandard);
        libraryEntry(library, "AccessibleChildren", a.children);
        libraryEntry(library, "AccessibleObjectFromWindow", a.fromWindow);
        return a;
    }();
    return loaded;
}

VARIANT integer(long value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

bool isSelf(const VARIANT& id) { return id.vt == VT_I4 && id.lVal == CHILDID_SELF; }

BSTR newString(const std::wstring& s) { return com().allocString(s.data(), UINT(s.size())); }

}  // namespace

// One per window, on the window's thread (COM's apartment delivers every call
// there). Once the window has gone it answers nothing.
class WindowAccessible final : public IAccessible, public IEnumVARIANT {
public:
    WindowAccessible(HWND window, const AccessibleFields& fields, IAccessible* standard)
        : window_(window), fields_(&fields), standard_(standard) {}

    void detach() {
        fields_ = nullptr;
        standard_.reset();
        // Clients in other processes hold proxies: cut them off now.
        com().disconnect(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *ppv = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(riid, IID_IEnumVARIANT)) {
            *ppv = static_cast<IEnumVARIANT*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: the object is used through its vtable only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the window itself is the standard object's; a drawn field
    // is ours. A child ID names a field: a field with a window of its own is
    // that window's object (get_accChild), never the standard object's child of
    // the same number, which would be another control.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        LONG windows = 0;
        if (FAILED(standard_->get_accChildCount(&windows))) windows = 0;
        LONG drawnFields = 0;
        DrawnElement e;
        for (int field = 1; field <= fields_->fieldCount(); ++field)
            if (fields_->drawnElement(field, e)) ++drawnFields;
        *count = windows + drawnFields;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (drawn(id, e)) return S_FALSE;  // a simple element: no object of its own
        // A field with a window of its own: that window's object.
        if (id.vt == VT_I4 && id.lVal > 0 && id.lVal <= fields_->fieldCount()) {
            if (HWND control = fields_->fieldWindow(int(id.lVal)))
                return oleacc().fromWindow(control, DWORD(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(child));
        }
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
        return text(id, name, &DrawnElement::name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
        return text(id, value, nullptr, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
        return text(id, description, &DrawnElement::description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(id, e)) return isSelf(id) ? standard_->get_accRole(id, role) : E_INVALIDARG;
        *role = integer(e.role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
        if (!state) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(id, e)) return isSelf(id) ? standard_->get_accState(id, state) : E_INVALIDARG;
        long bits = STATE_SYSTEM_READONLY;
        if (e.hidden) bits |= STATE_SYSTEM_INVISIBLE;
        if (e.disabled) bits |= STATE_SYSTEM_UNAVAILABLE;
        *state = integer(bits);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
        return text(id, help, nullptr, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(id, e)) return isSelf(id) ? standard_->get_accHelpTopic(file, id, topic) : E_INVALIDARG;
        if (file) *file = nullptr;
        if (topic) *topic = -1;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
        return text(id, shortcut, nullptr, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
        return text(id, action, nullptr, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT id) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (drawn(id, e)) return DISP_E_MEMBERNOTFOUND;
        return isSelf(id) ? standard_->accSelect(how, id) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override {
        if (!left || !top || !width || !height) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(id, e)) return isSelf(id) ? standard_->accLocation(left, top, width, height, id) : E_INVALIDARG;
        POINT corner{e.area.left, e.area.top};
        ClientToScreen(window_, &corner);
        *left = corner.x;
        *top = corner.y;
        *width = e.area.right - e.area.left;
        *height = e.area.bottom - e.area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(start, e)) return isSelf(start) ? standard_->accNavigate(direction, start, end) : E_INVALIDARG;
        end->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        HRESULT hr = standard_->accHitTest(x, y, at);
        // Child windows lie over what the window draws: a drawn field only
        // where the point is on the window itself.
        if (FAILED(hr) || !isSelf(*at)) return hr;
        POINT pt{x, y};
        ScreenToClient(window_, &pt);
        // Texts lie over frames, frames over pictures; a later field over an earlier one.
        int best = 0, bestLayer = -1;
        for (int field = 1; field <= fields_->fieldCount(); ++field) {
            DrawnElement e;
            if (!fields_->drawnElement(field, e) || e.hidden || !PtInRect(&e.area, pt)) continue;
            int layer = e.role == ROLE_SYSTEM_STATICTEXT ? 2 : e.role == ROLE_SYSTEM_GROUPING ? 1 : 0;
            if (layer >= bestLayer) {
                best = field;
                bestLayer = layer;
            }
        }
        if (best) *at = integer(best);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (drawn(id, e)) return DISP_E_MEMBERNOTFOUND;
        return isSelf(id) ? standard_->accDoDefaultAction(id) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // IEnumVARIANT: the children as AccessibleChildren takes them.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!out) return E_POINTER;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        std::vector<VARIANT> all = children();
        ULONG given = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i >= cursor_ && given < count) {
                out[given++] = all[i];  // the reference passes to the caller
                all[i].vt = VT_EMPTY;
            }
        }
        clear(all);
        cursor_ += given;
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        std::vector<VARIANT> all = children();
        std::size_t total = all.size();
        clear(all);
        cursor_ += count;
        if (cursor_ > total) {
            cursor_ = total;
            return S_FALSE;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        cursor_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy) *copy = nullptr;
        return E_NOTIMPL;
    }

private:
    bool drawn(const VARIANT& id, DrawnElement& e) const {
        return fields_ && id.vt == VT_I4 && id.lVal > 0 && fields_->drawnElement(int(id.lVal), e);
    }

    // A text property: a drawn field's own (or none), else the standard object's.
    HRESULT text(const VARIANT& id, BSTR* out, std::wstring DrawnElement::*member,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*standard)(VARIANT, BSTR*)) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!standard_) return CO_E_OBJNOTCONNECTED;
        DrawnElement e;
        if (!drawn(id, e)) return isSelf(id) ? (standard_.get()->*standard)(id, out) : E_INVALIDARG;
        if (!member || (e.*member).empty()) return S_FALSE;
        *out = newString(e.*member);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    // The child windows as the standard object lists them, then the drawn fields.
    std::vector<VARIANT> children() const {
        std::vector<VARIANT> all;
        LONG count = 0;
        if (SUCCEEDED(standard_->get_accChildCount(&count)) && count > 0) {
            all.resize(std::size_t(count));
            LONG got = 0;
            if (FAILED(oleacc().children(standard_.get(), 0, count, all.data(), &got))) got = 0;
            all.resize(std::size_t(got));
        }
        for (int field = 1; field <= fields_->fieldCount(); ++field) {
            DrawnElement e;
            if (fields_->drawnElement(field, e)) all.push_back(integer(field));
        }
        return all;
    }
    static void clear(std::vector<VARIANT>& all) {
        for (VARIANT& v : all) com().clearVariant(&v);
    }

    std::atomic<ULONG> refs_{1};
    HWND window_;
    const AccessibleFields* fields_;
    ComPtr<IAccessible> standard_;
    std::size_t cursor_ = 0;
};

LRESULT answerGetObject(HWND window, const AccessibleFields& fields, WPARAM w, LPARAM l, WindowAccessible*& object) {
    // The object ID is a 32-bit value, whatever the width of lParam.
    if (LONG(DWORD(l)) != LONG(OBJID_CLIENT)) return 0;
    if (!object) {
        // Only in a single-threaded apartment: there every call comes on the
        // window's own thread, which alone touches its fields.
        if (!oleacc().ready() || !singleThreadedComOnThisThread()) return 0;
        ComPtr<IAccessible> standard;
        if (FAILED(oleacc().createStandard(window, OBJID_CLIENT, __uuidof(IAccessible), standard.putVoid())))
            return 0;
        object = new (std::nothrow) WindowAccessible(window, fields, standard.get());
        if (!object) return 0;
        standard.get()->AddRef();  // the object holds its own reference
    }
    return oleacc().lresultFromObject(__uuidof(IAccessible), w, static_cast<IAccessible*>(object));
}

void releaseAccessible(WindowAccessible*& object) {
    if (!object) return;
    object->detach();
    object->Release();
    object = nullptr;
}

}  // namespace ui::win32
