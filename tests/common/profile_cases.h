// One table of profile-file cases, run against the native test profile and,
// under Wine, against the real Windows functions: both must agree.
#pragma once
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace vx::testing {

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct ReadCase {
    const char* name;
    const char* file;  // nullptr: no file
    const char* section;
    const char* key;
    const char* def;
    std::string expected;
};

inline std::vector<ReadCase> profileReadCases() {
    const char* ini = "[VOZidavar]\r\nGlo:IDKorisnika=501\r\nGlo:NazivKorisnika=\r\n"
                      "Glo:Grupa=KOR  \r\n[DARiriza]\r\nGlo:Vrijeme=5\r\n";
    return {
        {"missing file gives the default", nullptr, "VOZidavar", "Glo:Grupa", "KOR", "KOR"},
        {"missing section gives the default", ini, "Nema", "Glo:Grupa", "X", "X"},
        {"missing key gives the default", ini, "VOZidavar", "Glo:WebAdresa", "http://h/dns/",
         "http://h/dns/"},
        {"present key", ini, "VOZidavar", "Glo:IDKorisnika", "0", "501"},
        {"empty value is empty, not the default", ini, "VOZidavar", "Glo:NazivKorisnika", "D", ""},
        {"trailing spaces of section, key, default stripped", ini, "VOZidavar  ", "Glo:IDKorisnika  ",
         "", "501"},
        {"default's trailing spaces stripped", ini, "VOZidavar", "Nema", "ZEDOVORIDI   ", "ZEDOVORIDI"},
        {"value's trailing spaces dropped", ini, "VOZidavar", "Glo:Grupa", "", "KOR"},
        {"names compared without case", ini, "darIRIZA", "glo:vrijeme", "", "5"},
        {"long value cut to 1023", nullptr, "S", "K", nullptr, ""},
    };
}

// Runs the table against a profile in a scratch directory.
inline void runProfileTable(Profile& profile, const std::string& dir, const std::string& sep) {
    std::string path = dir + sep + "ZEDOVoridi.ini";
    for (const ReadCase& c : profileReadCases()) {
        std::remove(path.c_str());
        std::string def = c.def ? c.def : "";
        if (std::string(c.name) == "long value cut to 1023") {
            std::string v(1500, 'x');
            spit(path, "[S]\r\nK=" + v + "\r\n");
            EXPECT_EQ(profile.read("S", "K", "", path), std::string(1023, 'x')) << c.name;
            continue;
        }
        if (c.file) spit(path, c.file);
        EXPECT_EQ(profile.read(c.section, c.key, def, path), c.expected) << c.name;
    }
    // Writes: the file and section are created, a key replaced, a blank value written as key=.
    std::remove(path.c_str());
    EXPECT_TRUE(profile.write("VOZidavar", "Glo:IDKorisnika", "501", path));
    EXPECT_EQ(slurp(path), "[VOZidavar]\r\nGlo:IDKorisnika=501\r\n");
    profile.write("VOZidavar", "Glo:NazivKorisnika", "MARKO", path);
    profile.write("VOZidavar", "Glo:IDKorisnika", "502", path);
    profile.write("VOZidavar", "Glo:Grupa", "", path);
    profile.write("DARiriza", "Glo:Vrijeme", "5", path);
    EXPECT_EQ(slurp(path),
              "[VOZidavar]\r\nGlo:IDKorisnika=502\r\nGlo:NazivKorisnika=MARKO\r\nGlo:Grupa=\r\n"
              "[DARiriza]\r\nGlo:Vrijeme=5\r\n");
    EXPECT_EQ(profile.read("VOZidavar", "Glo:Grupa", "KOR", path), "");
    std::remove(path.c_str());
}

}  // namespace vx::testing
