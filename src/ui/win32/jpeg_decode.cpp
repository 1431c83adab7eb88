// JPEG to BGR rows with libjpeg: a corrupt stream ends in our own error_exit,
// which jumps back instead of ending the process.
#include "ui/win32/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace ui::win32 {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void quietMessage(j_common_ptr) {}

}  // namespace

bool decodeJpegBgr(const void* data, std::size_t size, int& width, int& height, int& stride,
                   std::vector<uint8_t>& pixels) {
    if (!data || size < 4) return false;
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = errorExit;
    err.base.output_message = quietMessage;
    // Nothing with a destructor lives between setjmp and a possible longjmp.
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    stride = (width * 3 + 3) & ~3;
    pixels.assign(std::size_t(stride) * std::size_t(height), 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * std::size_t(stride);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace ui::win32
