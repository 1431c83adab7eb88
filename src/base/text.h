// Fixed-width, space-padded texts and the number/text conversions that every
// request, command line, INI value and log line is built with.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vx {

// The text without its trailing spaces.
std::string clip(std::string_view s);
// The text without its leading and trailing spaces.
std::string trim(std::string_view s);
// Leading spaces dropped and as many appended, so the length stays the same.
std::string leftJustify(std::string_view s);
// Cut to n characters or padded with spaces to n.
std::string fit(std::string_view s, std::size_t n);
// True when the text holds nothing but spaces.
bool isBlank(std::string_view s);
// Decimal digits, no leading zeros or spaces, a minus sign when negative.
std::string num(int64_t v);
// A text read as a whole number: surrounding white space ignored, an optional
// sign, then digits only; blank or anything else reads as 0.
int64_t toNumber(std::string_view s);
// ASCII and Windows-1250 letters to upper case, byte for byte.
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// A fixed-width text field of N characters, always space-padded.
template <std::size_t N>
struct Text {
    static constexpr std::size_t size = N;
    char c[N];

    Text() { std::memset(c, ' ', N); }
    Text(std::string_view s) { *this = s; }  // NOLINT(google-explicit-constructor)
    Text& operator=(std::string_view s) {
        std::size_t n = s.size() < N ? s.size() : N;
        std::memcpy(c, s.data(), n);
        std::memset(c + n, ' ', N - n);
        return *this;
    }
    Text& operator=(const std::string& s) { return *this = std::string_view(s); }
    Text& operator=(const char* s) { return *this = std::string_view(s); }
    std::string_view view() const { return std::string_view(c, N); }
    std::string str() const { return std::string(c, N); }
    std::string clip() const { return vx::clip(view()); }
    bool blank() const { return isBlank(view()); }
    void clear() { std::memset(c, ' ', N); }
};

}  // namespace vx
