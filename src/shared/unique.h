// The single-instance guard: one named event per program and logon session.
#pragma once
#include <cstdint>
#include <string_view>

namespace vx {

// Claims the event "<name without trailing spaces>_UEvent"; the handle when
// this process is the first to hold it, 0 otherwise. The handle stays open
// for the life of the process.
int32_t BEGINUNIQUE(std::string_view SAPPNAME);

}  // namespace vx
