// A call that blocks the thread (a request in a window's preparation) on
// Win32: a window still waiting to be shown is shown and painted meanwhile.
#include <windows.h>

#include <exception>

#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_window.h"

namespace ui::win32 {
namespace {

// A preparation done within this keeps its prepared first frame; a slower
// one shows the window as it stands while its call goes on.
constexpr ULONGLONG kShowAfterMs = 100;

struct BlockedCall {
    const std::function<void()>* call = nullptr;
    std::exception_ptr failure;
};

DWORD WINAPI runBlockedCall(LPVOID param) {
    auto* job = static_cast<BlockedCall*>(param);
    try {
        (*job->call)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return 0;
}

// The helper uses this thread's stack: however the wait ends, it is waited for.
struct ThreadHandle {
    HANDLE h;
    ~ThreadHandle() {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
};

}  // namespace

void Win32Toolkit::whileBlocked(const std::function<void()>& call) {
    Win32Window* waiting = innermost(GetCurrentThreadId());
    // Nothing waits to be shown (a window opening over another shows that one):
    // the call runs here, at no cost.
    if (!waiting || !waiting->revealPending()) {
        call();
        return;
    }
    // A blocked thread cannot paint, and no other thread can show its window:
    // the call goes to a helper while this thread paints. The helper is always
    // waited for, so nothing it touches goes away under it.
    BlockedCall job;
    job.call = &call;
    HANDLE started = CreateThread(nullptr, 0, runBlockedCall, &job, 0, nullptr);
    if (!started) {
        call();
        return;
    }
    ThreadHandle helper{started};
    for (;;) {
        DWORD timeout = INFINITE;
        if (waiting->revealPending()) {
            ULONGLONG due = waiting->openedAt() + kShowAfterMs, now = GetTickCount64();
            if (now >= due) {
                waiting->reveal();
                continue;
            }
            timeout = DWORD(due - now);
        }
        // Sent messages (answered inside the wait) and paints only: input and
        // posted events stay queued for the window's event loop.
        DWORD woke = MsgWaitForMultipleObjects(1, &helper.h, FALSE, timeout, QS_SENDMESSAGE | QS_PAINT);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_FAILED) break;  // the helper is waited for all the same
        // A few paints per wake: a window that never validates cannot keep the
        // thread from seeing the helper end.
        MSG m;
        for (int i = 0; i < 64 && PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT); ++i)
            DispatchMessageW(&m);
    }
    if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace ui::win32
