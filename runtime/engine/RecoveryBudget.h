#pragma once
// How often a lost engine or page is brought back: a few losses are bad
// luck, more in a short while are a fault that restarting would only repeat
// (burning the processor in a loop). Portable; the caller holds the lock.

#include <deque>

namespace vxrt {

class RecoveryBudget {
public:
    static const unsigned kMaxLosses = 3;
    static const unsigned kWindowMs = 60000;

    // Notes a loss at now (a millisecond tick, wrapping) and tells whether
    // to recover from it: false for the kMaxLosses-th loss within kWindowMs.
    bool TakeLoss(unsigned now)
    {
        while (!m_losses.empty() && now - m_losses.front() >= kWindowMs) m_losses.pop_front();
        m_losses.push_back(now);
        return m_losses.size() < kMaxLosses;
    }
    // The user asked to try again: earlier losses no longer count.
    void Reset() { m_losses.clear(); }

private:
    std::deque<unsigned> m_losses;
};

}  // namespace vxrt
