// SPDX-License-Identifier: MIT
#include "Progress.h"

#include "Errors.h"

namespace repair {

Progress::Progress(Callback callback)
    : m_callback(std::move(callback))
{
}

void Progress::SetTotal(uint64_t total)
{
    m_total = total;
    if (m_done > m_total)
        m_done = m_total;
}

void Progress::Advance(uint64_t amount)
{
    Check();
    m_done = amount > m_total - m_done ? m_total : m_done + amount;
    Report();
}

void Progress::Check() const
{
    if (Cancelled())
        throw CancelledError();
}

void Progress::Report()
{
    if (!m_callback || m_total == 0)
        return;
    const double fraction = double(m_done) / double(m_total);
    const int percent = int(fraction * 100.0);
    const auto now = std::chrono::steady_clock::now();
    if (percent == m_lastPercent && now - m_lastCall < std::chrono::milliseconds(50))
        return;
    m_lastPercent = percent;
    m_lastCall = now;
    m_callback(fraction);
}

} // namespace repair
