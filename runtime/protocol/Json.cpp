#include "runtime/protocol/Json.h"

#include <cmath>
#include <limits>

namespace vxrt {
namespace json {

const Json& Object(const Json& o, const char* name)
{
    static const Json empty = Json::object();
    const Json* v = Member(o, name);
    return v && v->is_object() ? *v : empty;
}

int Int(const Json& o, const char* name, int fallback)
{
    const Json* v = Member(o, name);
    if (!v) return fallback;
    if (v->is_number_integer()) {
        if (v->is_number_unsigned()) {
            const auto u = v->get<unsigned long long>();
            return u <= static_cast<unsigned long long>(std::numeric_limits<int>::max()) ? static_cast<int>(u)
                                                                                         : fallback;
        }
        const auto i = v->get<long long>();
        return i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max() ? static_cast<int>(i)
                                                                                            : fallback;
    }
    if (v->is_number_float()) {
        const double d = v->get<double>();
        if (std::isfinite(d) && d == std::floor(d) && d >= std::numeric_limits<int>::min() &&
            d <= std::numeric_limits<int>::max())
            return static_cast<int>(d);
    }
    return fallback;
}

long long Int64(const Json& o, const char* name, long long fallback)
{
    const Json* v = Member(o, name);
    if (!v) return fallback;
    if (v->is_number_unsigned()) {
        const auto u = v->get<unsigned long long>();
        return u <= static_cast<unsigned long long>(std::numeric_limits<long long>::max()) ? static_cast<long long>(u)
                                                                                           : fallback;
    }
    if (v->is_number_integer()) return v->get<long long>();
    if (v->is_number_float()) {
        const double d = v->get<double>();
        // 2^63 is the first double past the range.
        if (!std::isfinite(d) || d >= 9223372036854775808.0 || d < -9223372036854775808.0) return fallback;
        return static_cast<long long>(d);
    }
    return fallback;
}

double Number(const Json& o, const char* name, double fallback)
{
    const Json* v = Member(o, name);
    if (!v || !v->is_number()) return fallback;
    const double d = v->get<double>();
    return std::isfinite(d) ? d : fallback;
}

}  // namespace json
}  // namespace vxrt
