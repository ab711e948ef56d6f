// Python's header comes first, as it asks.
#include <Python.h>

#include "decode/LibraryThread.h"

#include <libsigrokdecode/libsigrokdecode.h>

#include <cstdarg>
#include <cstdio>
#include <utility>

// The interpreter keeps what it allocates until the process ends, partly behind pointers the
// leak checker cannot follow (its own allocator's arenas, modules it unloads). Those reports
// say nothing of ours, so a build with AddressSanitizer leaves them out. The decoders' own
// allocations go through glib, whose frames the checker's quick unwinding cannot walk past to
// the interpreter's: they are known by glib's allocator alone.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRACEBAY_ADDRESS_SANITIZER
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define TRACEBAY_ADDRESS_SANITIZER
#endif
#ifdef TRACEBAY_ADDRESS_SANITIZER
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpython3\nleak:libsigrokdecode\nleak:g_malloc\n";
}
#endif

namespace tracebay::decode {
namespace {

// A decoder that goes on after an interrupt is interrupted again this much later.
constexpr std::chrono::milliseconds Reinterrupt(500);
// What the library logs is kept for the message of a failure: bounded.
constexpr size_t MostErrors = 16;
constexpr size_t LongestError = 4096;

// An exception no decoder means to catch.
void interruptThread(unsigned long thread) {
    PyThreadState_SetAsyncExc(thread, PyExc_KeyboardInterrupt);
}

// The Python of every thread but this one, at its next step.
void interruptOtherThreads() {
    const PyGILState_STATE gil = PyGILState_Ensure();
    const PyThreadState* self = PyThreadState_Get();
    for (PyThreadState* t = PyInterpreterState_ThreadHead(PyInterpreterState_Main()); t;
         t = PyThreadState_Next(t))
        if (t != self) interruptThread(t->thread_id);
    PyGILState_Release(gil);
}

// An interrupt meant for a decoder that landed on the library thread instead.
void forgetInterrupt() {
    const PyGILState_STATE gil = PyGILState_Ensure();
    PyThreadState_SetAsyncExc(PyThreadState_Get()->thread_id, nullptr);
    PyGILState_Release(gil);
}

}  // namespace

LibraryThread& LibraryThread::instance() {
    static LibraryThread* const thread = new LibraryThread;
    return *thread;
}

LibraryThread::LibraryThread() {
    post([this] { setUp(); });
    thread_ = std::thread([this] { run(); });
    watchdog_ = std::thread([this] { watch(); });
}

// The library's log goes to the failure messages, never to the program's standard error. It
// comes from any of the library's threads.
int LibraryThread::keepError(void* self, int level, const char* format, va_list arguments) {
    if (level > SRD_LOG_ERR) return SRD_OK;
    char text[LongestError];
    std::vsnprintf(text, sizeof text, format, arguments);
    auto& thread = *static_cast<LibraryThread*>(self);
    const std::lock_guard lock(thread.logMutex_);
    if (thread.errors_.size() < MostErrors) thread.errors_.emplace_back(text);
    return SRD_OK;
}

void LibraryThread::setUp() {
    srd_log_callback_set(keepError, this);
    srd_log_loglevel_set(SRD_LOG_ERR);
    const int status = srd_init(nullptr);
    if (status == SRD_OK) return;
    const std::lock_guard lock(mutex_);
    setupFailure_ = std::string("the decoder library could not be set up: ") + srd_strerror(status);
}

std::string LibraryThread::setupFailure() const {
    const std::lock_guard lock(mutex_);
    return setupFailure_;
}

void LibraryThread::post(Task task) {
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void LibraryThread::run() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !tasks_.empty(); });
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

bool LibraryThread::runWithin(std::chrono::milliseconds limit, const std::function<void()>& work) {
    {
        const std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + limit;
        watching_ = true;
        ++run_;
        interrupted_ = false;
    }
    watchWake_.notify_one();
    work();
    bool interrupted = false;
    {
        const std::lock_guard lock(mutex_);
        watching_ = false;
        interrupted = interrupted_;
    }
    watchWake_.notify_one();
    if (interrupted) forgetInterrupt();
    return !interrupted;
}

// Holds the lock while it interrupts, so that no interrupt comes after runWithin() has ended.
void LibraryThread::watch() {
    std::unique_lock lock(mutex_);
    for (;;) {
        watchWake_.wait(lock, [this] { return watching_; });
        const uint64_t run = run_;
        const auto over = [this, run] { return !watching_ || run_ != run; };
        if (watchWake_.wait_until(lock, deadline_, over)) continue;
        interruptOtherThreads();
        interrupted_ = true;
        deadline_ = std::chrono::steady_clock::now() + Reinterrupt;
    }
}

std::vector<std::string> LibraryThread::takeErrors() {
    const std::lock_guard lock(logMutex_);
    return std::exchange(errors_, {});
}

// The library calls its output callbacks with or without Python's lock.
void LibraryThread::interruptThisThread() {
    const PyGILState_STATE gil = PyGILState_Ensure();
    interruptThread(PyThreadState_Get()->thread_id);
    PyGILState_Release(gil);
}

}  // namespace tracebay::decode
