// Icons and pictures from the program's resources by the file-name rule;
// JPEGs come from RCDATA and become DIB sections.
#include "ui/win32/images.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/picture_scale.h"
#include "ui/win32/jpeg_decode.h"

namespace ui::win32 {
namespace {

std::atomic<void (*)()> scalingHook{nullptr};  // windows scale on their preload threads too

bool endsWith(const std::string& s, const char* tail) {
    std::size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char a = s[s.size() - n + i], b = tail[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

BOOL CALLBACK takeFirst(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    auto* first = reinterpret_cast<std::wstring*>(out);
    if (IS_INTRESOURCE(name)) *first = L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(name));
    else *first = name;
    return FALSE;
}

// The header of a DIB of plain RGB pixels, rows top first.
BITMAPINFO topDown(int width, int height, WORD bitCount) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = bitCount;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

}  // namespace

std::wstring resourceName(const std::string& file) {
    std::string name = file;
    if (name.size() >= 4 && name[name.size() - 4] == '.') name[name.size() - 4] = '_';
    return widen(name);
}

HICON loadIcon(const std::string& file, int size) {
    if (file.empty()) return nullptr;
    std::wstring name = resourceName(file);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_ICON, size, size, 0));
}

HICON firstProgramIcon(int size) {
    std::wstring first;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, takeFirst,
                       reinterpret_cast<LONG_PTR>(&first));
    if (first.empty()) return nullptr;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), first.c_str(), IMAGE_ICON, size, size, 0));
}

HBITMAP decodeJpeg(const void* data, std::size_t size) {
    int width = 0, height = 0, stride = 0;
    std::vector<uint8_t> pixels;
    if (!decodeJpegBgr(data, size, width, height, stride, pixels) || width <= 0 || height <= 0) return nullptr;
    BITMAPINFO bi = topDown(width, height, 24);  // the order libjpeg delivers rows in
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return nullptr;
    std::memcpy(bits, pixels.data(), pixels.size());
    GdiFlush();
    return bmp;
}

HBITMAP newCanvas(int width, int height, uint32_t** pixels) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO bi = topDown(width, height, 32);
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (canvas && !bits) {
        DeleteObject(canvas);
        return nullptr;
    }
    if (pixels) *pixels = static_cast<uint32_t*>(bits);
    return canvas;
}

void setScalingHook(void (*hook)()) { scalingHook.store(hook); }

HBITMAP scaledCopy(HBITMAP picture, int width, int height) {
    if (auto hook = scalingHook.load()) hook();
    BITMAP bm{};
    if (!picture || width <= 0 || height <= 0 || !GetObjectW(picture, sizeof bm, &bm)) return nullptr;
    int fromWidth = bm.bmWidth, fromHeight = std::abs(bm.bmHeight);
    if (fromWidth <= 0 || fromHeight <= 0) return nullptr;
    BITMAPINFO bi = topDown(fromWidth, fromHeight, 32);
    std::vector<uint32_t> from(std::size_t(fromWidth) * std::size_t(fromHeight));
    // A memory DC serves for the colour table; the screen's would cost a round trip to the display.
    HDC dc = CreateCompatibleDC(nullptr);
    int rows = GetDIBits(dc, picture, 0, UINT(fromHeight), from.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != fromHeight) return nullptr;
    uint32_t* pixels = nullptr;
    HBITMAP copy = newCanvas(width, height, &pixels);
    if (!copy) return nullptr;
    scalePixels(from.data(), fromWidth, fromHeight, pixels, width, height);
    GdiFlush();
    return copy;
}

HBITMAP loadPicture(const std::string& file) {
    if (file.empty()) return nullptr;
    HMODULE self = GetModuleHandleW(nullptr);
    std::wstring name = resourceName(file);
    if (endsWith(file, ".jpg") || endsWith(file, ".jpeg")) {
        HRSRC res = FindResourceW(self, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
        if (!res) return nullptr;
        HGLOBAL loaded = LoadResource(self, res);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        return data ? decodeJpeg(data, SizeofResource(self, res)) : nullptr;
    }
    return static_cast<HBITMAP>(LoadImageW(self, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace ui::win32
