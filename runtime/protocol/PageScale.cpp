#include "runtime/protocol/PageScale.h"

#include <cmath>

namespace vxrt {

namespace {

int Gcd(int a, int b)
{
    while (b != 0) {
        const int t = a % b;
        a = b;
        b = t;
    }
    return a;
}

}  // namespace

int PageScale::CssLength(int devicePixels) const
{
    if (devicePixels <= 0) return 1;
    const long long css = (static_cast<long long>(devicePixels) * kBaseDpi + m_dpi / 2) / m_dpi;
    return css < 1 ? 1 : static_cast<int>(css);
}

int PageScale::ToDevice(double cssPixels) const
{
    const double device = std::floor(cssPixels * m_dpi / kBaseDpi + 0.5);
    if (!(device > -1e9)) return -1000000000;
    if (!(device < 1e9)) return 1000000000;
    return static_cast<int>(device);
}

int PageScale::Grid() const { return m_dpi / Gcd(m_dpi, kBaseDpi); }

bool PageScale::AlignToGrid(int& lo, int& hi, int limit) const
{
    const int grid = Grid();
    if (lo < 0) lo = 0;
    if (hi > limit) hi = limit;
    if (hi <= lo) return false;
    lo -= lo % grid;
    hi += (grid - hi % grid) % grid;
    return true;
}

}  // namespace vxrt
