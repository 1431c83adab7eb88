// The data-file layer: the file object, the thread's last error, and the
// portable stdio file system used by the native build.
#include "platform/datafile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vx {
namespace {

thread_local FileError lastError{0, "", "", ""};
FileSystem* installed = nullptr;

// Reads the system's error only for code 90; other codes carry the layer's text.
void record(const FileResult& r) {
    if (r.code == FILE_SYSTEM_ERROR) setLastFileError(r.code, num(r.systemCode), r.systemText);
    else setLastFileError(r.code);
}

class StdioFileSystem : public FileSystem {
public:
    FileResult open(const std::string& name, uint8_t mode, intptr_t& handle) override {
        std::FILE* f = std::fopen(name.c_str(), accessOf(mode) == ACCESS_READ ? "rb" : "r+b");
        if (!f) return failure(errno);
        handle = reinterpret_cast<intptr_t>(f);
        return {};
    }
    FileResult create(const std::string& name) override {
        std::FILE* f = std::fopen(name.c_str(), "wb");
        if (!f) return failure(errno);
        std::fclose(f);
        return {};
    }
    FileResult append(intptr_t handle, std::string_view bytes) override {
        std::FILE* f = reinterpret_cast<std::FILE*>(handle);
        errno = 0;
        if (std::fseek(f, 0, SEEK_END) != 0 ||
            std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0)
            return failure(errno ? errno : EIO);
        return {};
    }
    void close(intptr_t handle) override { std::fclose(reinterpret_cast<std::FILE*>(handle)); }

private:
    static FileResult failure(int e) {
        if (e == ENOENT || e == ENOTDIR) return {FILE_NOT_FOUND, 0, ""};
        return {FILE_SYSTEM_ERROR, uint32_t(e), std::strerror(e)};
    }
};

}  // namespace

std::string fileErrorText(int32_t code) {
    switch (code) {
        case FILE_OK: return "";
        case FILE_NOT_FOUND: return "File Not Found";
        case FILE_ACCESS_DENIED: return "Access Denied";
        case FILE_LOCKED: return "File Is Already Locked";
        case FILE_NOT_OPEN: return "File Not Open";
        case FILE_KEYS_BROKEN: return "Key File Must Be Rebuilt";
        case FILE_BAD_RECORD: return "Invalid Record Declaration";
        case FILE_ALREADY_OPEN: return "File Already Open";
        case FILE_SYSTEM_ERROR: return "File System Error";
        default: return "Unknown Error " + num(code);
    }
}

const FileError& lastFileError() { return lastError; }

void setLastFileError(int32_t code, std::string systemCode, std::string systemText) {
    lastError.code = code;
    lastError.text = fileErrorText(code);
    lastError.systemCode = std::move(systemCode);
    lastError.systemText = std::move(systemText);
}

FileSystem& stdioFileSystem() {
    static StdioFileSystem fs;
    return fs;
}

FileSystem& fileSystem() { return installed ? *installed : stdioFileSystem(); }
void setFileSystem(FileSystem* fs) { installed = fs; }

DataFile::~DataFile() {
    if (open_) fs_->close(handle_);
}

void DataFile::open(uint8_t mode) {
    if (open_) {
        setLastFileError(FILE_ALREADY_OPEN);
        return;
    }
    std::string n = name_.clip();
    intptr_t h = 0;
    FileSystem& fs = fileSystem();
    FileResult r = fs.open(n, mode, h);
    record(r);
    if (r.code != FILE_OK) return;
    fs_ = &fs;
    handle_ = h;
    mode_ = mode;
    openName_ = n;
    open_ = true;
}

void DataFile::create() { record(fileSystem().create(name_.clip())); }

void DataFile::close() {
    if (open_) {
        fs_->close(handle_);
        open_ = false;
        handle_ = 0;
        openName_.clear();
    }
    setLastFileError(FILE_OK);
}

void DataFile::append() {
    if (!open_) return setLastFileError(FILE_NOT_OPEN);
    if (accessOf(mode_) == ACCESS_READ) return setLastFileError(FILE_ACCESS_DENIED);
    std::string line = RED.clip();
    line += "\r\n";
    record(fs_->append(handle_, line));
}

void DataFile::send(std::string_view option) {
    fileSystem().option(name(), option);
    setLastFileError(FILE_OK);
}

void DataFile::buildKeys() { record(fileSystem().buildKeys(name())); }

std::string DataFile::name() const { return open_ ? openName_ : name_.clip(); }

}  // namespace vx
