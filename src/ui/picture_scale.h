// Pictures resampled to the size they are shown at.
#pragma once

#include <cstdint>

namespace ui {

// Resamples 32-bit pixels (rows top first, no padding between rows) from one
// size to another. Each target pixel is the average of the source area it
// covers, every source pixel weighted by how much of it lies inside: shrinking
// averages, enlarging repeats a pixel and blends only where two meet, so a
// smooth gradient stays smooth. All four bytes of a pixel are resampled alike.
// Sizes below 1 leave the target untouched.
void scalePixels(const uint32_t* from, int fromWidth, int fromHeight, uint32_t* to, int toWidth, int toHeight);

}  // namespace ui
