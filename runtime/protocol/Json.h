#pragma once
// The JSON values of the DevTools protocol, and checked reads of their
// fields. Everything the engine sends is untrusted: a field may be missing or
// of another type, and indexing a const object by a missing key is undefined
// behaviour. Handlers read fields only through these functions, which give a
// fallback instead.

#include <nlohmann/json.hpp>

#include <string>

namespace vxrt {

using Json = nlohmann::json;

namespace json {

// The member name of o when o is an object and has it; else null.
inline const Json* Member(const Json& o, const char* name)
{
    if (!o.is_object()) return nullptr;
    auto it = o.find(name);
    return it != o.end() ? &*it : nullptr;
}

// The member when it is an object; else an empty object.
const Json& Object(const Json& o, const char* name);

inline bool Has(const Json& o, const char* name) { return Member(o, name) != nullptr; }

inline std::string String(const Json& o, const char* name, const std::string& fallback = std::string())
{
    const Json* v = Member(o, name);
    return v && v->is_string() ? v->get_ref<const std::string&>() : fallback;
}

// A string member without copying it; null when absent or not a string.
inline const std::string* StringRef(const Json& o, const char* name)
{
    const Json* v = Member(o, name);
    return v && v->is_string() ? &v->get_ref<const std::string&>() : nullptr;
}

inline bool Bool(const Json& o, const char* name, bool fallback = false)
{
    const Json* v = Member(o, name);
    return v && v->is_boolean() ? v->get<bool>() : fallback;
}

// An integer member in int's range (whole-valued floats count, since the
// engine writes some counters as doubles); else the fallback.
int Int(const Json& o, const char* name, int fallback = 0);
// A number member as a 64-bit integer, clamped to that range; else fallback.
long long Int64(const Json& o, const char* name, long long fallback = 0);
// A finite number member; else the fallback.
double Number(const Json& o, const char* name, double fallback = 0);

}  // namespace json
}  // namespace vxrt
