#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace tracebay::decode {

// The thread on which the decoder library is set up and called, and with it its Python: the
// library keeps process-wide state that no other thread may touch. The library starts threads
// of its own for the decoders; those run Python too, never the caller's thread.
class LibraryThread {
public:
    // The one thread, started with the library set up at the first call; it lasts as long as the
    // process (Python is set up once, and a decoder stuck in C must not hold up the end).
    static LibraryThread& instance();

    using Task = std::function<void()>;
    // Runs `task` there after the tasks before it.
    void post(Task task);
    // Runs `work` there and waits for its result; never from the library thread itself.
    template <typename Work>
    std::invoke_result_t<Work> call(Work work) {
        std::packaged_task<std::invoke_result_t<Work>()> task(std::move(work));
        auto result = task.get_future();
        post([&task] { task(); });
        return result.get();
    }

    // Why the library could not be set up; "" when it was.
    std::string setupFailure() const;

    // On the library thread: runs `work`; should it take longer than `limit`, the Python of every
    // other thread is interrupted, again and again, until `work` returns. False when it had to be.
    bool runWithin(std::chrono::milliseconds limit, const std::function<void()>& work);

    // On the library thread: the error messages the library logged since the last call.
    std::vector<std::string> takeErrors();

    // On a thread running a decoder's Python: interrupts it there.
    static void interruptThisThread();

private:
    LibraryThread();
    void run();
    void setUp();
    void watch();
    static int keepError(void* self, int level, const char* format, va_list arguments);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    std::string setupFailure_;
    std::thread thread_;
    // The watchdog of runWithin().
    std::condition_variable watchWake_;
    std::chrono::steady_clock::time_point deadline_;
    bool watching_ = false;
    uint64_t run_ = 0;
    bool interrupted_ = false;
    std::thread watchdog_;
    // What the library logged, from any of its threads; never taken while Python's lock is
    // awaited.
    std::mutex logMutex_;
    std::vector<std::string> errors_;
};

}  // namespace tracebay::decode
