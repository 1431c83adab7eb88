// The embedded web-browser control ("Shell.Explorer.2") hosted in place in a
// toolkit window: an OLE container of our own.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "ui/toolkit.h"

namespace ui::win32 {

class BrowserHost : public Browser {
public:
    virtual void resize(const RECT& rc) = 0;  // client coordinates of the parent
};

// The browser for an embedded-object control of class `progId` inside
// `parent`; null when the control cannot be created.
std::unique_ptr<BrowserHost> createBrowserHost(HWND parent, const RECT& rc, const std::string& progId);

}  // namespace ui::win32
