// A second buffer that a thread of its own works on while the caller uses
// the first: the record reader's read-ahead fills it with the next batch of
// records, the output buffer's write-behind writes it to the target. The
// caller touches this buffer (to swap it with its own) only between two
// pieces of work, so the two threads never use the same bytes at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace zorbik {

class BackgroundBuffer {
public:
    using Work = std::function<void(std::vector<std::uint8_t>& buffer)>;

    // A buffer of `size` bytes and a thread that does `work` on it each time
    // Start is called. `work` reads what it needs from its owner, set before
    // Start; what it leaves there is the owner's again after Idle.
    BackgroundBuffer(std::size_t size, Work work)
        : buffer_(size), work_(std::move(work)), thread_([this] { Loop(); })
    {
    }

    // Finishes the work started, then ends the thread.
    ~BackgroundBuffer()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    BackgroundBuffer(const BackgroundBuffer&) = delete;
    BackgroundBuffer& operator=(const BackgroundBuffer&) = delete;

    // Waits until the work started has ended. The buffer is then the
    // caller's until the next Start.
    std::vector<std::uint8_t>& Idle()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        return buffer_;
    }

    // Whether the work started has not ended yet.
    bool Busy()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return busy_;
    }

    // Starts the work on the buffer; only after Idle.
    void Start()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            busy_ = true;
        }
        changed_.notify_all();
    }

private:
    void Loop()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return busy_ || closing_; });
            if (!busy_)
                return;
            lock.unlock();
            work_(buffer_);
            lock.lock();
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::vector<std::uint8_t> buffer_;
    Work work_;
    bool busy_ = false;
    bool closing_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_; // last: it starts once everything above is built
};

} // namespace zorbik
