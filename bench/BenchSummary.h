#pragma once
// The median and range of a benchmark's per-round figures.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Bench {

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

}  // namespace Bench
