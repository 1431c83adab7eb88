// The console's windows (module Morv001): each call builds its window, runs
// it on the calling thread and returns when it has closed.
#pragma once
#include <cstdint>
#include <string_view>

#include "ui/toolkit.h"

namespace morventa {

void NAZIVKORISNIKA();
void PODESAVANJE();
void GRUPE();
void GRUPE_KREIRAJ();
void GRUPE_DODAJ_KORISNIKA(std::string_view XKOR, std::string_view PASS);
void NOVAVERZIJA();
uint32_t AKTIVNI();
void OPROGRAMU();

// Shared look of the console's windows.
inline constexpr uint32_t kNearWhite = 0xFBFBFB;
inline constexpr uint32_t kNavy = 0x800000;    // 0xBBGGRR
inline constexpr uint32_t kSilver = 0xC0C0C0;
inline ui::Font calibri(int points, bool bold = false, uint32_t colour = ui::kNoColour) {
    return ui::Font{"Calibri", points, bold, true, colour};
}
// A message with the text only: no caption, no icon, the button OK.
int say(const std::string& text);
// A DA/NE question: 1 for DA, 2 for NE.
int ask(const std::string& text, const std::string& caption, ui::Icon icon);

}  // namespace morventa
