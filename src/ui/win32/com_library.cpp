// COM's libraries, loaded on first use, and COM's set-up per thread.
#include "ui/win32/com_library.h"

namespace ui::win32 {

const Com& com() {
    static const Com loaded = [] {
        Com c;
        HMODULE ole = LoadLibraryW(L"ole32.dll"), automation = LoadLibraryW(L"oleaut32.dll");
        libraryEntry(ole, "OleInitialize", c.initialize);
        libraryEntry(ole, "OleUninitialize", c.uninitialize);
        libraryEntry(ole, "CLSIDFromProgID", c.clsidFromProgId);
        libraryEntry(ole, "CoCreateInstance", c.createInstance);
        libraryEntry(ole, "CoDisconnectObject", c.disconnect);
        libraryEntry(ole, "OleSetContainedObject", c.setContainedObject);
        libraryEntry(automation, "SysAllocStringLen", c.allocString);
        libraryEntry(automation, "SysFreeString", c.freeString);
        libraryEntry(automation, "VariantClear", c.clearVariant);
        return c;  // the libraries stay for the process's life
    }();
    return loaded;
}

namespace {

// OLE must be initialised on every thread that hosts a browser or answers an
// assistive aid; it stays initialised for the thread's life (windows come and
// go on the same thread) and is undone when the thread ends, so no apartment
// outlives its thread.
struct OleThread {
    HRESULT state = com().ready() ? com().initialize(nullptr) : E_NOINTERFACE;
    ~OleThread() {
        if (SUCCEEDED(state)) com().uninitialize();
    }
};

HRESULT oleStateOfThisThread() {
    thread_local OleThread ole;
    return ole.state;
}

}  // namespace

bool singleThreadedComOnThisThread() { return SUCCEEDED(oleStateOfThisThread()); }

bool comReadyOnThisThread() {
    HRESULT state = oleStateOfThisThread();
    // RPC_E_CHANGED_MODE: COM is already up in the multithreaded apartment;
    // it may still serve there, so it is used anyway.
    return SUCCEEDED(state) || state == RPC_E_CHANGED_MODE;
}

}  // namespace ui::win32
