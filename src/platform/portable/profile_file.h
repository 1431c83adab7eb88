// A profile (INI) file read and written like the Windows profile functions,
// on plain files: the native build's profile.
#pragma once
#include "platform/platform.h"

namespace vx {

class ProfileFile : public Profile {
public:
    std::string read(const std::string& section, const std::string& key, const std::string& def,
                     const std::string& path) override;
    bool write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) override;
};

}  // namespace vx
