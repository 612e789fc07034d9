#pragma once
// Paired rounds for the Windows benchmarks, timed by the wall clock: under
// Wine most of a GDI call's work happens in the wineserver and the X server,
// which the calling thread's CPU time would not see.
//
// Each round runs side A and side B `perRound` times each, in alternating
// order (A then B, then B then A), so a slow phase of the shared machine
// weighs on both sides of a round alike. The comparison is the median and
// range of the per-round ratios A/B.

#include "bench/BenchSummary.h"

#include <windows.h>

#include <vector>

namespace Bench {

// Seconds since an arbitrary start, from the performance counter.
inline double Now()
{
    static const double period = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return 1.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * period;
}

// Milliseconds one call of `fn` takes, averaged over `times` calls.
template <typename Fn>
double MillisecondsPerCall(int times, Fn&& fn)
{
    const double start = Now();
    for (int i = 0; i < times; ++i) fn();
    return (Now() - start) / times * 1e3;
}

struct RoundsResult {
    Summary a;      // ms per call of side A
    Summary b;      // ms per call of side B
    Summary ratio;  // A's time over B's per round: below 1 means A is faster
};

template <typename FnA, typename FnB>
RoundsResult PairedRounds(int rounds, int perRound, FnA&& a, FnB&& b)
{
    std::vector<double> msA, msB, ratio;
    for (int round = 0; round < rounds; ++round) {
        double ta, tb;
        if (round % 2 == 0) {
            ta = MillisecondsPerCall(perRound, a);
            tb = MillisecondsPerCall(perRound, b);
        } else {
            tb = MillisecondsPerCall(perRound, b);
            ta = MillisecondsPerCall(perRound, a);
        }
        msA.push_back(ta);
        msB.push_back(tb);
        ratio.push_back(ta / tb);
    }
    return {Summarise(msA), Summarise(msB), Summarise(ratio)};
}

// The per-round figures of one side alone.
template <typename Fn>
Summary Rounds(int rounds, int perRound, Fn&& fn)
{
    std::vector<double> ms;
    for (int round = 0; round < rounds; ++round) ms.push_back(MillisecondsPerCall(perRound, fn));
    return Summarise(ms);
}

}  // namespace Bench
