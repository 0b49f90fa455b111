// Two buffers and a writing thread: the one filled, the other written.
#include "platform/FileBlocks.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

namespace {

// The writing thread's side: at most one block waits to be written at any time.
class BlockQueue {
public:
    explicit BlockQueue(const BlockWriter& write) : m_write(write), m_thread([this] { Run(); }) {}
    ~BlockQueue() {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // Waits until the block handed over before has been written; then hands over block, unless
    // a write has failed. Returns the first failure's code (0: none).
    int Hand(std::string_view block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_waiting; });
        if (m_error == 0 && !block.empty()) {
            m_block = block;
            m_waiting = true;
            m_changed.notify_all();
        }
        return m_error;
    }

private:
    void Run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_waiting || m_closed; });
            if (!m_waiting)
                return;
            const std::string_view block = m_block;
            lock.unlock();
            const int error = m_write(block);
            lock.lock();
            m_error = error;
            m_waiting = false;
            m_changed.notify_all();
        }
    }

    const BlockWriter& m_write;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string_view m_block;
    bool m_waiting = false;
    bool m_closed = false;
    int m_error = 0;
    std::thread m_thread;  // last: it starts once the members it uses are made
};

}  // namespace

int WriteBlocks(const FileFiller& fill, const BlockWriter& write) {
    std::unique_ptr<char[]> buffers[2];
    buffers[0] = std::make_unique_for_overwrite<char[]>(kFileBlockSize);
    std::size_t size = fill(buffers[0].get(), kFileBlockSize);
    if (size < kFileBlockSize)
        return size == 0 ? 0 : write({buffers[0].get(), size});

    buffers[1] = std::make_unique_for_overwrite<char[]>(kFileBlockSize);
    BlockQueue queue(write);
    for (int turn = 0;; turn ^= 1) {
        if (const int error = queue.Hand({buffers[turn].get(), size}); error != 0)
            return error;
        // After the last block, only its write is waited for.
        if (size < kFileBlockSize)
            return queue.Hand({});
        size = fill(buffers[turn ^ 1].get(), kFileBlockSize);
    }
}

}  // namespace platform
