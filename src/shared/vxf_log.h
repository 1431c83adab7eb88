// The console's connection log (Funkcije's VXF_LOG): one text line per
// record in a file whose name is GLO_LOGFILE; each thread has its own open
// state of the log.
#pragma once
#include <string_view>

#include "base/text.h"
#include "ui/frame.h"

namespace vx {

// Full name of the log (the console's GLO:LOGFILE), one for the process.
extern Text<222> GLO_LOGFILE;

// "NEW", "OTVORI", "PRIKAZI", "ZATVORI", or a line to append.
void VXF_LOG(std::string_view A1, std::string_view A2 = "");

// The log as a data file that a window joins (its per-thread use count).
ui::FileUse& LOGFILE();
// Closes this thread's log file (the view-log button).
void closeLogFile();

}  // namespace vx
