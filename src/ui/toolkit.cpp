// The toolkit in force, and the display formats shared by both toolkits:
// how a bound variable is shown and how completed input is stored back.
#include "ui/toolkit.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "base/clock.h"

namespace ui {
namespace {

Toolkit* installed = nullptr;

int64_t readNumber(const Var& v) {
    switch (v.type) {
        case Var::Type::U32: return *static_cast<uint32_t*>(v.p);
        case Var::Type::I32: return *static_cast<int32_t*>(v.p);
        case Var::Type::I16: return *static_cast<int16_t*>(v.p);
        default: return 0;
    }
}

std::string readText(const Var& v) {
    if (v.type != Var::Type::Text) return vx::num(readNumber(v));
    const char* p = static_cast<const char*>(v.p);
    if (v.width < 0) return vx::clip(std::string_view(p, strnlen(p, std::size_t(-v.width))));
    return vx::clip(std::string_view(p, std::size_t(v.width)));
}

std::string grouped(int64_t n) {
    std::string digits = vx::num(n < 0 ? -n : n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

}  // namespace

Toolkit& toolkit() {
    if (!installed) throw std::logic_error("no toolkit installed");
    return *installed;
}

void setToolkit(Toolkit* t) { installed = t; }
Toolkit* installedToolkit() { return installed; }

std::string formatValue(const Var& v, const Format& f) {
    if (v.type == Var::Type::None || v.type == Var::Type::Rows) return {};
    switch (f.kind) {
        case Format::Kind::Text: {
            std::string t = readText(v);
            return f.width > 0 && int(t.size()) > f.width ? t.substr(0, std::size_t(f.width)) : t;
        }
        case Format::Kind::Digits: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%0*lld", f.width, static_cast<long long>(readNumber(v)));
            return buf;
        }
        case Format::Kind::Number: return vx::num(readNumber(v));
        case Format::Kind::Commas: return grouped(readNumber(v));
        case Format::Kind::Time: {
            int h, m, s;
            vx::splitTimeOfDay(readNumber(v), h, m, s);
            return toolkit().timeText(h % 24, m, s);
        }
        case Format::Kind::Check: return readNumber(v) ? "1" : "0";
    }
    return {};
}

bool storeInput(const Var& v, const Format& f, const std::string& input) {
    if (v.type == Var::Type::None || v.type == Var::Type::Rows) return true;
    if (v.type == Var::Type::Text) {
        std::string t = input;
        if (f.width > 0 && int(t.size()) > f.width) t.resize(std::size_t(f.width));
        char* p = static_cast<char*>(v.p);
        if (v.width < 0) {
            std::size_t cap = std::size_t(-v.width) - 1;
            if (t.size() > cap) t.resize(cap);
            std::memcpy(p, t.data(), t.size());
            p[t.size()] = 0;
        } else {
            std::size_t n = t.size() < std::size_t(v.width) ? t.size() : std::size_t(v.width);
            std::memcpy(p, t.data(), n);
            std::memset(p + n, ' ', std::size_t(v.width) - n);
        }
        return true;
    }
    // A number: digits with an optional sign; commas allowed where they group.
    std::string s;
    for (char ch : input) {
        if (ch == ' ' || (ch == ',' && f.kind == Format::Kind::Commas)) continue;
        s += ch;
    }
    if (f.kind == Format::Kind::Check) s = s.empty() ? "0" : s;
    if (f.kind == Format::Kind::Number && f.width > 0 && int(vx::trim(input).size()) > f.width)
        return false;
    int64_t value = 0;
    if (!s.empty()) {
        std::size_t i = 0;
        bool negative = false;
        if (s[0] == '-' || s[0] == '+') {
            negative = s[0] == '-';
            i = 1;
        }
        if (i == s.size()) return false;
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            value = value * 10 + (s[i] - '0');
            if (value > 0xFFFFFFFFLL) return false;
        }
        if (negative) value = -value;
    }
    switch (v.type) {
        case Var::Type::U32:
            if (value < 0 || value > 0xFFFFFFFFLL) return false;
            *static_cast<uint32_t*>(v.p) = static_cast<uint32_t>(value);
            return true;
        case Var::Type::I32:
            if (value < INT32_MIN || value > INT32_MAX) return false;
            *static_cast<int32_t*>(v.p) = static_cast<int32_t>(value);
            return true;
        case Var::Type::I16:
            if (value < INT16_MIN || value > INT16_MAX) return false;
            *static_cast<int16_t*>(v.p) = static_cast<int16_t>(value);
            return true;
        default: return false;
    }
}

std::string singleLine(const std::string& input) { return input.substr(0, input.find_first_of("\r\n")); }

}  // namespace ui
