// The Win32 side of the platform seams; installWin32Platform() puts it in
// force for a program (the sender is the imported saljihttp).
#pragma once
#include "platform/platform.h"

namespace vx {

void installWin32Platform();
// The system's message text for an error code, without its line end.
std::string systemErrorText(unsigned long code);
// Runs first in every exitProcess: the Win32 toolkit waits there for what its
// windows still prepare on other threads, which the platform knows nothing of.
void setBeforeExit(void (*hook)());

}  // namespace vx
