// COM for the toolkit: its libraries loaded when a window first needs them (a
// browser, an assistive aid asking), never at start-up; an owned interface
// pointer; COM set up on a thread once, for the thread's life.
#pragma once
#include <ole2.h>

#include <string>
#include <utility>

namespace ui::win32 {

// An owned COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}  // takes over a reference
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

// The entries of ole32 and oleaut32 the toolkit uses.
struct Com {
    decltype(&::OleInitialize) initialize = nullptr;
    decltype(&::OleUninitialize) uninitialize = nullptr;
    decltype(&::CLSIDFromProgID) clsidFromProgId = nullptr;
    decltype(&::CoCreateInstance) createInstance = nullptr;
    decltype(&::CoDisconnectObject) disconnect = nullptr;
    decltype(&::OleSetContainedObject) setContainedObject = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
    decltype(&::SysFreeString) freeString = nullptr;
    decltype(&::VariantClear) clearVariant = nullptr;
    bool ready() const {
        return initialize && uninitialize && clsidFromProgId && createInstance && disconnect && setContainedObject &&
               allocString && freeString && clearVariant;
    }
};
const Com& com();

// A library's entry by name; null when the library or the entry is missing.
template <typename F>
void libraryEntry(HMODULE library, const char* name, F& f) {
    // Through a plain function pointer: GetProcAddress's type says nothing of the real one.
    if (library) f = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// OLE initialised on the calling thread (once; undone when the thread ends).
// Also true where COM was already up in the multithreaded apartment.
bool comReadyOnThisThread();
// The same, but only where calls into the thread's objects come on the thread itself.
bool singleThreadedComOnThisThread();

// An owned BSTR.
struct Bstr {
    explicit Bstr(const std::wstring& s) : b(com().allocString(s.data(), UINT(s.size()))) {}
    ~Bstr() { com().freeString(b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR b;
};

}  // namespace ui::win32
