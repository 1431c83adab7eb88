// Placeholder until the OLE container lands: no browser can be created.
#include "ui/win32/browser_host.h"

namespace ui::win32 {

std::unique_ptr<BrowserHost> createBrowserHost(HWND, const RECT&, const std::string&) { return nullptr; }

}  // namespace ui::win32
