#pragma once
// Paired, interleaved timing for the benchmarks.
//
// Each round times side A and side B back to back on the same input, in
// alternating order (A then B, then B then A), by the CPU time of the
// benchmark thread: on a shared, loaded machine wall-clock time mostly
// measures the other processes, while thread CPU time still counts page
// faults and allocation. Each round gives one ratio A/B; the median and the
// range of those ratios are the comparison, so a slow phase of the machine
// shifts both sides of a round alike instead of favouring one side's best.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <time.h>
#include <vector>

namespace Bench {

// CPU time of the calling thread, in seconds.
inline double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
};

inline Summary Summarise(std::vector<double> values)
{
    Summary s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.low = values.front();
    s.high = values.back();
    return s;
}

struct PairResult {
    Summary a;      // MB/s of side A per round
    Summary b;      // MB/s of side B per round
    Summary ratio;  // A's time over B's time per round: below 1 means A is faster
};

// Runs `rounds` interleaved rounds. Each side repeats its job enough times
// per round to process about `bytesPerRound` of input (at least once), so
// small inputs are not timed below the clock's resolution.
template <typename FnA, typename FnB>
PairResult Interleaved(size_t inputBytes, int rounds, size_t bytesPerRound, FnA&& a, FnB&& b)
{
    const size_t repeats = std::max<size_t>(1, bytesPerRound / (inputBytes + 1));
    auto time = [&](auto& fn) {
        const double start = ThreadSeconds();
        for (size_t i = 0; i < repeats; ++i) fn();
        return (ThreadSeconds() - start) / static_cast<double>(repeats);
    };
    a();  // warm caches and the allocator once for each side
    b();
    std::vector<double> rateA, rateB, ratio;
    for (int round = 0; round < rounds; ++round) {
        double ta, tb;
        if (round % 2 == 0) {
            ta = time(a);
            tb = time(b);
        } else {
            tb = time(b);
            ta = time(a);
        }
        rateA.push_back(static_cast<double>(inputBytes) / ta / 1e6);
        rateB.push_back(static_cast<double>(inputBytes) / tb / 1e6);
        ratio.push_back(ta / tb);
    }
    return {Summarise(rateA), Summarise(rateB), Summarise(ratio)};
}

inline void PrintPair(const char* label, size_t bytes, const char* nameA, const char* nameB, const PairResult& r)
{
    std::printf("%-26s %10zu  %-18s %8.1f MB/s  %-22s %8.1f MB/s  time ratio %.2f [%.2f..%.2f]\n", label, bytes, nameA,
                r.a.median, nameB, r.b.median, r.ratio.median, r.ratio.low, r.ratio.high);
}

}  // namespace Bench
