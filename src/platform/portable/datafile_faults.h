// A file system for tests: the stdio one, with scripted results injected in
// front of each operation and a record of every call.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/datafile.h"

namespace vx {

class FaultyFileSystem : public FileSystem {
public:
    // The next calls of an operation return these instead of doing the work;
    // a result with code 0 lets the call through to the real file system.
    std::deque<FileResult> opens, creates, appends, rebuilds;
    // "open <name> <mode>", "create <name>", "append <bytes>", "close",
    // "option <text>", "rebuild <name>".
    std::vector<std::string> calls;

    FaultyFileSystem() { setFileSystem(this); }
    ~FaultyFileSystem() override { setFileSystem(nullptr); }

    FileResult open(const std::string& name, uint8_t mode, intptr_t& handle) override {
        calls.push_back("open " + name + " " + num(mode));
        if (auto r = take(opens); r.code) return r;
        return base().open(name, mode, handle);
    }
    FileResult create(const std::string& name) override {
        calls.push_back("create " + name);
        if (auto r = take(creates); r.code) return r;
        return base().create(name);
    }
    FileResult append(intptr_t handle, std::string_view bytes) override {
        calls.push_back("append " + std::string(bytes));
        if (auto r = take(appends); r.code) return r;
        return base().append(handle, bytes);
    }
    void close(intptr_t handle) override {
        calls.push_back("close");
        base().close(handle);
    }
    void option(const std::string&, std::string_view text) override {
        calls.push_back("option " + std::string(text));
    }
    FileResult buildKeys(const std::string& name) override {
        calls.push_back("rebuild " + name);
        return take(rebuilds);
    }
    // The calls whose text begins with the prefix.
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

private:
    static FileSystem& base() { return stdioFileSystem(); }
    static FileResult take(std::deque<FileResult>& q) {
        if (q.empty()) return {};
        FileResult r = q.front();
        q.pop_front();
        return r;
    }
};

}  // namespace vx
