// Trevasol.dll: the HTTP sender. One request over WinHTTP on a worker thread,
// with a hard overall deadline that the caller enforces itself and that the
// worker keeps too, so an abandoned request ends and frees its connection.
#include "trevasol/saljihttp.h"

#include <windows.h>
#include <winhttp.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// Time-outs for each WinHTTP step, and the bound on the whole call. The
// caller stops waiting at the deadline whatever the worker is doing; the
// worker cuts every step's time-out to what is left of the same deadline, so
// it gives up (and closes its connection) at the deadline too. Closing the
// handles from another thread does not unblock a waiting call under Wine,
// synchronous or asynchronous: the time-outs are what ends it.
constexpr DWORD kResolveMs = 5000;
constexpr DWORD kConnectMs = 5000;
constexpr DWORD kSendMs = 10000;
constexpr DWORD kReceiveMs = 10000;
constexpr DWORD kDeadlineMs = 12000;
// The caller waits this much longer than the worker's own deadline, so a
// worker that times out exactly at it still hands back its own status.
constexpr DWORD kGraceMs = 500;

// What is left of the deadline, at least 1 ms: 0 would mean "no time-out".
class Deadline {
public:
    Deadline() : end_(GetTickCount64() + kDeadlineMs) {}
    bool passed() const { return GetTickCount64() >= end_; }
    DWORD left(DWORD cap) const {
        ULONGLONG now = GetTickCount64();
        ULONGLONG rest = now < end_ ? end_ - now : 1;
        return static_cast<DWORD>(rest < cap ? rest : cap);
    }

private:
    ULONGLONG end_;
};

// Wine waits for the reply's headers by their own option, not by the receive
// time-out of WinHttpSetTimeouts, and already inside WinHttpSendRequest: set
// both before the request goes out.
void limitReceive(HINTERNET request, const Deadline& deadline) {
    DWORD ms = deadline.left(kReceiveMs);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &ms, sizeof ms);
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h = nullptr) : h_(h) {}
    ~InternetHandle() {
        if (h_) WinHttpCloseHandle(h_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

class KernelHandle {
public:
    explicit KernelHandle(HANDLE h = nullptr) : h_(h) {}
    ~KernelHandle() {
        if (h_) CloseHandle(h_);
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_;
};

// One request, shared by the caller and the worker: whichever lets go last
// frees it, so an abandoned worker writes only into its own copy.
struct Request {
    std::wstring url;
    std::string body;
    bool post = false;
    std::size_t capacity = 0;  // most reply bytes wanted, zero not counted
    std::string reply;
    const char* status = "ERR";
    bool replied = false;  // the exchange completed: `reply` is what the server sent
    KernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// Bytes that cannot stand in a request line go out as %XX of the byte itself,
// so a Windows-1250 letter reaches the server as the same single byte.
std::string escapeUrl(const char* url) {
    std::string s(url);
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = b; i < e; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c <= ' ' || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

const char* failure(DWORD error, const char* otherwise) {
    switch (error) {
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case ERROR_WINHTTP_CONNECTION_ERROR:
            return "ERR connect";
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return "ERR resolve";
        case ERROR_WINHTTP_TIMEOUT:
        case WSAETIMEDOUT:  // what Wine reports for the receive time-out
            return "ERR timeout";
        case ERROR_WINHTTP_SECURE_FAILURE:
            return "ERR secure";
        default:
            return otherwise;
    }
}

void perform(Request& r) {
    const Deadline deadline;
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength =
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(r.url.c_str(), 0, 0, &parts) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        r.status = "ERR url";
        return;
    }
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object;
    if (parts.lpszUrlPath) object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty() || object[0] != L'/') object.insert(0, L"/");

    InternetHandle session(WinHttpOpen(L"Trevasol/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        r.status = "ERR open";
        return;
    }
    WinHttpSetTimeouts(session.get(), deadline.left(kResolveMs), deadline.left(kConnectMs),
                       deadline.left(kSendMs), deadline.left(kReceiveMs));
    InternetHandle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        r.status = "ERR connect";
        return;
    }
    DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    InternetHandle request(WinHttpOpenRequest(connection.get(), r.post ? L"POST" : L"GET",
                                              object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) {
        r.status = "ERR request";
        return;
    }
    // The session's time-outs again on the request itself: some stacks read
    // them only from there.
    WinHttpSetTimeouts(request.get(), deadline.left(kResolveMs), deadline.left(kConnectMs),
                       deadline.left(kSendMs), deadline.left(kReceiveMs));

    // The body goes out exactly as it stands: the fields are already joined
    // and nothing is encoded.
    const wchar_t* headers = r.post ? L"Content-Type: application/x-www-form-urlencoded\r\n"
                                    : WINHTTP_NO_ADDITIONAL_HEADERS;
    DWORD bodyLength = r.post ? static_cast<DWORD>(r.body.size()) : 0;
    void* body = r.post && bodyLength ? &r.body[0] : WINHTTP_NO_REQUEST_DATA;
    limitReceive(request.get(), deadline);
    if (!WinHttpSendRequest(request.get(), headers, headers ? static_cast<DWORD>(-1) : 0, body,
                            bodyLength, bodyLength, 0)) {
        r.status = failure(GetLastError(), "ERR send");
        return;
    }
    limitReceive(request.get(), deadline);
    if (!WinHttpReceiveResponse(request.get(), nullptr)) {
        r.status = failure(GetLastError(), "ERR receive");
        return;
    }
    DWORD code = 0, size = sizeof code;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX);

    // Read until the server is done or the reply fills what the caller can
    // take; a server that dribbles its reply is cut off at the deadline.
    char chunk[8192];
    while (r.reply.size() < r.capacity) {
        if (deadline.passed()) {
            r.status = "ERR timeout";
            r.reply.clear();
            return;
        }
        limitReceive(request.get(), deadline);
        DWORD want = static_cast<DWORD>(
            r.capacity - r.reply.size() < sizeof chunk ? r.capacity - r.reply.size() : sizeof chunk);
        DWORD got = 0;
        if (!WinHttpReadData(request.get(), chunk, want, &got)) {
            r.status = failure(GetLastError(), "ERR read");
            r.reply.clear();
            return;
        }
        if (got == 0) break;
        r.reply.append(chunk, got);
    }
    r.replied = true;
    // An error page is still the server's answer: the caller gets it as the reply.
    r.status = code >= 200 && code < 300 ? "OK" : "ERR status";
}

// What the caller hands the worker: its share of the request and the
// reference on this library that the worker lets go of as it ends.
struct Handoff {
    std::shared_ptr<Request> request;
    HMODULE self = nullptr;
};

DWORD WINAPI worker(void* param) {
    HMODULE self;
    {
        std::unique_ptr<Handoff> handoff(static_cast<Handoff*>(param));
        self = handoff->self;
        std::shared_ptr<Request> r = std::move(handoff->request);
        handoff.reset();
        perform(*r);
        SetEvent(r->done.get());
    }
    FreeLibraryAndExitThread(self, 0);
}

}  // namespace

TREVASOL_API const char* __stdcall saljihttp(const char* url, const char* body, char* reply,
                                             int32_t length, int32_t mode) {
    bool canReply = reply && length > 0;
    if (canReply) reply[0] = 0;
    if (mode != 0 && mode != 1) return "ERR mode";
    if (!url) return "ERR url";

    std::shared_ptr<Request> r;
    try {
        r = std::make_shared<Request>();
        std::string escaped = escapeUrl(url);
        int n = MultiByteToWideChar(1250, 0, escaped.c_str(), -1, nullptr, 0);
        if (n <= 0) return "ERR url";
        r->url.resize(n);
        MultiByteToWideChar(1250, 0, escaped.c_str(), -1, &r->url[0], n);
        r->url.resize(n - 1);
        r->post = mode == 0;
        if (r->post && body) r->body = body;
        r->capacity = canReply ? static_cast<std::size_t>(length) - 1 : 0;
    } catch (...) {
        return "ERR memory";
    }
    if (!r->done) return "ERR event";

    auto* handoff = new (std::nothrow) Handoff{r, nullptr};
    if (!handoff) return "ERR memory";
    // The worker may outlive this call: the library stays loaded until it
    // ends. The reference is taken here, before the worker exists, so no
    // FreeLibrary after our return can come between.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&worker), &handoff->self)) {
        delete handoff;
        return "ERR thread";
    }
    KernelHandle thread(CreateThread(nullptr, 0, worker, handoff, 0, nullptr));
    if (!thread) {
        FreeLibrary(handoff->self);
        delete handoff;
        return "ERR thread";
    }
    if (WaitForSingleObject(r->done.get(), kDeadlineMs + kGraceMs) != WAIT_OBJECT_0)
        return "ERR timeout";
    if (!r->replied) return r->status;
    if (canReply) {
        std::memcpy(reply, r->reply.data(), r->reply.size());
        reply[r->reply.size()] = 0;
    }
    return r->status;
}
