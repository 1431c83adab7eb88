// INI files as Windows keeps them: CRLF lines, "[section]" headers without a
// blank line between sections, "key=value" lines, names compared without
// regard to case, values up to 1,023 characters.
#include "platform/portable/profile_file.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "base/text.h"

namespace vx {
namespace {

std::string trimBoth(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool sameName(const std::string& a, const std::string& b) { return lower(a) == lower(b); }

std::vector<std::string> readLines(const std::string& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Index of the section header, or -1.
int findSection(const std::vector<std::string>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string t = trimBoth(lines[i]);
        if (t.size() >= 2 && t.front() == '[') {
            std::size_t close = t.find(']');
            if (close != std::string::npos && sameName(trimBoth(t.substr(1, close - 1)), section))
                return static_cast<int>(i);
        }
    }
    return -1;
}

bool isHeader(const std::string& line) {
    std::string t = trimBoth(line);
    return !t.empty() && t.front() == '[';
}

}  // namespace

std::string ProfileFile::read(const std::string& section, const std::string& key,
                              const std::string& def, const std::string& path) {
    std::string sec = clip(section), k = clip(key), d = clip(def);
    bool exists = false;
    std::vector<std::string> lines = readLines(clip(path), exists);
    int at = findSection(lines, sec);
    if (at < 0) return d.substr(0, 1023);
    for (std::size_t i = at + 1; i < lines.size() && !isHeader(lines[i]); ++i) {
        std::size_t eq = lines[i].find('=');
        if (eq == std::string::npos) continue;
        if (sameName(trimBoth(lines[i].substr(0, eq)), k)) {
            std::string v = trimBoth(lines[i].substr(eq + 1));
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return v.substr(0, 1023);
        }
    }
    return d.substr(0, 1023);
}

bool ProfileFile::write(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    std::string sec = clip(section), k = clip(key), p = clip(path);
    bool exists = false;
    std::vector<std::string> lines = readLines(p, exists);
    std::string entry = k + "=" + value;
    int at = findSection(lines, sec);
    if (at < 0) {
        lines.push_back("[" + sec + "]");
        lines.push_back(entry);
    } else {
        std::size_t i = at + 1, last = at;
        bool replaced = false;
        for (; i < lines.size() && !isHeader(lines[i]); ++i) {
            if (!trimBoth(lines[i]).empty()) last = i;
            std::size_t eq = lines[i].find('=');
            if (eq != std::string::npos && sameName(trimBoth(lines[i].substr(0, eq)), k)) {
                lines[i] = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced) lines.insert(lines.begin() + static_cast<long>(last) + 1, entry);
    }
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& l : lines) out << l << "\r\n";
    return static_cast<bool>(out);
}

}  // namespace vx
