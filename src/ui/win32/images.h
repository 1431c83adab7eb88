// Pictures and icons from the program's resources: a file name such as
// "IPAdresa.ico" is stored as the resource "IPAdresa_ico".
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/win32/win32_text.h"

namespace ui::win32 {

// "Plan.bmp" -> "Plan_bmp": the dot four characters from the end becomes '_'.
std::wstring resourceName(const std::string& file);
// An icon of the given size, null when the program has none of that name.
HICON loadIcon(const std::string& file, int size);
// The program's first icon (group icon resource), null when it has none.
HICON firstProgramIcon(int size);
// A .bmp from a BITMAP resource or a .jpg from an RCDATA resource; null when
// missing or not decodable.
HBITMAP loadPicture(const std::string& file);
// A JPEG decoded into a top-down 24-bit DIB section; null for corrupt data.
HBITMAP decodeJpeg(const void* data, std::size_t size);
// A blank 32-bit DIB section, rows top first, to draw on; null for an empty
// size. `pixels`, when given, receives where its pixels are.
HBITMAP newCanvas(int width, int height, uint32_t** pixels = nullptr);
// A copy of a picture resampled to the given size (each pixel the average of
// the area it covers), as a 32-bit DIB section; null when either is empty.
HBITMAP scaledCopy(HBITMAP picture, int width, int height);
// For tests: called first in every scaledCopy, on the thread that scales; it
// may throw, as an allocation there would. Null for none.
void setScalingHook(void (*hook)());

}  // namespace ui::win32
