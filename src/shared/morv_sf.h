// The standard-functions module Morv_SF: guarded opening of data files and
// the catalogue of standard warnings.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace vx {

class DataFile;  // platform/datafile.h

// Opens the file (mode 0x42 unless given), retrying a lock once, creating a
// missing file when OVERRIDECREATE is 1; ends the program with a standard
// warning when the file stays unusable.
void CHECKOPEN(DataFile& file, std::optional<uint8_t> OVERRIDECREATE = std::nullopt,
               std::optional<uint8_t> OVERRIDEOPENMODE = std::nullopt);

// Shows warning WARNINGID; returns the button pressed or the warning's fixed
// value, or ends the program after its halt box.
int32_t STANDARDWARNING(int32_t WARNINGID, std::string_view WARNINGTEXT1,
                        std::string_view WARNINGTEXT2 = "");

}  // namespace vx
