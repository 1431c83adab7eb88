// The data-file layer for text files (the console's log): a file object with
// its name variable and one record, the file system behind it, and the
// calling thread's last error.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

namespace vx {

// Error codes of the layer.
enum FileErrorCode : int32_t {
    FILE_OK = 0,
    FILE_NOT_FOUND = 2,
    FILE_ACCESS_DENIED = 5,
    FILE_LOCKED = 32,
    FILE_NOT_OPEN = 37,
    FILE_KEYS_BROKEN = 46,
    FILE_BAD_RECORD = 47,
    FILE_ALREADY_OPEN = 52,
    FILE_SYSTEM_ERROR = 90,
};

// The layer's own text for a code ("File Not Found", ...).
std::string fileErrorText(int32_t code);

// What one operation of the layer left behind. After a file-system error
// (code 90) also the system's own error code and message, both as text.
struct FileError {
    int32_t code = 0;
    std::string text;
    std::string systemCode;
    std::string systemText;
};

// The calling thread's last error, set by every operation of the layer.
const FileError& lastFileError();
void setLastFileError(int32_t code, std::string systemCode = {}, std::string systemText = {});

// Access mode byte: low two bits the access, bits 4 to 6 the sharing.
enum FileAccess : uint8_t {
    ACCESS_READ = 0x00,
    ACCESS_WRITE = 0x01,
    ACCESS_READWRITE = 0x02,
    SHARE_DENY_ALL = 0x10,
    SHARE_DENY_WRITE = 0x20,
    SHARE_DENY_READ = 0x30,
    SHARE_DENY_NONE = 0x40,
};
inline int accessOf(uint8_t mode) { return mode & 0x03; }
// The sharing part, with 0 read as deny none.
inline int sharingOf(uint8_t mode) { return (mode & 0x70) ? (mode & 0x70) : SHARE_DENY_NONE; }

// The outcome of one file-system call: a layer code and, for code 90, the
// system's error code and message.
struct FileResult {
    int32_t code = 0;
    uint32_t systemCode = 0;
    std::string systemText;
};

// The file system under the layer: stdio natively, CreateFileA on Windows;
// tests put a fault-injecting one in its place.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens an existing file; handle is set on success.
    virtual FileResult open(const std::string& name, uint8_t mode, intptr_t& handle) = 0;
    // Creates an empty file, replacing one of the same name; leaves it closed.
    virtual FileResult create(const std::string& name) = 0;
    // Writes the bytes at the end of the file.
    virtual FileResult append(intptr_t handle, std::string_view bytes) = 0;
    virtual void close(intptr_t handle) = 0;
    // A driver option text; a text file's driver does nothing with it.
    virtual void option(const std::string& /*name*/, std::string_view /*text*/) {}
    // Rebuilding keys; a text file has none, so it always succeeds.
    virtual FileResult buildKeys(const std::string& /*name*/) { return {}; }
};

// The portable stdio file system (no sharing control).
FileSystem& stdioFileSystem();
#ifdef _WIN32
// The Win32 one (platform/win32/datafile_win32.cpp); installWin32Platform()
// puts it in force.
FileSystem& win32FileSystem();
#endif
// The file system in force (stdio until something else is installed).
FileSystem& fileSystem();
void setFileSystem(FileSystem* fs);  // null: back to stdio

// A text file: one record per line, named by the variable it was made with
// at the moment it is opened or created. Used on one thread.
class DataFile {
public:
    explicit DataFile(Text<222>& nameVariable) : name_(nameVariable) {}
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    Text<255> RED;  // the record (LF:RED)

    void open(uint8_t mode);
    void create();
    void close();
    // The record as a line: trailing spaces removed, then CR LF.
    void append();
    void send(std::string_view option);
    void buildKeys();
    // The name it is open under, else the name variable without trailing spaces.
    std::string name() const;
    bool isOpen() const { return open_; }

private:
    Text<222>& name_;
    FileSystem* fs_ = nullptr;  // the one it was opened with, which closes it
    std::string openName_;
    intptr_t handle_ = 0;
    uint8_t mode_ = 0;
    bool open_ = false;
};

}  // namespace vx
