// Text helpers: trimming, fitting and decimal conversions, single-byte
// Windows-1250 throughout.
#include "base/text.h"

namespace vx {

std::string clip(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return std::string(s.substr(0, n));
}

std::string trim(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return clip(s.substr(b));
}

std::string leftJustify(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    std::string out(s.substr(b));
    out.append(b, ' ');
    return out;
}

std::string fit(std::string_view s, std::size_t n) {
    std::string out(s.substr(0, n));
    out.resize(n, ' ');
    return out;
}

bool isBlank(std::string_view s) {
    for (char ch : s)
        if (ch != ' ') return false;
    return true;
}

std::string num(int64_t v) { return std::to_string(v); }

int64_t toNumber(std::string_view s) {
    auto ws = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    std::size_t b = 0, e = s.size();
    while (b < e && ws(s[b])) ++b;
    while (e > b && ws(s[e - 1])) --e;
    if (b == e) return 0;
    bool negative = false;
    if (s[b] == '-' || s[b] == '+') {
        negative = s[b] == '-';
        ++b;
    }
    if (b == e) return 0;
    int64_t v = 0;
    for (std::size_t i = b; i < e; ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        if (v < (int64_t(1) << 40)) v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

// Windows-1250 upper/lower pairs outside ASCII.
static unsigned char upper1250(unsigned char ch) {
    if (ch >= 'a' && ch <= 'z') return ch - 32;
    switch (ch) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // ś
        case 0x9D: return 0x8D;  // ť
        case 0x9E: return 0x8E;  // ž
        case 0x9F: return 0x8F;  // ź
        case 0xB3: return 0xA3;  // ł
        case 0xB9: return 0xA5;  // ą
        case 0xBA: return 0xAA;  // ş
        case 0xBE: return 0xBC;  // ľ
        case 0xBF: return 0xAF;  // ż
        default: break;
    }
    if (ch >= 0xE0 && ch != 0xF7 && ch != 0xFF) return ch - 32;
    return ch;
}

static unsigned char lower1250(unsigned char ch) {
    if (ch >= 'A' && ch <= 'Z') return ch + 32;
    switch (ch) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8D: return 0x9D;
        case 0x8E: return 0x9E;
        case 0x8F: return 0x9F;
        case 0xA3: return 0xB3;
        case 0xA5: return 0xB9;
        case 0xAA: return 0xBA;
        case 0xBC: return 0xBE;
        case 0xAF: return 0xBF;
        default: break;
    }
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) return ch + 32;
    return ch;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(upper1250(static_cast<unsigned char>(ch)));
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(lower1250(static_cast<unsigned char>(ch)));
    return out;
}

}  // namespace vx
