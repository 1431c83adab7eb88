// The in-place OLE container for the web-browser control: one client site
// (client, in-place site and frame) and the browser's IWebBrowser2.
#include "ui/win32/browser_host.h"

#include <exdisp.h>
#include <ole2.h>

#include <string>

#include "ui/win32/com_library.h"
#include "ui/win32/win32_text.h"

namespace ui::win32 {
namespace {

// The container's side of the control: its client site, in-place site and
// in-place frame in one reference-counted object.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    Site(HWND parent, const RECT& rc) : parent_(parent), rect_(rc) {}

    void setRect(const RECT& rc) { rect_ = rc; }
    const RECT& rect() const { return rect_; }
    void setInPlaceObject(IOleInPlaceObject* o) { inPlace_ = o; }  // not owned

    // IUnknown (shared by all three interfaces)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
            *ppv = static_cast<IOleClientSite*>(this);
        } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
            *ppv = static_cast<IOleInPlaceSite*>(this);
        } else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return ULONG(n);
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
        if (ppmk) *ppmk = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override {
        if (ppContainer) *ppContainer = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (both the in-place site's and the frame's)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd) return E_POINTER;
        *phwnd = parent_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
        if (ppFrame) {
            *ppFrame = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
        }
        if (ppDoc) *ppDoc = nullptr;
        if (lprcPosRect) *lprcPosRect = rect_;
        if (lprcClipRect) *lprcClipRect = rect_;
        if (lpFrameInfo) {
            // cb is the caller's; the rest describes a frame with no menu or accelerators.
            lpFrameInfo->fMDIApp = FALSE;
            lpFrameInfo->hwndFrame = parent_;
            lpFrameInfo->haccel = nullptr;
            lpFrameInfo->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        inPlace_ = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) override {
        if (lprcPosRect && inPlace_) inPlace_->SetObjectRects(lprcPosRect, lprcPosRect);
        return S_OK;
    }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~Site() = default;  // only through Release

    LONG refs_ = 1;
    HWND parent_;
    RECT rect_;
    IOleInPlaceObject* inPlace_ = nullptr;
};

class OleBrowserHost final : public BrowserHost {
public:
    ~OleBrowserHost() override {
        if (site_) site_->setInPlaceObject(nullptr);
        inPlace_.reset();
        browser_.reset();
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_.reset();
        }
        if (site_) site_->Release();
    }

    // Each step's failure leaves a half-built host that the destructor undoes.
    bool create(HWND parent, const RECT& rc, const std::string& progId) {
        if (!IsWindow(parent) || !comReadyOnThisThread()) return false;
        CLSID clsid;
        if (FAILED(com().clsidFromProgId(widen(progId).c_str(), &clsid))) return false;
        if (FAILED(com().createInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.putVoid())))
            return false;
        site_ = new Site(parent, rc);
        if (FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(site_)))) return false;
        // A fresh control starts from its defaults, as a new document would.
        ComPtr<IPersistStreamInit> persist;
        if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, persist.putVoid())))
            persist->InitNew();
        com().setContainedObject(object_.get(), TRUE);
        RECT pos = rc;
        if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0,
                                   parent, &pos)))
            return false;
        if (FAILED(object_->QueryInterface(IID_IWebBrowser2, browser_.putVoid()))) return false;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.putVoid()))) {
            site_->setInPlaceObject(inPlace_.get());
            inPlace_->SetObjectRects(&pos, &pos);
        }
        return true;
    }

    void navigate(const std::string& url, int flags) override {
        Bstr address(widen(url));
        VARIANT flagsArg{}, none{};
        none.vt = VT_EMPTY;
        flagsArg.vt = VT_I4;
        flagsArg.lVal = flags;
        browser_->Navigate(address.b, &flagsArg, &none, &none, &none);
    }

    // Failures (no earlier page to go back to) are the control's business.
    void command(const std::string& method) override {
        if (method == "GoBack") browser_->GoBack();
        else if (method == "GoForward") browser_->GoForward();
        else if (method == "GoHome") browser_->GoHome();
        else if (method == "GoSearch") browser_->GoSearch();
    }

    void resize(const RECT& rc) override {
        site_->setRect(rc);
        if (inPlace_) inPlace_->SetObjectRects(&rc, &rc);
    }

private:
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IOleInPlaceObject> inPlace_;
    Site* site_ = nullptr;  // our own reference
};

}  // namespace

std::unique_ptr<BrowserHost> createBrowserHost(HWND parent, const RECT& rc, const std::string& progId) {
    auto host = std::make_unique<OleBrowserHost>();
    if (!host->create(parent, rc, progId)) return nullptr;
    return host;
}

}  // namespace ui::win32
