// JPEG decoding with IJG libjpeg, kept apart from <windows.h> because both
// define the type `boolean`.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ui::win32 {

// Decodes into rows of BGR pixels, each row padded to `stride` bytes (a
// multiple of 4, as a DIB wants). False for corrupt or unsupported data.
bool decodeJpegBgr(const void* data, std::size_t size, int& width, int& height, int& stride,
                   std::vector<uint8_t>& pixels);

}  // namespace ui::win32
