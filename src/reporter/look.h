// The look the reporter's small windows share: a near-white background,
// Calibri, dark-blue headings and prompts, flat buttons left out of the Tab order.
#pragma once
#include "ui/window_def.h"

namespace zilvara::look {

constexpr uint32_t kBackground = 0xFAFAF8;  // 0xBBGGRR
constexpr uint32_t kDarkBlue = 0x8B0000;

inline ui::Font windowFont() { return ui::Font{"Calibri", 9, false, true, ui::kNoColour}; }
inline ui::Font headingFont() { return ui::Font{"Calibri", 13, true, true, kDarkBlue}; }

inline ui::Control heading(std::string text) {
    return ui::prompt(std::move(text)).withFont(headingFont()).colours(kDarkBlue);
}
inline ui::Control label(std::string text) { return ui::prompt(std::move(text)).colours(kDarkBlue); }
inline ui::Control flatButton(std::string text, std::string icon) {
    return ui::button(std::move(text), std::move(icon)).with(ui::Flat | ui::Skip);
}

// A small window of the tray menu: "Pregled..", no system menu.
inline ui::WindowDef smallWindow(int w, int h) {
    ui::WindowDef d;
    d.title = "Pregled..";
    d.w = w;
    d.h = h;
    d.systemMenu = false;
    d.font = windowFont();
    d.bg = kBackground;
    return d;
}

}  // namespace zilvara::look
