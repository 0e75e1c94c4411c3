// Ends the process when a block takes longer than it may: a case that hangs (a wait nothing ends,
// a destructor waiting for a lock) fails with its name instead of at the suite's time limit.
#ifndef QTCORE_TESTS_WATCHDOG_H
#define QTCORE_TESTS_WATCHDOG_H

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

class Watchdog
{
public:
    Watchdog(const char *what, std::chrono::milliseconds limit)
        : m_thread([this, what, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_over.wait_for(lock, limit, [this] { return m_done; })) {
                  std::fprintf(stderr, "FAIL: %s still waits after %lld ms\n", what,
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::_Exit(1);
              }
          })
    {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_over.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_over;
    bool m_done = false;
    std::thread m_thread;
};

#endif
