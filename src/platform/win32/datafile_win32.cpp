// The data-file layer's Win32 file system: CreateFileA with the sharing the
// access mode asks for, and the system's errors mapped to the layer's codes.
#include <windows.h>

#include "platform/datafile.h"
#include "platform/win32/win32_platform.h"

namespace vx {
namespace {

FileResult failure(DWORD e) {
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return {FILE_NOT_FOUND, 0, ""};
    if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION) return {FILE_LOCKED, 0, ""};
    return {FILE_SYSTEM_ERROR, uint32_t(e), systemErrorText(e)};
}

DWORD desiredAccess(uint8_t mode) {
    switch (accessOf(mode)) {
        case ACCESS_READ: return GENERIC_READ;
        case ACCESS_WRITE: return GENERIC_WRITE;
        default: return GENERIC_READ | GENERIC_WRITE;
    }
}

// The sharing other openers are allowed: the mode names what it denies.
DWORD shareMode(uint8_t mode) {
    switch (sharingOf(mode)) {
        case SHARE_DENY_ALL: return 0;
        case SHARE_DENY_WRITE: return FILE_SHARE_READ;
        case SHARE_DENY_READ: return FILE_SHARE_WRITE;
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

class Win32FileSystem : public FileSystem {
public:
    FileResult open(const std::string& name, uint8_t mode, intptr_t& handle) override {
        HANDLE h = CreateFileA(name.c_str(), desiredAccess(mode), shareMode(mode), nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return failure(GetLastError());
        handle = reinterpret_cast<intptr_t>(h);
        return {};
    }
    FileResult create(const std::string& name) override {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return failure(GetLastError());
        CloseHandle(h);
        return {};
    }
    FileResult append(intptr_t handle, std::string_view bytes) override {
        HANDLE h = reinterpret_cast<HANDLE>(handle);
        LARGE_INTEGER zero{};
        if (!SetFilePointerEx(h, zero, nullptr, FILE_END)) return failure(GetLastError());
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr))
            return failure(GetLastError());
        if (written != bytes.size()) return failure(ERROR_DISK_FULL);
        return {};
    }
    void close(intptr_t handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
};

}  // namespace

FileSystem& win32FileSystem() {
    static Win32FileSystem fs;
    return fs;
}

}  // namespace vx
