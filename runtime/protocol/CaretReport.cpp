#include "runtime/protocol/CaretReport.h"

#include <cstddef>

namespace vxrt {

namespace {

// One decimal integer from text[pos], optionally negative, no larger than
// limit in magnitude; pos moves past it.
bool ReadBoundedInt(const std::string& text, size_t& pos, int limit, int& out)
{
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    const size_t start = pos;
    long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > limit) return false;
        ++pos;
    }
    if (pos == start) return false;
    out = static_cast<int>(negative ? -value : value);
    return true;
}

}  // namespace

bool ReadCaretReport(const std::string& payload, CaretReport& out)
{
    if (payload.empty()) {
        out = CaretReport();
        return true;
    }
    CaretReport r;
    r.shown = true;
    size_t pos = 0;
    if (!ReadBoundedInt(payload, pos, kCaretCoordinateLimit, r.x) || pos >= payload.size() || payload[pos++] != ',')
        return false;
    if (!ReadBoundedInt(payload, pos, kCaretCoordinateLimit, r.y) || pos >= payload.size() || payload[pos++] != ',')
        return false;
    if (!ReadBoundedInt(payload, pos, kCaretHeightLimit, r.height) || pos != payload.size() || r.height < 1)
        return false;
    out = r;
    return true;
}

}  // namespace vxrt
