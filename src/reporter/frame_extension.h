// The reporter's tray extender: the tray icon's menu on a right click and
// the restore of the frame on a left double click.
#pragma once
#include <atomic>

#include "reporter/winext.h"

namespace zilvara {

class FRAMEEXTENSION : public WINDOWEXTENDERCLASS {
public:
    void TRAYICONMOUSERIGHT() override;
    void TRAYICONMOUSELEFT2() override;
};

// The main procedure's extension while its frame runs (null otherwise), so
// the exit item can take the tray icon away before the process ends.
extern std::atomic<FRAMEEXTENSION*> runningFrameExtension;

// The procedure behind a menu item (1 to 5); null for any other number.
using MenuProcedure = void (*)();
MenuProcedure trayMenuProcedure(int item);

}  // namespace zilvara
