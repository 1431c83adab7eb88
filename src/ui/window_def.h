// Declarative window definitions: a window's title, size, font, flags, timer
// and status zones, and its controls in declaration order. A control's field
// number is its 1-based position in `controls`; field 0 is the window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace ui {

// Colours are 0xBBGGRR; kNoColour leaves the toolkit's own.
constexpr uint32_t kNoColour = 0xFFFFFFFFu;

struct Font {
    std::string face;         // empty: the window's font
    int points = 0;           // 0: the window's size
    bool bold = false;
    bool eastEurope = false;  // East European character set
    uint32_t colour = kNoColour;
};

enum class Kind {
    String,   // text; a display field when bound to a variable
    Prompt,   // a label
    Image,    // BMP or JPEG picture
    Box,      // a frame
    Entry,    // single-line input
    Button,
    Check,    // check box: 1 ticked, 0 not
    List,     // list with a column header, rows from a table
    Text,     // multi-line text
    Object,   // embedded OLE object (the web browser)
};

enum Flag : uint32_t {
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    Flat = 1u << 2,
    Boxed = 1u << 3,
    Rounded = 1u << 4,
    ReadOnly = 1u << 5,
    Upper = 1u << 6,       // typed letters become capitals
    VScroll = 1u << 7,
    HScroll = 1u << 8,
    Skip = 1u << 9,        // left out of the Tab order
    Default = 1u << 10,    // the default button
    Transparent = 1u << 11,
    Right = 1u << 12,      // text right-justified
    Centre = 1u << 13,     // text centred (a list: its column header)
    FullSize = 1u << 14,   // takes the window's full width and the rest of its height
};

// A variable a control is bound to, by reference.
struct Var {
    enum class Type { None, Text, U32, I32, I16, Rows } type = Type::None;
    void* p = nullptr;
    int width = 0;  // characters of a text

    template <std::size_t N>
    static Var of(vx::Text<N>& t) { return {Type::Text, t.c, int(N)}; }
    static Var of(uint32_t& v) { return {Type::U32, &v, 0}; }
    static Var of(int32_t& v) { return {Type::I32, &v, 0}; }
    static Var of(int16_t& v) { return {Type::I16, &v, 0}; }
    static Var of(std::vector<uint32_t>& rows) { return {Type::Rows, &rows, 0}; }
    // A zero-terminated char buffer treated as a text (MESSA).
    static Var buffer(char* p, int capacity) { return {Type::Text, p, -capacity}; }
};

// How a bound value is shown and what input it takes.
struct Format {
    enum class Kind {
        Text,    // text of `width` characters
        Digits,  // whole number, zero-padded to `width` digits
        Number,  // whole number of up to `width` characters
        Commas,  // whole number with its digits grouped in threes by commas
        Time,    // time of day in the system's regional format
        Check,   // 1 ticked, 0 not
    } kind = Kind::Text;
    int width = 0;

    static Format text(int n) { return {Kind::Text, n}; }
    static Format digits(int n) { return {Kind::Digits, n}; }
    static Format number(int n) { return {Kind::Number, n}; }
    static Format commas(int n) { return {Kind::Commas, n}; }
    static Format time() { return {Kind::Time, 8}; }
    static Format check() { return {Kind::Check, 1}; }
};

struct Control {
    Kind kind = Kind::Prompt;
    std::string text;
    Var var;
    Format format;
    int x = 0, y = 0, w = 0, h = 0;  // dialog units; 0 size: the toolkit's
    Font font;
    uint32_t fg = kNoColour, bg = kNoColour;
    std::string icon;        // icon of a button, picture of an image
    std::string tip;
    uint32_t flags = 0;
    std::string objectClass; // embedded object: "Shell.Explorer.2"
    std::string header;      // list: the column header
    int columnWidth = 0;     // list: the column's width in dialog units

    // Fluent setters so a window's table reads like its definition.
    Control& at(int X, int Y, int W = 0, int H = 0) { x = X; y = Y; w = W; h = H; return *this; }
    Control& bind(Var v, Format f) { var = v; format = f; return *this; }
    Control& withFont(Font f) { font = f; return *this; }
    Control& colours(uint32_t f, uint32_t b = kNoColour) { fg = f; bg = b; return *this; }
    Control& withIcon(std::string i) { icon = std::move(i); return *this; }
    Control& withTip(std::string t) { tip = std::move(t); return *this; }
    Control& with(uint32_t f) { flags |= f; return *this; }
};

inline Control control(Kind k, std::string text = {}) {
    Control c;
    c.kind = k;
    c.text = std::move(text);
    return c;
}
inline Control prompt(std::string t) { return control(Kind::Prompt, std::move(t)); }
inline Control string(std::string t) { return control(Kind::String, std::move(t)); }
inline Control display(Var v, Format f) { return control(Kind::String).bind(v, f); }
inline Control image(std::string file) { return control(Kind::Image).withIcon(std::move(file)); }
inline Control box() { return control(Kind::Box); }
inline Control entry(Var v, Format f) { return control(Kind::Entry).bind(v, f); }
inline Control button(std::string t, std::string icon = {}) {
    return control(Kind::Button, std::move(t)).withIcon(std::move(icon));
}
inline Control check(std::string t, Var v) { return control(Kind::Check, std::move(t)).bind(v, Format::check()); }
inline Control list(Var rows, Format f, std::string header, int columnWidth) {
    Control c = control(Kind::List).bind(rows, f);
    c.header = std::move(header);
    c.columnWidth = columnWidth;
    return c;
}
inline Control textBox(Var v) { return control(Kind::Text).bind(v, Format::text(0)); }
inline Control object(std::string cls) {
    Control c = control(Kind::Object);
    c.objectClass = std::move(cls);
    return c;
}

struct WindowDef {
    std::string title;
    int w = 0, h = 0;        // dialog units
    Font font;               // the window font
    bool systemMenu = true;  // with its close box
    bool resizable = false;
    bool maximiseBox = false;
    bool minimiseBox = false;
    bool iconised = false;   // opens minimised
    bool centred = false;
    std::string icon;
    std::string wallpaper;
    uint32_t bg = kNoColour;
    int timer = 0;                  // hundredths of a second, 0 = none
    std::vector<int> statusZones;   // widths in dialog units
    std::vector<Control> controls;
};

}  // namespace ui
