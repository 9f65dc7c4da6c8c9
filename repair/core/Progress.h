// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace repair {

// The fraction of the work done, reported to a callback at every whole percent and otherwise at most
// about 20 times a second, and the request to stop. Cancel() only sets a lock-free flag, so a signal
// handler may call it; the work notices at its next Advance() or Check() and throws CancelledError.
class Progress {
public:
    using Callback = std::function<void(double fraction)>;
    explicit Progress(Callback callback = {});

    // The amount of work in any unit (bytes); may grow once more is known.
    void SetTotal(uint64_t total);
    uint64_t Total() const { return m_total; }
    void Advance(uint64_t amount);
    uint64_t Done() const { return m_done; }
    void Cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    // Throws CancelledError once Cancel() was called.
    void Check() const;

private:
    void Report();

    Callback m_callback;
    uint64_t m_total = 0;
    uint64_t m_done = 0;
    int m_lastPercent = -1;
    std::chrono::steady_clock::time_point m_lastCall {};
    std::atomic<bool> m_cancelled { false };
    static_assert(std::atomic<bool>::is_always_lock_free);
};

} // namespace repair
